#!/bin/sh
# Installs every Debian package that building, running and testing the game need.
# Idempotent: packages already present are left alone, and apt is not touched at all
# when nothing is missing.
set -eu

PACKAGES="
build-essential cmake pkg-config git clang-format
libglfw3-dev libglew-dev libbullet-dev libassimp-dev libdevil-dev libglm-dev
libsdl2-dev libsdl2-mixer-dev libgl-dev
libgtest-dev libgmock-dev googletest
libjpeg-dev libmp3lame-dev libfreetype-dev fonts-dejavu-core libpng-dev
xvfb xauth xdotool imagemagick x11-utils python3
libgl1-mesa-dri mesa-utils
desktop-file-utils appstream dpkg-dev groff-base file
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

SUDO=""
if [ "$(id -u)" != 0 ]; then
    SUDO="sudo"
fi

echo "installing:$missing"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q
# shellcheck disable=SC2086
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
