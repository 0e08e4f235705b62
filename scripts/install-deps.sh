#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need; does nothing when
# they are all there already. Run as root (or with sudo available).
# The Wine suites need i386 packages (Wine's 32-bit loader and its GL) and
# qemu-user 10 from bookworm-backports, which runs that loader on CPUs that run
# no 32-bit code. The web page builds with emscripten and is tested in
# headless Chromium, driven from Node.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config file
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 libstb-dev
  libgtest-dev libbenchmark-dev libprojectm-dev clang libclang-rt-14-dev
  libegl-dev libgl-dev libegl-mesa0 libgl1-mesa-dri libglu1-mesa-dev
  libfreetype-dev fonts-dejavu-core
  libsndfile1-dev libfftw3-dev libpng-dev ffmpeg libswscale-dev
  libx11-dev libsdl2-dev libasound2-dev xvfb xdotool x11-apps
  libpulse-dev pulseaudio pulseaudio-utils libglib2.0-dev openbox libxrender-dev
  pipewire pipewire-pulse wireplumber dbus-daemon vlc-bin vlc-plugin-base mpv mpv-mpris playerctl
  dpkg-dev man-db bash-completion desktop-file-utils appstream
  emscripten nodejs chromium
  wine64 wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
)
backports=bookworm-backports
backport_packages=(qemu-user)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# One line per installed architecture (a multiarch machine may have two).
installed() {
  dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -qx "install ok installed"
}

missing=()
for package in "${packages[@]}"; do installed "$package" || missing+=("$package"); done
missing_backports=()
for package in "${backport_packages[@]}"; do installed "$package" || missing_backports+=("$package"); done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_backports[@]} -eq 0 ] && exit 0

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
if ! grep -rqs "$backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "deb http://deb.debian.org/debian $backports main" |
    $sudo tee /etc/apt/sources.list.d/$backports.list >/dev/null
fi

echo "Installing: ${missing[*]} ${missing_backports[*]}" >&2
$sudo apt-get update -q
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ ${#missing_backports[@]} -gt 0 ]; then
  $sudo apt-get install -y -q --no-install-recommends -t "$backports" "${missing_backports[@]}"
fi
