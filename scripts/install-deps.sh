#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the fuzz targets and the screens need.
# Idempotent: does nothing when every package is already installed.
set -euo pipefail

packages=(
    g++ make cmake pkg-config git clang-format clang-tidy
    # nenrei-csv reads CSV with libcsv.
    libcsv-dev
    qt6-base-dev qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    clang-14 libclang-rt-14-dev
    fonts-ipafont-gothic
    # The real-window test and the screenshots: a virtual display with a window manager,
    # window tools, pictures, and text recognition to tell drawn Japanese from empty boxes.
    xvfb openbox wmctrl xdotool x11-utils imagemagick tesseract-ocr tesseract-ocr-jpn
    # The install test checks the menu entry with desktop-file-validate, and a test checks
    # the AppStream metainfo with appstreamcli.
    desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi

echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
