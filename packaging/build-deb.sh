#!/usr/bin/env bash
# Builds the Debian package build-deb/quillmark_<version>_<arch>.deb: a release
# build with Debian's hardening flags, installed under /usr by CPack, its
# dependencies found by dpkg-shlibdeps. Needs what scripts/install-deps.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# Debian's compiler and linker flags for packages, hardening included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CFLAGS CXXFLAGS LDFLAGS

cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQM_BUILD_TESTS=OFF -DQM_BUILD_BENCH=OFF
cmake --build build-deb
(cd build-deb && cpack -G DEB)
ls -l build-deb/quillmark_*.deb
