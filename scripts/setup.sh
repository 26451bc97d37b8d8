#!/usr/bin/env bash
# Installs everything needed to build, run and test on Debian 12, and makes sure that this host
# executes 32-bit x86 code, which the shipped program and Wine's 32-bit half need. Run as root.
# Idempotent: when everything is in place it only checks and returns.
# Hand-written: apt-get installs packages, but making this host run 32-bit code is no package's job.
set -euo pipefail

# Each one is called by the build, the tests or the scripts; nothing is here "in case".
packages=(
  cmake ninja-build python3 git
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  googletest clang libclang-rt-14-dev
  wine wine64 wine32:i386 fonts-wine
  xvfb xauth
  osslsigncode openssl zip unzip faketime diffoscope-minimal locales hyperfine
)

wine32=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc
handler=qemu-i386
# An i386 ELF executable; the mask lets the OS/ABI bytes and the e_type's low bit vary.
i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

fail() {
  echo "setup: $*" >&2
  exit 1
}

need_root() {
  [ "$(id -u)" -eq 0 ] || fail "$1: run this script as root"
}

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null || true)" = installed ]
}

apt_install() {
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q || fail "apt-get update failed"
  apt-get install -y -q --no-install-recommends "$@" || fail "could not install $*"
}

# A 32-bit program answers quickly where the kernel runs it, or where a handler hands it to a
# fast enough emulator. An emulator that ignores MAP_FIXED_NOREPLACE (qemu 7.2) takes about
# fifty seconds for Wine to reserve its address space, which counts as not running.
runs_i386() {
  timeout 10 "$wine32" --version >/dev/null 2>&1
}

# The Debian mirrors of the given suite that APT itself reads: APT's own parser, so that a
# commented line, an "Enabled: no" entry or a *.list.save file counts as not configured.
apt_sites() {
  apt-get indextargets --no-release-info --format '$(RELEASE) $(TARGET_OF) $(SITE)' 2>/dev/null |
    awk -v suite="$1" '$1 == suite && $2 == "deb" { print $3 }' | sort -u
}

# qemu-user from bookworm-backports, which is never the default for anything else: apt gives
# that suite a low priority and only this one package is asked for from it.
install_backports_qemu() {
  if [ -z "$(apt_sites bookworm-backports)" ]; then
    local mirror entry=/etc/apt/sources.list.d/bookworm-backports.sources
    [ ! -e "$entry" ] ||
      fail "adding bookworm-backports: $entry exists, but APT does not use it (Enabled: no?)"
    mirror=$(apt_sites bookworm | head -n 1 || true)
    [ -n "$mirror" ] ||
      fail "adding bookworm-backports: no enabled Debian bookworm entry in the APT sources"
    cat >"$entry" <<EOF || fail "adding bookworm-backports: cannot write to /etc/apt/sources.list.d"
Types: deb
URIs: $mirror
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    echo "setup: added bookworm-backports ($mirror)"
  fi
  case $(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true) in
    *~bpo*) ;;
    *) apt_install qemu-user/bookworm-backports ;;
  esac
}

# Every registered handler that claims i386 ELF files, or our handler's name.
i386_handlers() {
  local entry
  local magic
  magic=$(printf '%b' "$i386_magic" | od -An -tx1 | tr -d ' \n')
  for entry in "$binfmt"/*; do
    case ${entry##*/} in
      register | status) ;;
      "$handler") echo "$entry" ;;
      *) if grep -qx "magic $magic" "$entry" 2>/dev/null; then echo "$entry"; fi ;;
    esac
  done
}

register_i386_handler() {
  local err
  if [ ! -e "$binfmt/register" ]; then
    err=$(mount -t binfmt_misc binfmt_misc "$binfmt" 2>&1) ||
      fail "mounting binfmt_misc on $binfmt was refused: $err"
  fi
  if [ "$(cat "$binfmt/status")" != enabled ]; then
    echo 1 >"$binfmt/status" || fail "enabling binfmt_misc ($binfmt/status) was refused"
  fi
  local old
  while read -r old; do
    echo -1 >"$old" || fail "removing the i386 handler $old, which did not run 32-bit Wine within 10 s, was refused"
    echo "setup: removed the i386 handler $old, which did not run 32-bit Wine within 10 s"
  done < <(i386_handlers)
  # F: the kernel opens the interpreter now, so it is found from any root directory later.
  printf '%s' ":$handler:M::$i386_magic:$i386_mask:/usr/bin/qemu-i386:F" >"$binfmt/register" ||
    fail "registering the i386 handler in $binfmt/register was refused"
  echo "setup: 32-bit x86 programs now run through /usr/bin/qemu-i386"
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  need_root "installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt_install "${missing[@]}"
  echo "setup: installed ${missing[*]}"
else
  echo "setup: all packages present"
fi

if runs_i386; then
  echo "setup: this host runs 32-bit x86 code"
  exit 0
fi

need_root "this host does not run 32-bit x86 code; making it do so through qemu-i386"
install_backports_qemu
register_i386_handler
runs_i386 || fail "32-bit Wine ($wine32 --version) still does not answer within 10 s through qemu-i386"
