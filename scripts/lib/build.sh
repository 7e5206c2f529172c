# Configures (once) and builds the project for one Windows architecture.
# qfw_build <source dir> <build dir> <i686|x86_64>
qfw_build() {
  local top=$1 build=$2 arch=$3
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$arch-mingw.cmake" >/dev/null
  fi
  cmake --build "$build" -j"$(nproc)"
}

# The architecture whose programs run here. The product is 32-bit; where the
# kernel cannot execute 32-bit code, the same sources built for 64-bit Windows
# run the tests instead.
qfw_run_arch() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
  else
    echo x86_64
  fi
}
