#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Orvelune need.
# Both README commands and CI call this; it does nothing when everything is present.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ clang clang-format pkg-config
  libsdl2-dev            # window, events, keyboard and game pad
  libgl-dev libegl-dev libgl1-mesa-dri   # OpenGL 3.3 core (llvmpipe works without a GPU)
  libopenal-dev          # sound
  libassimp-dev          # .x model import
  libfreetype-dev libfontconfig-dev fonts-noto-cjk   # Japanese text
  libpng-dev             # textures and screenshots
  libgtest-dev libgmock-dev libbenchmark-dev         # tests and benchmarks
  libclang-rt-14-dev     # sanitizer and libFuzzer runtimes for clang
  sox                    # checking generated sounds
  python3 strace         # the damaged-content sweep (strace finds which scene reads a file)
)

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
