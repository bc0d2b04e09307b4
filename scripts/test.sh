#!/usr/bin/env bash
# Builds and runs every test: the current edition, then the earlier one, each in its own build folder.
# Usage: scripts/test.sh [--sanitize]   (--sanitize: the current edition under the sanitizers instead)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
presets=(default earlier)
[[ "${1:-}" == "--sanitize" ]] && presets=(sanitize)
bash "$root/scripts/install-deps.sh"
cd "$root"
# The editions share most objects: let ccache find them across build folders.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
for preset in "${presets[@]}"; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j "$(nproc)"
done
