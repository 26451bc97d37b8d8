#!/usr/bin/env bash
# Sets up the machine, then builds and tests every tree on a private X display: the Windows programs
# under Wine, the native ones under the sanitizers.
# Hand-written: CMake neither installs the packages nor gives the GUI tests a display.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
exec xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" scripts/run-tests.sh
