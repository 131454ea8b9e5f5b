#!/usr/bin/env bash
# Installs what the program needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target hygiene-inspection
exec build/hygiene-inspection
