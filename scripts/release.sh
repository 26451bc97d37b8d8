#!/usr/bin/env bash
# Builds the shipped 32-bit program and writes the release:
#   dist/LogLevelTool-<version>/LogLevelTool.exe         stripped; signed when a certificate is given
#   dist/LogLevelTool-<version>/LogLevelTool.exe.debug   its debug symbols (named by .gnu_debuglink)
#   dist/LogLevelTool-<version>/SHA256SUMS
#   dist/LogLevelTool-<version>.zip                      that folder
# and prints what the program's bytes are made of.
#
#   SIGN_PFX=cert.pfx [SIGN_PASSWORD=...] [SIGN_TIMESTAMP_URL=http://...] scripts/release.sh
#       signs LogLevelTool.exe with Authenticode (SHA-256) before the checksums are written
#   scripts/release.sh --check
#       also builds the release from two copies of the sources in two other folders and fails
#       unless all three are the same, byte for byte
#
# DIST_DIR chooses another folder than dist/. Dates (the zip's entries) come from
# SOURCE_DATE_EPOCH, or else from the last commit.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

check=false
[ "${1:-}" = --check ] && check=true

bash scripts/setup.sh >/dev/null
cmake --preset x86 >/dev/null
cmake --build --preset x86 --target LogLevelToolRelease >/dev/null

build=build/x86/app
scripts/package-release "$build" "${DIST_DIR:-$root/dist}"

if $check; then
  echo
  echo "== Reproducibility: the release built again from copies of the sources in two other folders"
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  for copy in a another-folder-with-a-longer-name; do
    mkdir -p "$scratch/$copy"
    git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$scratch/$copy"
    (cd "$scratch/$copy" && env -u SIGN_PFX DIST_DIR="$scratch/$copy/dist" scripts/release.sh >/dev/null)
  done
  status=0
  same() {
    if cmp -s "$1" "$2"; then
      echo "same       $3"
    else
      echo "DIFFERENT  $3: $1 and $2"
      status=1
    fi
  }
  for copy in a another-folder-with-a-longer-name; do
    for file in LogLevelTool.exe LogLevelTool.exe.debug; do
      same "$build/release/$file" "$scratch/$copy/$build/release/$file" "$file (unsigned), here and in $copy"
    done
  done
  first=$scratch/a/dist
  second=$scratch/another-folder-with-a-longer-name/dist
  for file in $(cd "$first" && find . -type f | LC_ALL=C sort); do
    same "$first/$file" "$second/$file" "${file#./} (unsigned release), both copies"
  done
  exit $status
fi
