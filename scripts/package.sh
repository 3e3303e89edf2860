#!/usr/bin/env bash
# Builds the Release configuration in build-package/ and makes the Debian package
# build-package/kesselwerk_<version>_amd64.deb with CPack (runtime dependencies from
# dpkg-shlibdeps, Debian's hardening flags from dpkg-buildflags).
# Install it with: apt install ./build-package/kesselwerk_<version>_amd64.deb
# KESSELWERK_PACKAGE_DIR=<folder> builds there instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build_dir=${KESSELWERK_PACKAGE_DIR:-build-package}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
# The same flags Debian's own packages are built with (fortified functions, stack
# protector, full RELRO, position-independent executables).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS

# Only what the package holds is built; the install step must not build the tests.
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESSELWERK_BENCHMARKS=OFF \
  -DCMAKE_POSITION_INDEPENDENT_CODE=ON -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${launcher[@]}" >/dev/null
cmake --build "$build_dir" --target kesselwerk kesselwerk-cli kesselwerk_help kesselwerk_desktop_files
rm -f "$build_dir"/kesselwerk_*.deb
cpack --config "$build_dir/CPackConfig.cmake" -B "$build_dir"
ls "$build_dir"/kesselwerk_*.deb
