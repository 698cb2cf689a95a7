#!/usr/bin/env bash
# Builds the Debian package: build-deb/orvelune_VERSION_amd64.deb, installing
# the program as /usr/games/orvelune and its files in
# /usr/share/games/orvelune, with the desktop entry, icons, AppStream metadata,
# manual page, copyright and changelog. Its dependencies are read off the
# program (dpkg-shlibdeps), plus the font package.
#   ./scripts/build-deb.sh
# Install it with: sudo apt install ./build-deb/orvelune_VERSION_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --deb

out=build-deb
# Debian's hardening flags, as its own packages are built with.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)"
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games -DORVELUNE_DATA_SUBDIR=games/orvelune \
  -DORVELUNE_DEBIAN_PACKAGE=ON >/dev/null
cmake --build "$out"
rm -f "$out"/orvelune_*.deb
(cd "$out" && cpack -G DEB >cpack.log) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/orvelune_*_amd64.deb)
echo "$deb"
