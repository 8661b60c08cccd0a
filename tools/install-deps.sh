#!/bin/sh
# Installs the Debian packages the game, its tools and its tests need, when
# any is missing. Needs root (or sudo) only when something must be installed.
set -e
PACKAGES="cmake make gcc g++ pkg-config liballegro4-dev libsdl2-mixer-dev libgtest-dev libbenchmark-dev
  xvfb xdotool x11-utils x11-apps imagemagick lame sox libsox-fmt-mp3 libx11-dev python3
  clang libclang-rt-14-dev dpkg-dev lintian"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
