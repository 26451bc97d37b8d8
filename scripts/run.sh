#!/usr/bin/env bash
# Sets up the machine, builds the tool and runs its main job under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset x86 >/dev/null
cmake --build --preset x86

echo
echo "The log level core and its registry layer are built (build/x86)."
echo "LogLevelTool.exe itself is not there yet: its entry point and dialog are still to come."
