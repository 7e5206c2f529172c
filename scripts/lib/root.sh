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

# The marker names the packages installed; a root made for fewer is completed.
qfw_root_current() {
  [ "$(cat "$QFW_ROOT/$qfw_root_marker" 2>/dev/null)" = "${qfw_root_packages[*]}" ]
}

# Runs a command inside the root, in a mount namespace of its own (see in-root).
#   qfw_in_root <root> <host folder>... -- <command> [args]
qfw_in_root() {
  unshare -m --propagation private "$qfw_root_lib/in-root" "$@"
}

# Makes the root, or finishes what an earlier run left half-made, or installs
# what a root made for fewer packages lacks. Returns non-zero (after saying
# why in one line) when it cannot.
qfw_make_root() {
  mkdir -p "$(dirname "$QFW_ROOT")"
  (
    flock 9
    qfw_root_current && exit 0
    local log="$QFW_ROOT.log" start=$SECONDS
    local failed="could not be made" fallback="the programs run under the host's Wine instead"
    qfw_root_ready && failed="could not be completed" fallback="it is used as it is"
    export DEBIAN_FRONTEND=noninteractive
    : >"$log"
    if ! qfw_root_ready; then
      if [ -e "$QFW_ROOT" ]; then
        echo "setup: removing the half-made Wine root $QFW_ROOT"
        rm -rf --one-file-system "$QFW_ROOT"
      fi
      echo "setup: making the Wine root $QFW_ROOT (Debian unstable; log in $log)"
      unshare -m --propagation private \
        debootstrap --variant=minbase sid "$QFW_ROOT" "$QFW_ROOT_MIRROR" >>"$log" 2>&1 || {
        echo "setup: the Wine root could not be made: debootstrap of Debian unstable from $QFW_ROOT_MIRROR failed (see $log); $fallback" >&2
        exit 1
      }
      cp /etc/hosts "$QFW_ROOT/etc/hosts"
    fi
    echo "setup: installing ${qfw_root_packages[*]} in the Wine root"
    qfw_in_root "$QFW_ROOT" -- "${qfw_root_apt[@]}" update >>"$log" 2>&1 &&
    qfw_in_root "$QFW_ROOT" -- \
      "${qfw_root_apt[@]}" install -y --no-install-recommends "${qfw_root_packages[@]}" >>"$log" 2>&1 &&
    qfw_in_root "$QFW_ROOT" -- localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 >>"$log" 2>&1 &&
    qfw_in_root "$QFW_ROOT" -- apt-get clean >>"$log" 2>&1 || {
      echo "setup: the Wine root $failed: installing ${qfw_root_packages[*]} in it failed (see $log); $fallback" >&2
      exit 1
    }
    echo "${qfw_root_packages[*]}" >"$QFW_ROOT/$qfw_root_marker"
    echo "setup: the Wine root is ready ($((SECONDS - start)) s)"
  ) 9>"$QFW_ROOT.lock"
}
