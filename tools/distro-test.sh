#!/usr/bin/env bash
# Runs the test command of a plain clone of this checkout's HEAD inside a fresh Debian root of
# another release, made with debootstrap from the archive this machine uses.
# usage: tools/distro-test.sh RELEASE [COMMAND...]   (RELEASE: trixie, forky, ...; COMMAND runs in
#        the clone instead of tools/test.sh, e.g. "tools/deps.sh test")
#        tools/distro-test.sh --can RELEASE   (status 0 when a run can start here, else one line
#        saying why and status 77)
# The root is kept in $FW_DISTRO_CACHE/RELEASE (default /var/cache/farwake-distro) and reused with
# its installed packages, refreshed by apt-get update on every run; the compiler cache beside it
# (RELEASE/ccache, mounted on the root's) outlives a remade root. Inside, tools/test.sh runs its
# shorter set (FW_TEST_INNER: no web page, no Debian package, the short soak) one stage at a time,
# build and unit tests first (FW_DISTRO_STAGES), each installing only its own packages, and the
# fuzz targets 5 seconds each (FW_DISTRO_FUZZ_SECONDS) instead of 30. The command gets
# FW_DISTRO_BUDGET minutes (default 35) of wall-clock time; past that it is stopped, the last line
# names the stages that passed, and the status is 124.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
say() { echo "distro-test: $*"; }
can_only=0
if [ "${1:-}" = --can ]; then
  can_only=1
  shift
fi
release=${1:?usage: tools/distro-test.sh [--can] RELEASE [COMMAND...]}
shift
cache=${FW_DISTRO_CACHE:-/var/cache/farwake-distro}/$release
root=$cache/root

# The Debian archive this machine installs from (deb822 or one-line sources), else Debian's own.
mirror=$(sed -n 's|^URIs: *\(https\?://[^ ]*/debian\)/*$|\1|p' /etc/apt/sources.list.d/*.sources \
           2>/dev/null | head -n 1 || true)
[ -n "$mirror" ] ||
  mirror=$(sed -n 's|^deb  *\(\[[^]]*\]  *\)\?\(https\?://[^ ]*/debian\)/* .*|\2|p' \
             /etc/apt/sources.list 2>/dev/null | head -n 1 || true)
mirror=${mirror:-http://deb.debian.org/debian}

# Why a run cannot start here; empty when it can.
cannot() {
  [ "$(id -u)" -eq 0 ] || { echo "needs root (debootstrap, chroot and mounts)"; return; }
  command -v debootstrap >/dev/null 2>&1 || { echo "debootstrap is not installed"; return; }
  command -v git >/dev/null 2>&1 || { echo "git is not installed"; return; }
  local probe
  probe=$(mktemp)
  if ! timeout 60 /usr/lib/apt/apt-helper download-file "$mirror/dists/$release/Release" \
       "$probe" >/dev/null 2>&1; then
    rm -f "$probe"
    echo "cannot reach $mirror/dists/$release/Release"
    return
  fi
  rm -f "$probe"
}
why=$(cannot)
if [ -n "$why" ]; then
  say "skipped for $release: $why"
  exit 77
fi
[ $can_only -eq 1 ] && exit 0
start=$(date +%s)

# Every mount this run made, undone on any way out (newest first).
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[$i]}" 2>/dev/null || umount -l "${mounted[$i]}" 2>/dev/null || true
  done
  mounted=()
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
bind() { # host-path root-path [mount options...]
  local at=$root$2 from=$1
  shift 2
  mkdir -p "$at"
  mount "$@" "$from" "$at"
  mounted+=("$at")
}

if [ ! -e "$cache/.ready" ]; then
  say "no cached root: making one with debootstrap --variant=minbase $release from $mirror into $root"
  rm -rf "$root"
  mkdir -p "$cache"
  # Releases newer than this machine's debootstrap are made with its script for sid.
  script=()
  [ -e "/usr/share/debootstrap/scripts/$release" ] || script=(/usr/share/debootstrap/scripts/sid)
  debootstrap --variant=minbase --include=ca-certificates,git,ccache "$release" "$root" \
    "$mirror" "${script[@]}" >"$cache/debootstrap.log" 2>&1 ||
    { tail -n 20 "$cache/debootstrap.log"; say "debootstrap failed (log: $cache/debootstrap.log)"; exit 1; }
  # Packages do not start services inside the root.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod +x "$root/usr/sbin/policy-rc.d"
  touch "$cache/.ready"
  say "the $release root took $(( ($(date +%s) - start) / 60 )) min to make"
fi
# The compiler cache lives beside the root (older runs kept it inside).
if [ ! -d "$cache/ccache" ] && [ -d "$root/root/.cache/ccache" ]; then
  mv "$root/root/.cache/ccache" "$cache/ccache"
fi
mkdir -p "$cache/ccache"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# A testing release's Release file carries an expiry date that a mirror which is a snapshot has
# passed; the signatures are still checked.
echo 'Acquire::Check-Valid-Until "false";' >"$root/etc/apt/apt.conf.d/99farwake-valid-until"

bind proc /proc -t proc
bind sysfs /sys -t sysfs
bind /dev /dev --bind
bind /dev/pts /dev/pts --bind
bind /dev/shm /dev/shm --bind
bind "$cache/ccache" /root/.cache/ccache --bind

# A clean environment inside the root.
root_env=(/usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
say "refreshing the package lists of $release"
timeout 600 chroot "$root" "${root_env[@]}" apt-get update -qq ||
  { say "apt-get update failed or took over 10 min inside the $release root"; exit 1; }
# A run stopped at its budget may have stopped dpkg half way; this finishes what it left.
chroot "$root" "${root_env[@]}" dpkg --configure -a

# A plain clone of HEAD: what a new user gets, without this work tree's build folders or edits.
rm -rf "$root/work"
mkdir -p "$root/work"
git clone --quiet --no-hardlinks "$src" "$root/work/farwake"
say "$release: $(. "$root/etc/os-release" && echo "$PRETTY_NAME"), clone of $(git -C "$src" rev-parse --short HEAD)"
# The test command's stages, in this order, each one noted in /work/passed when it passes.
stages=${FW_DISTRO_STAGES:-build asan fuzz install tsan}
label="$*"
if [ $# -eq 0 ]; then
  label="tools/test.sh, stage by stage"
  set -- bash -c 'for s in $0; do FW_TEST_ONLY=$s tools/test.sh || exit; echo "$s" >>/work/passed
                  done' "$stages"
fi
budget=${FW_DISTRO_BUDGET:-35}
status=0
# timeout stops the whole process group (the chroot and all it started) when the budget is spent.
timeout -k 30 "${budget}m" chroot "$root" "${root_env[@]}" FW_TEST_INNER=1 \
  FW_FUZZ_SECONDS="${FW_DISTRO_FUZZ_SECONDS:-5}" bash -c 'cd /work/farwake && exec "$@"' sh "$@" ||
  status=$?
[ $status -eq 137 ] && status=124 # killed 30 s after the stop
passed=$(tr '\n' ' ' <"$root/work/passed" 2>/dev/null || true)
[ -n "$passed" ] && say "$release: stages passed: $passed(of $stages)"
[ $status -eq 124 ] &&
  say "$release: '$label' stopped: it passed its budget of $budget min (FW_DISTRO_BUDGET)"
elapsed=$(($(date +%s) - start))
say "$release: '$label' ended with status $status after $((elapsed / 60)) min $((elapsed % 60)) s"
exit $status
