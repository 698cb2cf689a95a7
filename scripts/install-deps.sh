#!/usr/bin/env bash
# Installs the Debian packages that building and playing Orvelune need; with
# --windows also those that cross-compiling the Windows build needs, with
# --deb those that making the Debian package needs, with --web those that
# the browser build needs, and with --test those that testing needs (the
# Windows and browser builds, Wine, Chromium and the package among them).
# It does nothing when everything is present.
set -euo pipefail

# What building and playing need (./run.sh).
PACKAGES=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev            # window, events, keyboard and game pad
  libgl-dev libegl-dev libgl1-mesa-dri   # OpenGL 3.3 core (llvmpipe works without a GPU)
  libopenal-dev          # sound
  libfreetype-dev libfontconfig-dev fonts-noto-cjk   # Japanese text
  libpng-dev             # textures and screenshots
)
# What the Windows build adds (./scripts/build-windows.sh).
WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix   # MinGW-w64 with std::thread
  fontconfig python3           # finding the font to ship, making the icon
)
if [ "${1:-}" = "--windows" ] || [ "${1:-}" = "--test" ]; then
  PACKAGES+=("${WINDOWS_PACKAGES[@]}")
fi
# What the Debian package adds (./scripts/build-deb.sh).
DEB_PACKAGES=(
  dpkg-dev file   # dpkg-shlibdeps reads the program's dependencies
)
if [ "${1:-}" = "--deb" ] || [ "${1:-}" = "--test" ]; then
  PACKAGES+=("${DEB_PACKAGES[@]}")
fi
# What the browser build adds (./scripts/build-web.sh): Emscripten, Debian's
# sources of the libraries it builds for WebAssembly, the font cutter.
WEB_PACKAGES=(
  emscripten dpkg-dev python3 fonttools fontconfig
)
if [ "${1:-}" = "--web" ] || [ "${1:-}" = "--test" ]; then
  PACKAGES+=("${WEB_PACKAGES[@]}")
fi
# What testing adds (./test.sh, ./scripts/install-deps.sh --test).
if [ "${1:-}" = "--test" ]; then
  PACKAGES+=(
    wine wine64 xvfb xdotool x11-apps   # the Windows build's smoke test: Wine on a virtual display
    x11-utils              # xwininfo and xprop: the window tests read windows' names, sizes and classes
    xfonts-base            # SDL's message box on the virtual display draws with X's core fonts
    libgl1 libxrandr2 libxi6 libxrender1 libxcursor1 libxinerama1 libxcomposite1 libxfixes3
    libxxf86vm1 fonts-wine # what Wine's windows and Direct3D need (recommended, not required)
    clang clang-format     # the sanitizer build, fuzzing and the format check
    libgtest-dev libgmock-dev
    libclang-rt-14-dev     # sanitizer and libFuzzer runtimes for clang
    python3 strace         # the damaged-content sweep (strace finds which scene reads a file)
    desktop-file-utils appstream   # validating what the install writes
    lintian                # checking the Debian package
    chromium               # the browser build's page test (Playwright drives it)
  )
  # node and npm run the browser build's tests; a machine that has them
  # from elsewhere keeps its own.
  command -v npm >/dev/null || PACKAGES+=(nodejs npm)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
else
  SUDO=(sudo)
fi
"${SUDO[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
