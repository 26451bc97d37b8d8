#!/usr/bin/env bash
# Measures what a deployment pays for one silent run: LogLevelTool.exe /full as a whole process,
# under one warm Wine server in the project's prefix, beside
#   the floors:     programs of the same bitness that do nothing, one importing kernel32 and msvcrt only
#                   (Wine's own cost of starting a process), the other the same system DLLs as the
#                   tool (what any GUI program of its kind pays before its first line runs),
#   the manual way: the two reg add calls an administrator would run instead, with the reg.exe
#                   of the same bitness,
# each set under one loader. The 32-bit set always runs (the shipped program, the do-nothing
# program and syswow64's reg.exe under Wine's 32-bit loader). Where this host runs 32-bit code
# through an emulator, which slows only the 32-bit set, the 64-bit build runs too, beside the
# 64-bit floor and system32's reg.exe under the 64-bit loader; --x64 asks for it anywhere.
# It prints hyperfine's tables and the ratios. A benchmark, not a test: no number fails it.
# Hand-written: hyperfine times the commands; which commands, under which loader, is ours.
#   scripts/bench.sh [RUNS] [--x64]      (default 30 runs each, after 3 warm-up runs)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=30
x64=false
for arg in "$@"; do
  case $arg in
    --x64) x64=true ;;
    *[!0-9]* | '') echo "usage: scripts/bench.sh [RUNS] [--x64]" >&2; exit 2 ;;
    *) runs=$arg ;;
  esac
done

# An enabled binfmt_misc handler that hands i386 programs to qemu.
for entry in /proc/sys/fs/binfmt_misc/*; do
  if [ "$(head -n 1 "$entry" 2>/dev/null)" = enabled ] &&
    grep -qs '^interpreter .*qemu-i386' "$entry"; then
    echo "This host runs 32-bit code through $(sed -n 's/^interpreter //p' "$entry"):" \
      "the 64-bit set runs too."
    x64=true
  fi
done

presets=(x86)
$x64 && presets+=(x64)
bash scripts/setup.sh >/dev/null
imports() {
  x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' '
}
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  if ! output=$(cmake --build --preset "$preset" --target LogLevelToolRelease DoNothing DoNothingToolImports 2>&1); then
    echo "$output" >&2
    exit 1
  fi
  # Like for like only while the second floor imports what the tool imports.
  tool=$(imports "build/$preset/app/release/LogLevelTool.exe")
  floor=$(imports "build/$preset/tests/DoNothingToolImports.exe")
  [ "$tool" = "$floor" ] || { echo "bench: the tool imports $tool, DoNothingToolImports.exe $floor" >&2; exit 1; }
done

prefix=$PWD/build/wineprefix
scripts/wine-run --prefix "$prefix" --start
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=

key='HKLM\SOFTWARE\Orvane\ZKF\Logging'
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

# The loader is called directly, so that every command of a set pays the same, and only Wine's,
# start.
bench() {
  local bits=$1 loader=$2 reg=$3 build=build/$4
  local add="$loader '$reg' add '$key' /t REG_DWORD /reg:32 /f"
  echo
  echo "== $bits-bit: $loader"
  hyperfine --warmup 3 --runs "$runs" --export-json "$results/$bits.json" \
    -n "do-nothing program (floor)" "$loader $build/tests/DoNothing.exe" \
    -n "do-nothing program importing the same DLLs" "$loader $build/tests/DoNothingToolImports.exe" \
    -n "LogLevelTool.exe /full" "$loader $build/app/release/LogLevelTool.exe /full" \
    -n "two reg add calls" "$add /v LogMaxSizeKB /d 5000 >/dev/null && $add /v LogLevel /d 5 >/dev/null"
}
bench 32 /usr/lib/wine/wine 'C:\windows\syswow64\reg.exe' x86
$x64 && bench 64 /usr/lib/wine/wine64 'C:\windows\system32\reg.exe' x64

python3 - "$results"/*.json <<'EOF_PY'
import json, os, sys
print()
for path in sys.argv[1:]:
    mean = {r["command"]: r["mean"] for r in json.load(open(path))["results"]}
    tool = mean["LogLevelTool.exe /full"]
    print(f"{os.path.basename(path)[:-5]}-bit: LogLevelTool.exe /full takes "
          f"{tool / mean['do-nothing program (floor)']:.2f} times the kernel32-and-msvcrt floor, "
          f"{tool / mean['do-nothing program importing the same DLLs']:.2f} times the floor importing "
          f"the same DLLs and {tool / mean['two reg add calls']:.2f} times the two reg add calls.")
EOF_PY
