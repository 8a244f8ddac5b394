#!/usr/bin/env bash
# The product's whole job on a demo hotel of three floors: import the architect's plan (DXF),
# make the floors over it, define a standard bathroom on 1F, place it on every floor turned and
# mirrored, edit it from one copy on 2F so that every copy follows, and draw each floor before
# and after the edit. Everything lands in build/demo (the settings file "c:\sgd.ini" in
# build/demo/c); the pictures are named at the end.
#   VK_DEMO_BIN  run the programs built there instead of setting up and building the default preset
#   VK_DEMO_OUT  the folder to work in instead of build/demo (emptied first)
#   VK_DEMO_STOP=floors  stop once the floors are made and the bathroom drawn, before anything is defined or placed (the
#                window's browser test starts there)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
if [ -n "${VK_DEMO_BIN:-}" ]; then
  bin=$(realpath "$VK_DEMO_BIN")
else
  bash scripts/setup.sh
  cmake --preset default >/dev/null
  cmake --build --preset default -j2 --target vkcad VkQsRoom SgdCalc SrReport
  bin=$root/build/default/bin
fi
demo=${VK_DEMO_OUT:-build/demo}
rm -rf "$demo" && mkdir -p "$demo/c"
demo=$(realpath "$demo")
export VKCAD_DRIVES="C=$demo/c"
vkcad() { "$bin/vkcad" "$@"; }
section() { printf '\n== %s\n' "$*"; }

section "The architect's plan: apps/demo/plan.dxf (a DXF R2000 file in code page 936)"
vkcad import apps/demo/plan.dxf "$demo/plan.dwg"

section "Floors 1F, 2F, 3F: the plan with the construction segments and corridor mains (apps/demo/floor.jsonl)"
for floor in 1F 2F 3F; do
  {
    vkcad dump "$demo/plan.dwg"
    cat apps/demo/floor.jsonl
  } >"$demo/$floor.jsonl"
  vkcad load "$demo/$floor.jsonl" "$demo/$floor.dwg"
  rm "$demo/$floor.jsonl" "$demo/$floor.dwg.bak" 2>/dev/null || true
done
cp apps/demo/demo.prj "$demo/"

section "Draw the bathroom on 1F with the drawing commands: apps/demo/1F.scr"
(cd "$demo" && vkcad --project demo.prj --floor 1F --script "$root/apps/demo/1F.scr")
if [ "${VK_DEMO_STOP:-}" = floors ]; then
  echo "Floors made in $demo; stopped there (VK_DEMO_STOP=floors)"
  exit 0
fi

# Plan pictures of every floor, and of the bathrooms west of axis 3 (the edited one among them):
# titled, with a legend of the building-services symbols and each placed bathroom tinted by
# its state in the standard-room report.
pictures=()
draw() {  # draw STAGE "WHEN"
  for floor in 1F 2F 3F; do
    vkcad render "$demo/$floor.dwg" "$demo/$floor-$1.png" --size 1600x1200 \
      --title "Floor $floor, $2" --report --project "$demo/demo.prj"
    vkcad render "$demo/$floor.dwg" "$demo/$floor-$1-bathrooms.png" --window 1500,3700,6500,11300 --size 800x1216 \
      --title "$floor bathrooms west of axis 3, $2" --report --project "$demo/demo.prj"
    pictures+=("$demo/$floor-$1.png" "$demo/$floor-$1-bathrooms.png")
  done
}

section "Define the bathroom on 1F (bjcj) and place it on every floor (bjbz): apps/demo/place.scr"
(cd "$demo" && vkcad --project demo.prj --floor 1F --script "$root/apps/demo/place.scr")
draw before "before the edit"

section "Edit the bathroom from its copy on 2F (bjbj), SAVEALL, the report: apps/demo/edit.scr"
(cd "$demo" && vkcad --project demo.prj --floor 2F --script "$root/apps/demo/edit.scr")
draw after "after the edit"

section "c:\\sgd.ini (shown in UTF-8)"
iconv -f GBK -t UTF-8 "$demo/c/sgd.ini"  # the file is in the ANSI code page

section "Pictures of the floors before and after the edit"
for p in "${pictures[@]}"; do echo "$p"; done
