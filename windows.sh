#!/usr/bin/env bash
# Builds trelliwick for 64-bit Windows on this Debian machine, tests it under wine
# and makes its installer and its portable zip, all in build/windows.
#
# Qt, ICU, Highway and GoogleTest are built for Windows from Debian's own source
# packages with mingw-w64, once, into build/windows/deps/PACKAGE-VERSION; a later
# run reuses them, and builds a library again only when Debian's version of it
# changes. The sources come from the mirror that this machine's apt already uses,
# through an apt configuration of this script's own: the system's is not touched.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${program_packages[@]}" "${windows_packages[@]}"

top=$PWD
windows=$top/build/windows
toolchain=$top/scripts/windows/mingw-w64.cmake
jobs=$(nproc)
mkdir -p "$windows"

# --- Debian's sources, through apt's own lists kept here --------------------------
apt_dir=$windows/apt
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
             -o "APT::Sandbox::User=$(id -un)" -o "Debug::NoLocking=true")

# The system's own entries, each made an entry for source packages.
write_source_entries() {
    mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    : > "$apt_dir/sources.list"
    rm -f "$apt_dir/parts"/*
    [ -f /etc/apt/sources.list ] &&
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >> "$apt_dir/sources.list"
    local file
    for file in /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$file" \
            >> "$apt_dir/parts/$(basename "$file")"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && sed 's/^Types:.*/Types: deb-src/' "$file" > "$apt_dir/parts/$(basename "$file")"
    done
    apt-get "${apt_options[@]}" -q update
}
write_source_entries

# source_version PACKAGE: the version of the source package that apt would fetch.
source_version() {
    apt-get "${apt_options[@]}" source --print-uris "$1" 2>/dev/null |
        sed -n "s/^'[^']*' $1_\(.*\)\.dsc .*/\1/p" | head -n 1
}

# unpack PACKAGE VERSION: Debian's source, its patches applied, in sources/.
unpack() {
    local sources=$windows/sources
    rm -rf "$sources" && mkdir -p "$sources"
    (cd "$sources" && apt-get "${apt_options[@]}" -q source --download-only "$1=$2" &&
        dpkg-source --no-check -x "$1_${2#*:}.dsc" tree) >&2
    echo "$sources/tree"
}

# --- The libraries, each into a prefix of its own ---------------------------------
declare -A prefix  # by source package

# build PACKAGE FUNCTION: runs FUNCTION SOURCE_DIR WORK_DIR PREFIX unless the prefix
# for this version is already built.
build() {
    local package=$1 make=$2 version
    version=$(source_version "$package")
    [ -n "$version" ] || { echo "apt knows no source package $package" >&2; exit 1; }
    local target=$windows/deps/$package-${version#*:}
    prefix[$package]=$target
    [ -f "$target/.built" ] && return 0
    echo "== Building $package $version for Windows"
    rm -rf "$windows/deps/$package"-* "$windows/work"
    local source
    source=$(unpack "$package" "$version")
    mkdir -p "$windows/work"
    "$make" "$source" "$windows/work" "$target"
    # Its licences, as Debian's copyright file gives them, and where it came from.
    install -D -m 644 "$source/debian/copyright" "$target/share/doc/$package/copyright"
    echo "$package $version" > "$target/share/doc/$package/source-package"
    touch "$target/.built"
    rm -rf "$windows/work" "$windows/sources"
}

# Core, Gui, Widgets and Test, with the windows and offscreen platforms and the
# styles; without ICU (Windows itself collates and converts), and without what the
# program does not use: no OpenGL, so no Direct2D, and text drawn by GDI. Debian's
# tarball leaves out the tablet library.
make_qt() {
    cmake -G Ninja -S "$1" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$3" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_testlib=ON \
        -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF \
        -DFEATURE_dbus=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_icu=OFF \
        -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF \
        -DFEATURE_direct2d=OFF -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF \
        -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_doubleconversion=OFF
    cmake --build "$2" --parallel "$jobs"
    cmake --install "$2" --strip
}

# The common library only, built once for this machine for the tools that make the
# data, and then for Windows. Of the data, nothing is kept: the program upper-cases
# with the properties built into the common library, and reads no data file.
make_icu() {
    local host=$2/host cross=$2/cross
    mkdir -p "$host" "$cross"
    (cd "$host" && "$1/source/runConfigureICU" Linux --disable-tests --disable-samples \
        --disable-extras --disable-layoutex > configure.log && make -j"$jobs" > make.log)
    # An empty data package in place of the whole one.
    local data=("$1"/source/data/in/icudt*l.dat)
    rm "${data[0]}"
    "$host/bin/icupkg" -tl new "${data[0]}"
    (cd "$cross" && CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix \
        "$1/source/configure" --host=x86_64-w64-mingw32 --with-cross-build="$host" \
        --prefix="$3" --enable-shared --disable-static --disable-tests --disable-samples \
        --disable-extras --disable-layoutex --disable-tools --disable-icuio \
        --with-data-packaging=library > configure.log && make -j"$jobs" > make.log &&
        make install > install.log)
    x86_64-w64-mingw32-strip "$3"/bin/*.dll
}

make_highway() {
    cmake -G Ninja -S "$1" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$3" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF \
        -DHWY_ENABLE_TESTS=OFF -DHWY_ENABLE_EXAMPLES=OFF -DHWY_ENABLE_CONTRIB=OFF
    cmake --build "$2" --parallel "$jobs"
    cmake --install "$2"
}

make_googletest() {
    cmake -G Ninja -S "$1" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$3" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=OFF
    cmake --build "$2" --parallel "$jobs"
    cmake --install "$2"
}

build highway make_highway
build googletest make_googletest
build icu make_icu
build qt6-base make_qt

# --- trelliwick for Windows ---------------------------------------------------------
qt=${prefix[qt6-base]}
runtime_folders=$(for library in libstdc++-6.dll libwinpthread-1.dll; do
    dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=$library)"; done | paste -sd:)
# The build's tests and tools run under wine, in a wine prefix of the build's own,
# finding the libraries they were built against where they were built.
runner="$top/scripts/windows/wine-run;$windows/wine;$qt/bin:${prefix[icu]}/bin:$runtime_folders"
build_dir=$windows/trelliwick
echo "== Building trelliwick for Windows"
cmake -G Ninja -S "$top" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
    -DCMAKE_FIND_ROOT_PATH="$qt;${prefix[icu]};${prefix[highway]};${prefix[googletest]}" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$runner"
# The wine prefix made before the build lists the tests in it.
"$top/scripts/windows/wine-run" "$windows/wine" "" cmd /c exit
cmake --build "$build_dir" --parallel "$jobs"

echo "== Testing trelliwick for Windows under wine"
ctest --test-dir "$build_dir" --output-on-failure --parallel "$jobs"

echo "== Making the packages"
packages=$windows/packages
rm -rf "$packages"
cpack --config "$build_dir/CPackConfig.cmake" -B "$packages"
ls -l "$packages"/trelliwick-*-win64.*

echo "== Testing the packages on a desktop under wine"
mapfile -t desktop_tests < <(/usr/bin/python3 app/windows_desktop_test.py --list)
failed=()
for test in "${desktop_tests[@]}"; do
    /usr/bin/python3 app/windows_desktop_test.py --time-limit 600 "$packages" "$test" ||
        failed+=("$test")
done
if [ ${#failed[@]} -gt 0 ]; then
    printf 'Failed on the desktop: %s\n' "${failed[@]}" >&2
    exit 1
fi
echo "All ${#desktop_tests[@]} desktop tests passed; screenshots in $packages/screenshots"
