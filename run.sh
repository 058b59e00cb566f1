#!/usr/bin/env bash
# Installs what is missing, builds, and runs the bundled example.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target velk
if [ -f examples/run.sh ]; then
  exec examples/run.sh build/velk
fi
exec build/velk "$@"
