#!/usr/bin/env bash
# Sets everything up and runs every test through ctest (offscreen Qt platform, no input).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh default
export QT_QPA_PLATFORM=offscreen
ctest --preset default -j2 "$@"
