#!/usr/bin/env bash
# Builds and runs the main job on the embedded default installation.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default
exec "$root/build/default/bin/kvx-smoke" "$@"
