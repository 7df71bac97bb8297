#!/usr/bin/env bash
# Installs the build and run dependencies that are missing (Debian 12, as root).
set -euo pipefail
packages=(
    g++ cmake ninja-build ccache pkg-config
    qt6-base-dev libexpat1-dev zlib1g-dev libpng-dev libjpeg62-turbo-dev libcurl4-openssl-dev
    libgtest-dev libgmock-dev libbenchmark-dev libssl-dev
    fonts-dejavu fonts-liberation xvfb x11-apps x11-utils xauth openbox xdotool python3
    xclip chromium poppler-utils
    libzip-dev unixodbc unixodbc-dev libsqliteodbc odbc-mdbtools python3-xlsxwriter
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "error: missing packages and not root; run: sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
