#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
# As root it runs apt-get; otherwise it prints the command to run and fails.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config googletest libgtest-dev libgmock-dev clang-format)
# The desktop program: Qt 6 Widgets and Multimedia, the virtual X server its screenshots
# and display-less runs use, and the fonts the sample project names (with free
# look-alikes for the faces of other systems).
packages+=(qt6-base-dev qt6-multimedia-dev libgl-dev xvfb xauth fonts-dejavu-core fonts-noto-core
           fonts-sil-charis fonts-liberation2 adwaita-icon-theme)
# The desktop tests read the text of printed PDF files.
packages+=(poppler-utils)
if [ "${CORVANE_WITH_FUZZ:-0}" = 1 ]; then
    packages+=(clang libclang-rt-dev)
fi
if [ "${CORVANE_WITH_BENCH:-0}" = 1 ]; then
    packages+=(libicu-dev hyperfine time)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || true
    apt-get install -y -qq "${missing[@]}"
else
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
