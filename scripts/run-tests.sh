#!/usr/bin/env bash
# Configures, builds and tests each tree with its CMake workflow, then checks the release;
# scripts/test.sh calls it on an X display of its own.
# Hand-written: a workflow runs one tree, and the release check, which configures and builds the
# x86 tree itself, cannot be a test of that tree.
set -uo pipefail
cd "$(dirname "$0")/.."

# The shipped program is 32-bit: its tests run on every host or the run fails.
if ! scripts/wine-run --can-run-x86; then
  echo "FAIL: this host does not execute 32-bit x86 code (/usr/lib/wine/wine --version does not answer"
  echo "      within 10 s), so the shipped program's tests cannot run. scripts/setup.sh, run as root,"
  echo "      makes it do so through qemu-i386; it says which step was refused if it cannot."
  exit 1
fi

status=0
for preset in x86 x64 native; do
  cmake --workflow --preset "$preset" || status=1
done

echo "== The release, and the same release built again in two other folders"
DIST_DIR=$PWD/build/dist scripts/release.sh --check --allow-dirty || status=1

exit $status
