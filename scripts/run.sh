#!/usr/bin/env bash
# Sets up the machine, builds the tool and runs its main job under Wine in the project's prefix.
#   scripts/run.sh /full | /normal | (other arguments)   apply silently, then show the key
#   scripts/run.sh                                      open the dialog on $DISPLAY
# The exit code is the tool's own.
# Hand-written: CMake builds the tool; running it in the project's prefix and reading the key back is ours.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >/dev/null
cmake --preset x86 >/dev/null
if ! output=$(cmake --build --preset x86 --target LogLevelToolRelease 2>&1); then
  echo "$output" >&2
  exit 1
fi

prefix=$PWD/build/wineprefix
program=build/x86/app/release/LogLevelTool.exe

if [ $# -eq 0 ] && [ -z "${DISPLAY:-}" ]; then
  echo "There is no X display (DISPLAY is not set), so the dialog cannot open."
  echo "Pass a level to apply it silently instead:"
  echo "  scripts/run.sh /full      or      scripts/run.sh /normal"
  exit 2
fi

status=0
scripts/wine-run --prefix "$prefix" "$program" "$@" || status=$?
echo "LogLevelTool exit code: $status"
echo "HKLM\\SOFTWARE\\Orvane\\ZKF\\Logging in the 32-bit view:"
if key=$(WINEPREFIX=$prefix WINEDEBUG=-all /usr/lib/wine/wine64 reg query \
    'HKLM\SOFTWARE\Orvane\ZKF\Logging' /reg:32 2>/dev/null); then
  tr -d '\r' <<<"$key" | sed -e '/^$/d' -e '/^HKEY/d' -e 's/^ */  /'
else
  echo "  (no such key: normal logging)"
fi
exit $status
