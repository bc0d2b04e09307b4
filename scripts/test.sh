#!/usr/bin/env bash
# Builds and runs every test. Usage: scripts/test.sh [--sanitize]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset=default
[[ "${1:-}" == "--sanitize" ]] && preset=sanitize
bash "$root/scripts/install-deps.sh"
cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
