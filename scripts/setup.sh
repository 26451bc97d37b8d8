#!/usr/bin/env bash
# Installs everything needed to build, run and test on Debian 12, and makes sure that this host
# executes 32-bit x86 code, which the shipped program and Wine's 32-bit half need. Run as root.
# Idempotent: when everything is in place it only checks and returns.
set -euo pipefail

packages=(
  cmake ninja-build make
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  googletest clang libclang-rt-14-dev
  wine wine64 wine32:i386 fonts-wine
  xvfb xauth x11-apps x11-utils xdotool imagemagick
  osslsigncode openssl zip unzip hyperfine
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

# The suite entry the host's own Debian packages come from, in either sources format.
debian_mirror() {
  local one_line=() deb822=() file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] && one_line+=("$file")
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && deb822+=("$file")
  done
  if [ ${#one_line[@]} -gt 0 ]; then
    awk '$1 == "deb" { for (i = 2; i < NF; i++) if ($i ~ /^[a-z+]+:\/\// && $(i + 1) == "bookworm") { print $i; exit } }' \
      "${one_line[@]}" || true
  fi
  if [ ${#deb822[@]} -gt 0 ]; then
    awk 'BEGIN { RS = ""; FS = "\n" }
         /(^|\n)Suites:[^\n]*[ \t]bookworm([ \t]|\n|$)/ && !/(^|\n)Enabled:[ \t]*no/ {
           for (i = 1; i <= NF; i++) if ($i ~ /^URIs:/) { split($i, f, /[ \t]+/); print f[2]; exit }
         }' "${deb822[@]}" || true
  fi
}

# qemu-user from bookworm-backports, which is never the default for anything else: apt gives
# that suite a low priority and only this one package is asked for from it.
install_backports_qemu() {
  if ! grep -rqs -E '^[^#]*bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    local mirror
    mirror=$(debian_mirror | head -n 1 || true)
    [ -n "$mirror" ] || fail "adding bookworm-backports: no Debian bookworm entry found in the APT sources"
    cat >/etc/apt/sources.list.d/bookworm-backports.sources <<EOF || fail "adding bookworm-backports: cannot write to /etc/apt/sources.list.d"
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
