#!/usr/bin/env bash
# Installs what is missing, builds Tressil and starts it with the bundled app.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
exec build/bin/tressil "$@"
