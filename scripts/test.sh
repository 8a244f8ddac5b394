#!/usr/bin/env bash
# Sets everything up, builds, and runs every test: the optimised build first, then the
# AddressSanitizer + UndefinedBehaviorSanitizer build. Pass "default" or "asan" to run one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# Paths relative to the checkout in the compiler cache, so that another clone reuses it.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
# The tests read vkcad's English texts, whatever the machine's locale.
export VKCAD_LANG=en
presets=("$@"); [ ${#presets[@]} -eq 0 ] && presets=(default asan)
for p in "${presets[@]}"; do
  echo "== $p: configure and build"
  cmake --preset "$p" >/dev/null
  cmake --build --preset "$p" -j2
  echo "== $p: test"
  ctest --preset "$p" -j2
done
