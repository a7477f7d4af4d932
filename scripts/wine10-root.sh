# Sourced by scripts/setup and scripts/test (as root): the Debian 13 root with Wine 10 in which the
# last phase of scripts/test runs. It is made once from Debian's own packages and then reused; a
# root whose making did not finish is made again. Whatever runs in it runs in a mount namespace of
# its own, so its mounts go with its last process however that ends.

WINE10_ROOT=${MIRELUNDE_WINE10_ROOT:-/var/cache/mirelunde/debian13-wine10}
WINE10_SUITE=trixie
WINE10_VERSION=10.0
# What the phase needs there: Wine of both architectures, the two-monitor X server and its tools,
# ctest to run the suites. xvfb, xdotool and imagemagick to look at it by hand.
WINE10_PACKAGES=(
  wine wine64 wine32:i386
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-utils xauth
  cmake procps file xvfb xdotool imagemagick
  locales
)
# The locales of the tests in German and in Japanese (Wine takes its language from LANG).
WINE10_LOCALES=(de_DE ja_JP)
# Written last: a root holding it with these contents is complete and up to date.
WINE10_STAMP="$WINE10_ROOT/etc/mirelunde-root"

wine10_stamp_text() {
  echo "suite $WINE10_SUITE wine $WINE10_VERSION"
  echo "packages ${WINE10_PACKAGES[*]}"
  echo "locales ${WINE10_LOCALES[*]}"
}

# The Debian mirror the host's own lists use for its release, so the root comes from the same place.
wine10_mirror() {
  local codename
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  apt-cache policy | awk -v s="$codename/main" '$3 == s && $1 ~ /^[0-9]+$/ { print $2; exit }'
}

wine10_root_make() {
  mkdir -p "$(dirname "$WINE10_ROOT")"
  exec {lock}>"$(dirname "$WINE10_ROOT")/.lock"
  flock "$lock"
  if [ -f "$WINE10_STAMP" ] && [ "$(cat "$WINE10_STAMP")" = "$(wine10_stamp_text)" ]; then
    exec {lock}>&-
    return 0
  fi
  local started=$SECONDS codename mirror
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  # The host release's own debootstrap: a newer one from other lists would not match this host.
  if ! installed debootstrap; then
    apt_update
    apt-get install -y -qq --no-install-recommends "debootstrap/$codename" >/dev/null
  fi
  mirror=$(wine10_mirror)
  [ -n "$mirror" ] || { echo "setup: no Debian mirror in the host's package lists" >&2; return 1; }
  if [ -e "$WINE10_ROOT" ]; then
    echo "setup: making $WINE10_ROOT again (unfinished or out of date)"
    wine10_root_remove
  fi
  echo "setup: making the Debian 13 root with Wine $WINE10_VERSION in $WINE10_ROOT"
  local log="$(dirname "$WINE10_ROOT")/debootstrap.log"
  debootstrap --variant=minbase --arch=amd64 "$WINE10_SUITE" "$WINE10_ROOT" "$mirror" >"$log" 2>&1 ||
    { tail -n 20 "$log" >&2; return 1; }
  echo "setup: debootstrap done after $((SECONDS - started)) s"
  # Wine of any other major version is refused rather than taken.
  cat >"$WINE10_ROOT/etc/apt/preferences.d/mirelunde-wine" <<PIN
Package: wine wine64 wine32 libwine libwine:i386 fonts-wine
Pin: version $WINE10_VERSION*
Pin-Priority: 1001
PIN
  wine10_in_root sh -c "dpkg --add-architecture i386 && apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ${WINE10_PACKAGES[*]} >/dev/null &&
    apt-get clean" || return 1
  local locale
  for locale in "${WINE10_LOCALES[@]}"; do
    wine10_in_root localedef -i "$locale" -f UTF-8 "$locale.UTF-8" || return 1
  done
  local version
  version=$(wine10_in_root dpkg-query -W -f='${Version}' wine)
  case $version in
  "$WINE10_VERSION"*) ;;
  *) echo "setup: the root has wine $version, not $WINE10_VERSION" >&2; return 1 ;;
  esac
  wine10_stamp_text >"$WINE10_STAMP"
  echo "setup: root made in $((SECONDS - started)) s, $(du -sh --one-file-system "$WINE10_ROOT" | cut -f1), wine $version"
  exec {lock}>&-
}

# Never follows a mount into the host: each is undone first, and rm stays on this file system.
wine10_root_remove() {
  local m
  for m in $(findmnt -rn -o TARGET | grep -F "$WINE10_ROOT" | sort -r); do umount -l "$m"; done
  rm -rf --one-file-system "$WINE10_ROOT"
}

# The command that runs what follows it in the root: in a mount and a process namespace of their own
# (the process it starts is their first, and a kill of it ends all that runs in it), with /proc,
# /dev, /sys, the checkout at its own path and /tmp mounted; /tmp is the folder $WINE10_TMP where
# that is set, otherwise an empty one in memory. The mounts go with the namespace.
wine10_command() {
  WINE10_COMMAND=(unshare --mount --propagation private --pid --fork --kill-child -- /bin/sh -eu -c '
    root=$1 checkout=$2 tmp=$3; shift 3
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount --rbind /sys "$root/sys"
    if [ -n "$tmp" ]; then mount --bind "$tmp" "$root/tmp"; else mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"; fi
    mkdir -p "$root$checkout"
    mount --bind "$checkout" "$root$checkout"
    cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
    exec chroot "$root" /usr/bin/env -C "$checkout" "$@"' sh "$WINE10_ROOT" "$PWD" "${WINE10_TMP:-}")
}

wine10_in_root() {
  wine10_command
  "${WINE10_COMMAND[@]}" "$@"
}
