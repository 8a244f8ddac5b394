#!/usr/bin/env bash
# Installs every Debian package that building, testing and running need, and the npm packages
# of the browser tests (into build/node). Idempotent, and silent when everything is already there.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(
  g++ cmake ninja-build ccache pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libfmt-dev libcli11-dev libreadline-dev
  libcairo2-dev libboost-dev libdxflib-dev fonts-noto-cjk zlib1g-dev
  python3-ezdxf python3-matplotlib librecad-data
  clang libclang-rt-14-dev
  libcpp-httplib-dev libpng-dev chromium
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Node and npm for the browser tests: any install of them will do (Debian's, or one the
# machine came with).
command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The browser tests' npm packages (puppeteer-core), as locked in tests/browser, into build/node.
node_dir=build/node
if ! cmp -s tests/browser/package-lock.json "$node_dir/package-lock.json" || [ ! -d "$node_dir/node_modules/puppeteer-core" ]; then
  echo "setup: installing the browser tests' npm packages into $node_dir"
  mkdir -p "$node_dir"
  cp tests/browser/package.json tests/browser/package-lock.json "$node_dir/"
  (cd "$node_dir" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
fi
