#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need; does nothing when
# they are all there already. Run as root (or with sudo available).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config file
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  libgtest-dev libbenchmark-dev libprojectm-dev clang libclang-rt-14-dev
  libegl-dev libgl-dev libegl-mesa0 libgl1-mesa-dri libglu1-mesa-dev
  libfreetype-dev fonts-dejavu-core
  libsndfile1-dev libfftw3-dev libpng-dev ffmpeg
  libx11-dev libsdl2-dev libasound2-dev xvfb xdotool x11-apps
  libpulse-dev pulseaudio pulseaudio-utils
  dpkg-dev man-db bash-completion
)

missing=()
for package in "${packages[@]}"; do
  # One line per installed architecture (a multiarch machine may have two).
  dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -qx "install ok installed" \
    || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}" >&2
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
