#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the fuzz targets and the screens need;
# with the argument "windows", those of the Windows build and its run under Wine instead.
# Idempotent: does nothing when every package is already installed.
set -euo pipefail

windows_packages=(
    # Debian's mingw-w64 compilers (POSIX threads), GoogleTest's sources to build for the
    # target, Wine to run the tests, and CMake and glibc iconv for the native half.
    g++-mingw-w64-x86-64-posix googletest wine wine64 cmake make g++
    # Qt and libcsv for Windows, built from Debian's source packages (scripts/windows-qt.sh):
    # the host's Qt tools and CMake files that Qt's cross build runs, Ninja, dpkg-source, and
    # Qt's Japanese texts.
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n ninja-build dpkg-dev
    # The versions of libcsv and the translations that the Windows build takes, the ZIP, and
    # git for the source archive in it.
    libcsv-dev zip git
    # The installer (makensis and its 64-bit stubs).
    nsis
    # The ZIP's program in a real window under Wine: a virtual display, a window manager,
    # window tools, pictures, text recognition, a Japanese font (found through fontconfig)
    # and Wine's own fonts for the boxes' buttons.
    xvfb openbox wmctrl xdotool x11-utils imagemagick tesseract-ocr tesseract-ocr-jpn
    fonts-ipafont-gothic fonts-wine
    # The text of the PDF that the ZIP's nenrei-meibo.exe writes.
    poppler-utils
)

packages=(
    g++ make cmake pkg-config git clang-format clang-tidy
    # nenrei-csv reads CSV with libcsv.
    libcsv-dev
    qt6-base-dev qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    # make bench: GNU time for the peak memory of a process.
    time
    clang-14 libclang-rt-14-dev
    fonts-ipafont-gothic
    # The real-window test and the screenshots: a virtual display with a window manager,
    # window tools, pictures, and text recognition to tell drawn Japanese from empty boxes.
    xvfb openbox wmctrl xdotool x11-utils imagemagick tesseract-ocr tesseract-ocr-jpn
    # The install test checks the menu entry with desktop-file-validate, and a test checks
    # the AppStream metainfo with appstreamcli.
    desktop-file-utils appstream
    # The shared-folder test mounts one folder twice with sshfs, served by a local
    # sftp-server without a daemon.
    sshfs openssh-sftp-server
    # make deb: CPack's dependencies through dpkg-shlibdeps (which finds the programs with
    # file), Debian's build flags, and lintian.
    dpkg-dev file lintian
    # The tests of 名簿表 read its PDF's text back.
    poppler-utils
)

if [ "${1:-}" = windows ]; then
    packages=("${windows_packages[@]}")
fi

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
