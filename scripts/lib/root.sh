# The Wine root: a Debian unstable system in a folder of its own, whose Wine
# runs 32-bit Windows programs inside 64-bit Linux processes (WoW64), so the
# 32-bit build runs on kernels that cannot execute 32-bit Linux programs.
# The tests' Wine runs in it through chroot; everything else stays on the host.

QFW_ROOT=${QFW_ROOT:-/var/lib/qfw/sid-root}
QFW_ROOT_MIRROR=${QFW_ROOT_MIRROR:-http://deb.debian.org/debian}
# Written last: a root without it is a half-made one, and is made again.
qfw_root_marker=.qfw-root-complete
qfw_root_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
qfw_root_packages=(wine wine64 xvfb xauth tzdata locales)
# The suite's Release file may have passed its validity date on a mirror.
qfw_root_apt=(apt-get -q -o Acquire::Check-Valid-Until=false)

qfw_root_ready() {
  [ -f "$QFW_ROOT/$qfw_root_marker" ]
}

# Runs a command inside the root, in a mount namespace of its own (see in-root).
#   qfw_in_root <root> <host folder>... -- <command> [args]
qfw_in_root() {
  unshare -m --propagation private "$qfw_root_lib/in-root" "$@"
}

# Makes the root, or finishes what an earlier run left half-made. Returns
# non-zero (after saying why) when it cannot be made.
qfw_make_root() {
  mkdir -p "$(dirname "$QFW_ROOT")"
  (
    flock 9
    qfw_root_ready && exit 0
    local log="$QFW_ROOT.log" start=$SECONDS
    export DEBIAN_FRONTEND=noninteractive
    if [ -e "$QFW_ROOT" ]; then
      echo "setup: removing the half-made Wine root $QFW_ROOT"
      rm -rf --one-file-system "$QFW_ROOT"
    fi
    echo "setup: making the Wine root $QFW_ROOT (Debian unstable; log in $log)"
    : >"$log"
    unshare -m --propagation private \
      debootstrap --variant=minbase sid "$QFW_ROOT" "$QFW_ROOT_MIRROR" >>"$log" 2>&1 || {
      echo "setup: the Wine root could not be made: debootstrap of Debian unstable from $QFW_ROOT_MIRROR failed (see $log)" >&2
      exit 1
    }
    cp /etc/hosts "$QFW_ROOT/etc/hosts"
    qfw_in_root "$QFW_ROOT" -- "${qfw_root_apt[@]}" update >>"$log" 2>&1 &&
    qfw_in_root "$QFW_ROOT" -- \
      "${qfw_root_apt[@]}" install -y --no-install-recommends "${qfw_root_packages[@]}" >>"$log" 2>&1 &&
    qfw_in_root "$QFW_ROOT" -- localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 >>"$log" 2>&1 &&
    qfw_in_root "$QFW_ROOT" -- apt-get clean >>"$log" 2>&1 || {
      echo "setup: the Wine root could not be made: installing ${qfw_root_packages[*]} in it failed (see $log)" >&2
      exit 1
    }
    touch "$QFW_ROOT/$qfw_root_marker"
    echo "setup: the Wine root is made ($((SECONDS - start)) s)"
  ) 9>"$QFW_ROOT.lock"
}
