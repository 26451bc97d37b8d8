#!/usr/bin/env bash
# Builds the shipped 32-bit program and writes the release:
#   dist/LogLevelTool-<version>/LogLevelTool.exe         stripped; signed when a certificate is given
#   dist/LogLevelTool-<version>/LogLevelTool.exe.debug   its debug symbols (named by .gnu_debuglink)
#   dist/LogLevelTool-<version>/SHA256SUMS
#   dist/LogLevelTool-<version>.zip                      that folder
#   dist/LogLevelTool-<version>.zip.sha256               the zip's checksum
# after checking the program that ships (format, imports, hardening), and prints what the
# program's bytes are made of.
#
#   SIGN_PFX=cert.pfx [SIGN_PASSWORD=...] [SIGN_TIMESTAMP_URL=http://...] scripts/release.sh
#       signs LogLevelTool.exe with Authenticode (SHA-256) before the checksums are written
#   scripts/release.sh --allow-dirty
#       releases a tree that differs from its last commit, named <version>-dirty; without it
#       such a tree is refused
#   scripts/release.sh --check
#       also builds the release from copies of the sources in two other folders, each under
#       another clock, time zone, locale and umask, and fails unless all three are the same,
#       byte for byte (an unsigned release; a signed one compares the built program and its
#       debug file), showing how they differ with diffoscope
#
# DIST_DIR chooses another folder than dist/. Dates (the zip's entries) come from
# SOURCE_DATE_EPOCH, or else from the last commit.
# Hand-written: CPack packs a build, but neither refuses a dirty tree nor proves the build reproducible.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

check=false
allow_dirty=false
for arg in "$@"; do
  case $arg in
    --check) check=true ;;
    --allow-dirty) allow_dirty=true ;;
    *) echo "usage: scripts/release.sh [--check] [--allow-dirty]" >&2; exit 2 ;;
  esac
done

# One date for everything built and packaged here, the copies --check builds included.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) ||
    { echo "release: no commit to take the date from: set SOURCE_DATE_EPOCH" >&2; exit 1; }
fi
export SOURCE_DATE_EPOCH

changes=$(git status --porcelain 2>/dev/null) ||
  changes="(not a git checkout: its state is unknown)"
suffix=
if [ -n "$changes" ]; then
  if ! $allow_dirty; then
    echo "release: refused: the tree differs from its last commit:" >&2
    head -n 20 <<<"$changes" | sed 's/^/  /' >&2
    echo "release: commit the changes, or pass --allow-dirty for a release named" \
      "<version>-dirty" >&2
    exit 1
  fi
  suffix=-dirty
fi

quietly() {
  local output
  if ! output=$("$@" 2>&1); then
    echo "$output" >&2
    return 1
  fi
}

bash scripts/setup.sh >/dev/null
quietly cmake --preset x86
quietly cmake --build --preset x86 --target LogLevelToolRelease

build=build/x86/app
dist=${DIST_DIR:-$root/dist}
scripts/package-release "$build" "$dist" "$suffix"
[ -z "$suffix" ] ||
  echo "release: built from a tree that differs from its last commit (--allow-dirty): named -dirty"

$check || exit 0

echo
echo "== Reproducibility: the release built again from copies of the sources in two other folders"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The sources as the build sees them: tracked and untracked files, less ignored and deleted ones.
copy_sources() {
  local file
  git ls-files -z --cached --others --exclude-standard | while IFS= read -r -d '' file; do
    if [ -e "$file" ] || [ -L "$file" ]; then printf '%s\0' "$file"; fi
  done | xargs -0 cp -P --parents -t "$1"
}

# What a reproducibility tester varies, each copy otherwise: the folder (the second with a space
# in it), the clock during the compile (ahead of any real date, and with no SOURCE_DATE_EPOCH,
# since the shipped program may come from a build tree compiled at any time), the time zone,
# the locale and the umask. Packaging keeps the release's date.
mkdir "$scratch/locale"
quietly localedef -i et_EE -f UTF-8 "$scratch/locale/et_EE.UTF-8"
copies=(a "another folder")
declare -A clock=([a]=+397d ["another folder"]=+1000d)
declare -A zone=([a]=GMT+12 ["another folder"]=GMT-14)
declare -A language=([a]=et_EE.UTF-8 ["another folder"]=C)
declare -A mask=([a]=0077 ["another folder"]=0002)
for copy in "${copies[@]}"; do
  dir=$scratch/$copy
  echo "   $copy: clock ${clock[$copy]}, TZ=${zone[$copy]}, LC_ALL=${language[$copy]}," \
    "umask ${mask[$copy]}"
  # Chained with &&: in a subshell on the left of ||, set -e stops nothing.
  (
    umask "${mask[$copy]}" &&
      export LOCPATH=$scratch/locale TZ=${zone[$copy]} LC_ALL=${language[$copy]} &&
      mkdir -p "$dir" && copy_sources "$dir" && cd "$dir" &&
      quietly cmake --preset x86 &&
      quietly env -u SOURCE_DATE_EPOCH faketime -f "${clock[$copy]}" \
        cmake --build --preset x86 --target LogLevelToolRelease &&
      env -u SIGN_PFX scripts/package-release "$build" "$dir/dist" "$suffix" >/dev/null
  ) || { echo "release: building the release again in $dir failed" >&2; exit 1; }
done

status=0
same() {
  if cmp -s "$1" "$2"; then
    echo "same       $3"
  else
    echo "DIFFERENT  $3: $1 and $2"
    diffoscope --no-progress --text - "$1" "$2" 2>&1 | head -n 60 | sed 's/^/    /' || true
    status=1
  fi
}
for copy in "${copies[@]}"; do
  for file in LogLevelTool.exe LogLevelTool.exe.debug; do
    same "$build/release/$file" "$scratch/$copy/$build/release/$file" "$file as built, here and in $copy"
  done
  # A signature carries its own time, so only an unsigned release can match the copies'.
  if [ -z "${SIGN_PFX:-}" ]; then
    while IFS= read -r -d '' file; do
      same "$dist/$file" "$scratch/$copy/dist/$file" "$file, here and in $copy"
    done < <(cd "$scratch/$copy/dist" && find . -type f -printf '%P\0' | LC_ALL=C sort -z)
  fi
done
exit $status
