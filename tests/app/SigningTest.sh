#!/usr/bin/env bash
# The release's signing, end to end: a throwaway self-signed certificate, the release signed
# with it, the signature checked against it (and refused against another), the checksums taken
# of the signed file, and the signed program still doing its job under Wine. Without a
# certificate the release says it is unsigned and still succeeds.
#   SigningTest.sh SCRIPTS_DIR APP_BUILD_DIR WINE_PREFIX
set -euo pipefail
scripts=$1 build=$2 prefix=$3
work=$(mktemp -d)
status=0

check() {
  local what=$1
  shift
  if "$@" >"$work/out" 2>&1; then
    echo "ok   $what"
  else
    echo "FAIL $what"
    sed 's/^/     /' "$work/out"
    status=1
  fi
}

certificate() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$2" -addext extendedKeyUsage=codeSigning \
    -keyout "$work/$1.key" -out "$work/$1.pem" 2>/dev/null
  openssl pkcs12 -export -inkey "$work/$1.key" -in "$work/$1.pem" -out "$work/$1.pfx" -passout pass:throwaway
}
certificate signer "Log Level Tool test signer"
certificate stranger "Somebody else"

reg() {
  WINEPREFIX=$prefix WINEDEBUG=-all /usr/lib/wine/wine64 reg "$@" /reg:32
}
logging='HKLM\SOFTWARE\Orvane\ZKF\Logging'

# The prefix's own product key (what a manual run left) is kept beside the prefix while the signed
# program runs, an empty file when there was none, and put back at the end. A run cut short leaves
# the file, and the next run puts back that, not what the cut run left.
saved=$prefix-product-key.reg
if [ ! -f "$saved" ]; then
  if reg query 'HKLM\SOFTWARE\Orvane' >/dev/null 2>&1; then
    reg export 'HKLM\SOFTWARE\Orvane' "$saved.part" /y >/dev/null
    mv "$saved.part" "$saved"
  else
    : >"$saved"
  fi
fi
restore() {
  reg delete 'HKLM\SOFTWARE\Orvane' /f >/dev/null 2>&1 || true
  if [ ! -s "$saved" ] || reg import "$saved" >/dev/null 2>&1; then
    rm -f "$saved"
  else
    echo "FAIL the prefix's HKLM\SOFTWARE\Orvane could not be put back from $saved"
    status=1
  fi
  rm -rf "$work"
  exit $status
}
trap restore EXIT

unsigned_output=$("$scripts/package-release" "$build" "$work/unsigned")
unsigned=$(echo "$work"/unsigned/LogLevelTool-*/LogLevelTool.exe)
check "without a certificate the release says it is unsigned" grep -q 'unsigned' <<<"$unsigned_output"
check "and the program carries no signature" \
  bash -c '! osslsigncode verify -CAfile "$1" -in "$2"' - "$work/signer.pem" "$unsigned"

SIGN_PFX=$work/signer.pfx SIGN_PASSWORD=throwaway "$scripts/package-release" "$build" "$work/signed" >/dev/null
folder=$(echo "$work"/signed/LogLevelTool-*/)
folder=${folder%/}
signed=$folder/LogLevelTool.exe
cp "$signed" "$work/signed.exe"
released=$(ls -A "$work/signed")
check "the signature verifies against the signing certificate" \
  osslsigncode verify -CAfile "$work/signer.pem" -in "$signed"
check "and not against another one" \
  bash -c '! osslsigncode verify -CAfile "$1" -in "$2"' - "$work/stranger.pem" "$signed"
check "SHA256SUMS holds the signed program's checksum" bash -c 'cd "$1" && sha256sum -c SHA256SUMS' - "$folder"
check "the checksum beside the zip covers it" bash -c 'cd "$1" && sha256sum -c "$2".zip.sha256' \
  - "$work/signed" "$(basename "$folder")"
check "a failed signing exits with an error" \
  bash -c '! SIGN_PFX=$1 SIGN_PASSWORD=wrong "$2" "$3" "$4"' \
  - "$work/signer.pfx" "$scripts/package-release" "$build" "$work/signed"
check "and leaves the previous release as it was, with nothing beside it" \
  bash -c 'cd "$1" && sha256sum -c SHA256SUMS && cmp LogLevelTool.exe "$2" &&
    [ "$(ls -A ..)" = "$3" ]' \
  - "$folder" "$work/signed.exe" "$released"
check "the zip holds the signed program" bash -c 'unzip -p "$1".zip "$(basename "$1")/LogLevelTool.exe" | cmp - "$2"' \
  - "$folder" "$signed"

reg delete 'HKLM\SOFTWARE\Orvane' /f >/dev/null 2>&1 || true
check "the signed program applies /full under Wine (exit code 0)" "$scripts/wine-run" --prefix "$prefix" "$signed" /full
check "and LogLevel is 5" bash -c 'grep -q "LogLevel *REG_DWORD *0x5" <<<"$1"' - "$(reg query "$logging" /v LogLevel 2>&1)"

exit $status
