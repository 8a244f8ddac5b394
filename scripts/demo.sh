#!/usr/bin/env bash
# Sets everything up, builds, makes the demo project (two floors and a one-room library) from
# its fixtures in build/demo, and runs the demo script through vkcad on it. The settings file "c:\sgd.ini" lands in build/demo/c.
set -euo pipefail
cd "$(dirname "$0")/.."
# VK_DEMO_BIN: run with programs already built there instead of building the default preset.
if [ -n "${VK_DEMO_BIN:-}" ]; then
  bin=$VK_DEMO_BIN
else
  bash scripts/setup.sh
  cmake --preset default >/dev/null
  cmake --build --preset default -j2 --target vkcad VkQsRoom SgdCalc SrReport
  bin=build/default/bin
fi
demo=build/demo
rm -rf "$demo" && mkdir -p "$demo/c"
cp apps/demo/demo.prj "$demo/"
for f in apps/demo/*.jsonl; do
  "$bin/vkcad" load "$f" "$demo/$(basename "${f%.jsonl}").dwg"
done
# The standard-room library holds one room (StardardRoom.jsonl); its list names it, in the
# ANSI code page with CRLF line ends.
printf '1\r\n%s\r\n' "$(printf '卫生间A' | iconv -f UTF-8 -t GBK)" >"$demo/Roomlist.txt"
export VKCAD_DRIVES="C=$PWD/$demo/c"
"$bin/vkcad" --project "$demo/demo.prj" --floor 1F --script apps/demo/demo.scr
echo "== c:\\sgd.ini (shown in UTF-8)"
iconv -f GBK -t UTF-8 "$demo/c/sgd.ini"  # the file is in the ANSI code page
