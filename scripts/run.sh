#!/usr/bin/env bash
# Builds and runs the main job: the host shell loads the report module KTVR08C.so and runs the demo
# session (examples/demo.kvs) on a freshly seeded demo database. Arguments replace the session script:
#   bash scripts/run.sh my-session.kvs
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default --target kvx-host KTVR08C
bin="$root/build/default/bin"
exec "$bin/kvx-host" --db "$root/build/default/demo-host.db" --seed "$root/outside/host/sql/demo.sql" \
    --script "${1:-$root/examples/demo.kvs}"
