#!/usr/bin/env bash
# Builds vkcad and its default plug-ins from an earlier commit, for the whole-process
# benchmarks' baseline (bench/apps): prints the path of that vkcad.
#   VK_BASELINE_VKCAD=$(bash scripts/build-baseline.sh COMMIT) build/default/bin/bench_apps
# The build lies in a detached worktree under $TMPDIR (default /tmp), reused on later calls.
set -euo pipefail
commit=${1:?usage: build-baseline.sh COMMIT}
repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
sha=$(git -C "$repo" rev-parse --short "$commit")
dir=${TMPDIR:-/tmp}/vk-baseline-$sha
if [ ! -d "$dir" ]; then
  git -C "$repo" worktree add --detach "$dir" "$sha" >&2
fi
# Paths relative to each tree: the shared compiler cache serves most of this build.
export CCACHE_BASEDIR=$dir CCACHE_NOHASHDIR=1
(cd "$dir" && cmake --preset default >&2)
cmake --build "$dir/build/default" --target vkcad VkQsRoom SgdCalc -j2 >&2
echo "$dir/build/default/bin/vkcad"
