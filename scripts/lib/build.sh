# Configures and builds the project for one Windows architecture: all of
# it, or the one target named.
# qfw_build <source dir> <build dir> <i686|x86_64> [Wine root] [target]
# The build is configured again when the Wine root it runs under changes.
qfw_build() {
  local top=$1 build=$2 arch=$3 root=${4:-} target=${5:-all}
  if ! grep -qxF "QFW_WINE_ROOT:PATH=$root" "$build/CMakeCache.txt" 2>/dev/null; then
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQFW_WINE_ROOT="$root" \
          -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$arch-mingw.cmake" >/dev/null
  fi
  cmake --build "$build" -j"${QFW_JOBS:-$(nproc)}" --target "$target"
}

# The Wine version that a wine command prints, e.g. 10.0.
qfw_wine_version() {
  local v
  v=$("$@" --version 2>/dev/null) || return 1
  v=${v#wine-}
  echo "${v%% *}"
}

# Whether the Wine root's Wine runs 32-bit Windows programs here (WoW64):
# a tiny i686 program is built and started under it, in a prefix of its own
# that later runs keep. Where the probe cannot be built, it is taken to run,
# and the build itself then says what is missing.
#   qfw_runs_32bit_programs <root> <folder for the probe>
qfw_runs_32bit_programs() {
  local root=$1 dir=$2 lib status=0
  lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  mkdir -p "$dir"
  i686-w64-mingw32-gcc -O2 -s -o "$dir/probe.exe" "$lib/probe-wow64.c" 2>/dev/null || return 0
  qfw_in_root "$root" "$dir" -- env WINEPREFIX="$dir/prefix" WINEARCH=win64 WINEDEBUG=-all \
      WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/x86_64-linux-gnu/wine/wine "$dir/probe.exe" \
      >/dev/null 2>&1 || status=$?
  [ "$status" -eq 50 ]
}

# Chooses how the programs run here, into QFW_ARCH, QFW_WINE_ROOT and the
# line QFW_ROUTE that names it; the route's probe lives under <builds folder>.
# The product is 32-bit: it runs under the Wine root's WoW64 Wine. Without
# the root, the host's 32-bit Wine runs it where the kernel can execute 32-bit
# programs; elsewhere the same sources built for 64-bit Windows run under the
# host's 64-bit Wine.
#   qfw_choose_route <builds folder>
qfw_choose_route() {
  local builds=$1 v
  if qfw_root_ready && v=$(qfw_wine_version qfw_in_root "$QFW_ROOT" -- wine); then
    if qfw_runs_32bit_programs "$QFW_ROOT" "$builds/route-probe"; then
      QFW_ARCH=i686 QFW_WINE_ROOT=$QFW_ROOT
      QFW_ROUTE="i686 build under Wine $v (WoW64)"
    else
      QFW_ARCH=x86_64 QFW_WINE_ROOT=$QFW_ROOT
      QFW_ROUTE="x86_64 build under Wine $v (fallback: this machine runs no 32-bit code, not even under WoW64)"
    fi
  elif v=$(qfw_wine_version /usr/lib/wine/wine); then
    QFW_ARCH=i686 QFW_WINE_ROOT=
    QFW_ROUTE="i686 build under the host's 32-bit Wine $v (fallback: there is no Wine root)"
  else
    v=$(qfw_wine_version /usr/lib/wine/wine64) || v="?"
    QFW_ARCH=x86_64 QFW_WINE_ROOT=
    QFW_ROUTE="x86_64 build under the host's 64-bit Wine $v (fallback: there is no Wine root and this kernel cannot run 32-bit Wine)"
  fi
}
