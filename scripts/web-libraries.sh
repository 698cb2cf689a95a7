#!/usr/bin/env bash
# Builds the C libraries the browser build links (zlib, libpng, FreeType,
# SDL2)
# for WebAssembly, from Debian's own source packages at pinned versions,
# into a prefix that later runs reuse:
#   scripts/web-libraries.sh PREFIX
# Emscripten's own ports would download them, which this machine cannot;
# Debian's sources come through apt like every other dependency. The prefix
# is rebuilt only when a version below changes (PREFIX/versions records
# what it holds).
set -euo pipefail
prefix=$(realpath -m "$1")
versions="zlib=1:1.2.13.dfsg-1 libpng1.6=1.6.39-2+deb12u5 freetype=2.12.1+dfsg-5+deb12u4 libsdl2=2.26.5+dfsg-1"

if [ -f "$prefix/versions" ] && [ "$(cat "$prefix/versions")" = "$versions" ]; then
  echo "web libraries: up to date in $prefix"
  exit 0
fi

# Debian's source packages: a deb-src entry for the main suite (the pinned
# versions are main's own).
src_list=/etc/apt/sources.list.d/orvelune-web-src.sources
if ! apt-cache showsrc zlib 2>/dev/null | grep -q '^Package: zlib'; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo tee "$src_list" >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  $sudo apt-get update -qq
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$prefix"
mkdir -p "$prefix"
cd "$work"
# The pinned versions; where the suite no longer serves one (a point
# release replaced it), the version it serves now.
# shellcheck disable=SC2086
if ! apt-get source --download-only $versions >download.log 2>&1; then
  echo "web libraries: a pinned version is gone, taking the suite's current ones"
  # shellcheck disable=SC2001,SC2086
  apt-get source --download-only $(echo "$versions" | sed 's/=[^ ]*//g') >download.log 2>&1 || {
    cat download.log
    echo "web libraries: Debian's sources could not be downloaded" >&2
    exit 1
  }
fi
for dsc in *.dsc; do
  dpkg-source --no-check -x "$dsc" >/dev/null
done

# Each library as a static archive, with CMake through Emscripten.
build() {
  local name=$1
  shift
  local dir
  dir=$(find . -maxdepth 1 -type d -iname "$name-*" | head -1)
  emcmake cmake -S "$dir" -B "build-$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >"$name.log" 2>&1 || {
    cat "$name.log"
    exit 1
  }
  cmake --build "build-$name" --target install >>"$name.log" 2>&1 || {
    tail -40 "$name.log"
    exit 1
  }
  echo "web libraries: $name built"
}
# zlib with its own configure (Debian's sources leave out the Windows files
# its CMake build asks for).
(cd zlib-*/ && CHOST=wasm32 emconfigure ./configure --static --prefix="$prefix" >../zlib.log 2>&1 &&
  emmake make -j"$(nproc)" install >>../zlib.log 2>&1) || {
  tail -40 zlib.log
  exit 1
}
echo "web libraries: zlib built"
build libpng1.6 -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DZLIB_ROOT="$prefix" -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
build freetype -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_BROTLI=ON \
  -DFT_DISABLE_PNG=ON -DFT_REQUIRE_ZLIB=ON -DZLIB_ROOT="$prefix" \
  -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
# SDL2 with the browser's own video, events, game pads and WebGL contexts,
# from SDL's own configuration for Emscripten (include/SDL_config_emscripten.h)
# and the sources that configuration uses: its CMake build would test the
# compiler some 300 times, several minutes here, for the same answers.
sdl=$(find . -maxdepth 1 -type d -name 'libsdl2-*' | head -1)
mkdir -p "$prefix/include/SDL2" sdl-objects
(
  cd "$sdl"
  for d in src src/atomic src/audio src/audio/disk src/audio/dummy src/audio/emscripten \
    src/cpuinfo src/dynapi src/events src/file src/filesystem/emscripten src/haptic \
    src/haptic/dummy src/hidapi src/joystick src/joystick/emscripten src/joystick/virtual \
    src/loadso/dlopen src/locale src/locale/emscripten src/misc src/misc/emscripten src/power \
    src/power/emscripten src/render src/render/opengles2 src/render/software src/sensor \
    src/sensor/dummy src/stdlib src/thread src/thread/generic src/timer src/timer/unix src/video \
    src/video/yuv2rgb src/video/emscripten src/libm; do
    ls "$d"/*.c
  done | xargs -P "$(nproc)" -I{} sh -c \
    'emcc -O2 -Iinclude -c "$1" -o "../sdl-objects/$(echo "$1" | tr / _).o" || exit 255' _ {}
  cp include/*.h "$prefix/include/SDL2/"
) >sdl.log 2>&1 || {
  tail -40 sdl.log
  exit 1
}
emar rcs "$prefix/lib/libSDL2.a" sdl-objects/*.o
echo "web libraries: libsdl2 built"
echo "$versions" >"$prefix/versions"
