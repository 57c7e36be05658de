# Sourced by run.sh and test.sh: installs the Debian packages that are missing.

# ensure_packages NAME...
ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
        "${missing[@]}"
}

# What building the program needs.
program_packages=(cmake ninja-build g++ qt6-base-dev libicu-dev libhwy-dev librsvg2-bin wbritish
                  fonts-dejavu-core)
# What testing it needs besides: GoogleTest, clang for fuzzing and
# for the format and lint checks, for the package test dpkg-dev and the
# checkers of desktop entries, AppStream metadata and Debian packages, and for the
# tests on a real desktop an X server, a window manager, the accessibility bus and
# its Python library, a session bus, xdotool, and X's, XFixes' and ImageMagick's
# tools.
test_packages=(libgtest-dev clang libclang-rt-14-dev clang-format clang-tidy
               dpkg-dev desktop-file-utils appstream lintian
               xvfb openbox at-spi2-core python3-pyatspi dbus-daemon xdotool x11-utils
               libxfixes3 imagemagick)
# What building for Windows needs besides: mingw-w64 with posix threads, wine to
# run what it builds (with wine's own fonts), NSIS for the installer, dpkg-dev
# to unpack Debian's sources, icoutils for the icon, and for the tests on a desktop
# an X server, a window manager, xdotool and X's and ImageMagick's tools.
windows_packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 fonts-wine nsis dpkg-dev
                  icoutils python3 xvfb openbox xdotool x11-utils xclip imagemagick)
