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
#       also builds the release from copies of the sources in two other folders and fails unless
#       all three are the same, byte for byte (an unsigned release; a signed one compares the
#       built program and its debug file)
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
if ! output=$(cmake --build --preset x86 --target LogLevelToolRelease 2>&1); then
  echo "$output" >&2
  exit 1
fi

# One date for this release and for the copies --check builds, which are not git checkouts.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 315532800)
fi
export SOURCE_DATE_EPOCH

build=build/x86/app
dist=${DIST_DIR:-$root/dist}
scripts/package-release "$build" "$dist"

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
      same "$build/release/$file" "$scratch/$copy/$build/release/$file" "$file as built, here and in $copy"
    done
    # A signature carries its own time, so only an unsigned release can match the copies'.
    if [ -z "${SIGN_PFX:-}" ]; then
      for file in $(cd "$scratch/$copy/dist" && find . -type f | LC_ALL=C sort); do
        same "$dist/$file" "$scratch/$copy/dist/$file" "${file#./}, here and in $copy"
      done
    fi
  done
  exit $status
fi
