#!/usr/bin/env bash
# Installs the Debian packages that building and testing Quorvane need, when
# they are missing. Never installs wine32: this machine runs no 32-bit code,
# and with wine32 present the wine launcher fails for 64-bit programs too.
set -eu
packages=(cmake ninja-build g++ libgtest-dev
          g++-mingw-w64-x86-64 g++-mingw-w64-i686
          wine wine64 xvfb xauth x11-utils imagemagick xdotool fp-utils zip)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
    echo "warning: wine32 is installed; 64-bit Wine programs may fail to start" >&2
fi
