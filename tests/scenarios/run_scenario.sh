#!/usr/bin/env bash
# run_scenario.sh VKCAD SCRIPT.scr
# Runs one scenario script through vkcad in a fresh directory and compares its transcript
# (stdout) with SCRIPT.expected, and, when SCRIPT.dump.expected exists, the drawing named on
# the ";; dump:" line with it. Header lines of the script (comments to vkcad):
#   ;; args: OPTIONS...        vkcad options before --script (e.g. --no-default-plugins a.dwg)
#   ;; fixtures: a.jsonl ...   copied from beside the script (or fixtures/), each loaded into a.dwg;
#                              x.jsonl:B.dwg loads into B.dwg, x.txt:Y.txt copies under the name Y.txt
#   ;; dump: a.dwg [b.dwg...]  the drawing compared with SCRIPT.dump.expected after the run
#                              (several: each dump follows a line "== NAME")
#   ;; exit: N                 the exit code vkcad must give (default 0)
#   ;; lang: zh                 the session's language (VKCAD_LANG; default en, whatever the locale)
#   ;; file: c/sgd.ini         a file the run writes (C: is the folder c/), compared, turned from
#                              code page 936 into UTF-8, with SCRIPT.file.expected
#   ;; batch: yes              the script's lines are not a script but vkcad's command lines (the
#                              batch forms: load, dump, import, export, report...), run in turn;
#                              the transcript holds "$ LINE", what each printed on both streams
#                              and "exit N" when N is not 0
# In every transcript the run's folder is written <dir>.
# In the args line, @BIN@ stands for vkcad's own folder (where the test plug-ins are built).
# VK_UPDATE_EXPECTED=1 writes the expected files instead of comparing.
set -u
vkcad=$(realpath "$1")
scr=$(realpath "$2")
dir=$(dirname "$scr")
name=$(basename "$scr" .scr)
header() { sed -n "s/^;; $1: *//p" "$scr" | head -n 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/c" "$tmp/sub"
export VKCAD_DRIVES="C=$tmp/c" HOME="$tmp"
lang=$(header lang)
export VKCAD_LANG=${lang:-en}
cd "$tmp"

for spec in $(header fixtures); do
  f=${spec%%:*}
  src="$dir/$f"
  [ -f "$src" ] || src="$dir/fixtures/$f"
  if [ ! -f "$src" ]; then echo "scenario $name: fixture $f not found" >&2; exit 1; fi
  cp "$src" "$tmp/$f"
  case "$spec" in
    *.jsonl:*.dwg|*.jsonl)
      dwg=${f%.jsonl}.dwg
      [ "$spec" = "$f" ] || dwg=${spec#*:}
      if [ "${dwg%.dwg}" = "$dwg" ]; then cp "$src" "$tmp/$dwg"; continue; fi  # copied under another name
      if ! "$vkcad" load "$f" "$dwg"; then
        echo "scenario $name: fixture $f does not load" >&2; exit 1
      fi ;;
    *:*) cp "$src" "$tmp/${spec#*:}" ;;
  esac
done
cp "$scr" "$tmp/$name.scr"

if [ -n "$(header batch)" ]; then
  # Both streams go into the transcript: the leak checker of a sanitizer build keeps its list of
  # suppressions to itself.
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0"
  : >"$tmp/transcript.out"
  while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in ''|';'*) continue ;; esac
    read -r -a words <<<"$line"
    echo "\$ $line" >>"$tmp/transcript.out"
    "$vkcad" "${words[@]}" >"$tmp/run.out" 2>&1
    run_rc=$?
    sed -e "s|$tmp|<dir>|g" -e "s|${tmp//\//\\\\}|<dir>|g" "$tmp/run.out" >>"$tmp/transcript.out"
    [ "$run_rc" = 0 ] || echo "exit $run_rc" >>"$tmp/transcript.out"
  done <"$name.scr"
  : >"$tmp/stderr.out"
  rc=0
else
  args_line=$(header args)
  args_line=${args_line//@BIN@/$(dirname "$vkcad")}
  read -r -a args <<<"$args_line"
  "$vkcad" "${args[@]}" --script "$name.scr" >"$tmp/run.out" 2>"$tmp/stderr.out"
  rc=$?
  sed -e "s|$tmp|<dir>|g" -e "s|${tmp//\//\\\\}|<dir>|g" "$tmp/run.out" >"$tmp/transcript.out"
fi
want_rc=$(header exit)
want_rc=${want_rc:-0}

failed=0
compare() {  # compare EXPECTED ACTUAL WHAT
  if [ "${VK_UPDATE_EXPECTED:-}" = 1 ]; then
    cp "$2" "$1"; echo "wrote $1"; return
  fi
  if [ ! -f "$1" ]; then echo "scenario $name: $1 is missing" >&2; failed=1; return; fi
  if ! diff -u "$1" "$2"; then echo "scenario $name: $3 differs" >&2; failed=1; fi
}
compare "$dir/$name.expected" "$tmp/transcript.out" "transcript"
if [ "$rc" != "$want_rc" ]; then
  echo "scenario $name: vkcad exited $rc, expected $want_rc" >&2
  cat "$tmp/stderr.out" >&2
  failed=1
fi
if [ -f "$dir/$name.dump.expected" ] || { [ "${VK_UPDATE_EXPECTED:-}" = 1 ] && [ -n "$(header dump)" ]; }; then
  read -r -a dwgs <<<"$(header dump)"
  if [ "${#dwgs[@]}" = 0 ]; then echo "scenario $name: no ;; dump: line" >&2; exit 1; fi
  : >"$tmp/dump.out"
  dumped=1
  for dwg in "${dwgs[@]}"; do
    # Several drawings: each dump follows a line naming it.
    [ "${#dwgs[@]}" -gt 1 ] && echo "== $dwg" >>"$tmp/dump.out"
    if ! "$vkcad" dump "$dwg" >>"$tmp/dump.out"; then
      echo "scenario $name: dump of $dwg failed" >&2; failed=1; dumped=0
    fi
  done
  [ "$dumped" = 1 ] && compare "$dir/$name.dump.expected" "$tmp/dump.out" "dump of ${dwgs[*]}"
fi
file=$(header file)
if [ -n "$file" ]; then
  if [ ! -f "$tmp/$file" ]; then
    echo "scenario $name: the run did not write $file" >&2; failed=1
  elif ! iconv -f GBK -t UTF-8 "$tmp/$file" >"$tmp/file.out"; then
    echo "scenario $name: $file is not in code page 936" >&2; failed=1
  else
    compare "$dir/$name.file.expected" "$tmp/file.out" "$file"
  fi
fi
exit $failed
