#!/usr/bin/env bash
# Measures what a deployment pays for one silent run: LogLevelTool.exe /full as a whole process,
# under one warm Wine server in the project's prefix, beside
#   the floor:      a 32-bit program that does nothing (Wine's own cost of starting a process),
#   the manual way: the two reg add calls an administrator would run instead.
# It prints hyperfine's table and the two ratios. A benchmark, not a test: no number fails it.
#   scripts/bench.sh [RUNS]        (default 30 runs each, after 3 warm-up runs)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-30}

bash scripts/setup.sh >/dev/null
cmake --preset x86 >/dev/null
if ! output=$(cmake --build --preset x86 --target LogLevelToolRelease DoNothing 2>&1); then
  echo "$output" >&2
  exit 1
fi

prefix=$PWD/build/wineprefix
scripts/wine-run --prefix "$prefix" --start
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=

wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
key='HKLM\SOFTWARE\Orvane\ZKF\Logging'
results=$(mktemp)
trap 'rm -f "$results"; scripts/wine-run --prefix "$prefix" --stop' EXIT

# The loaders are called directly, so that every command pays the same, and only Wine's, start.
hyperfine --warmup 3 --runs "$runs" --export-json "$results" \
  -n 'do-nothing program (floor)' "$wine32 build/x86/tests/DoNothing.exe" \
  -n 'LogLevelTool.exe /full' "$wine32 build/x86/app/release/LogLevelTool.exe /full" \
  -n 'two reg add calls' \
  "$wine64 reg add '$key' /v LogMaxSizeKB /t REG_DWORD /d 5000 /reg:32 /f >/dev/null && $wine64 reg add '$key' /v LogLevel /t REG_DWORD /d 5 /reg:32 /f >/dev/null"

python3 - "$results" <<'EOF'
import json, sys
mean = {r["command"]: r["mean"] for r in json.load(open(sys.argv[1]))["results"]}
tool = mean["LogLevelTool.exe /full"]
print(f"\nLogLevelTool.exe /full takes {tool / mean['do-nothing program (floor)']:.2f} times the floor "
      f"and {tool / mean['two reg add calls']:.2f} times the two reg add calls.")
EOF
