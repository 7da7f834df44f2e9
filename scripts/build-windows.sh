#!/usr/bin/env bash
# For whoever makes a release: builds Scaricometro for Windows x86-64 from Debian's packages alone.
# A static Qt and a static dxflib are built once from Debian's own source with the MinGW-w64 cross
# compiler and kept in cache folders named after their versions and options; then the program, the
# snapshot tool and the tests are built against it in build-windows/, and the installer and the
# portable zip are made. Prints the paths of what it made.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

install_missing_packages build windows
windows_dir="$project_dir/build-windows"
toolchain="$project_dir/cmake/mingw-w64-x86_64.cmake"
if [ "$(id -u)" -eq 0 ]; then cache_root=/var/cache/scaricometro; else cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/scaricometro; fi

# The static Qt: only Core, Gui, Widgets and Test, the windows and offscreen platforms, and the
# libraries Qt bundles instead of the system's. Wintab's headers are not in Debian's source, so
# no tablet events.
qt_options=(
    -release -static -static-runtime -optimize-size -nomake examples -nomake tests
    -qt-zlib -qt-libpng -qt-freetype -qt-harfbuzz -qt-pcre -no-icu -no-zstd -no-dbus
    -no-opengl -no-feature-vulkan -no-feature-jpeg -no-feature-gif -no-feature-ico
    -no-feature-concurrent -no-feature-network -no-feature-printsupport -no-feature-sql
    -no-feature-xml -no-feature-tabletevent
    -no-feature-textmarkdownreader -no-feature-textmarkdownwriter -no-feature-textodfwriter
)
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_key=$( { printf '%s\n' "${qt_options[@]}"; cat "$toolchain"; x86_64-w64-mingw32-g++-posix --version | head -1; } | sha256sum | cut -c1-12)
qt_dir="$cache_root/qt-$qt_version-$qt_key"
qt_prefix="$qt_dir/install"
host_cmake_dir=$(dirname "$(dirname "$(dpkg -L qt6-base-dev | grep -m1 '/cmake/Qt6/Qt6Config.cmake$')")")

# fetch_debian_source PACKAGE VERSION FOLDER: Debian's source of PACKAGE at VERSION, unpacked with
# Debian's patches into FOLDER/source, through a private apt sources list and state folder that
# take the source from the archives this machine's apt already uses, so that the system's apt
# sources stay as they are.
fetch_debian_source() {
    local package=$1 version=$2 folder=$3 apt_dir="$cache_root/apt" codename suite archive
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$folder/download"
    archive=$(required_debian_archive "$codename")
    echo "deb-src $archive $codename main" >"$apt_dir/sources.list"
    for suite in "$codename-updates" "$codename-security"; do
        if archive=$(debian_archive "$suite"); then echo "deb-src $archive $suite main"; fi
    done >>"$apt_dir/sources.list"
    local apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
                       -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir")
    apt-get "${apt_options[@]}" update
    (cd "$folder/download" && apt-get "${apt_options[@]}" source --download-only "$package=$version")
    rm -rf "$folder/source"
    dpkg-source --no-check -x "$folder/download/${package}_${version#*:}.dsc" "$folder/source"
    rm -f "$folder"/*.orig.tar.*  # the link to the tarball that dpkg-source leaves beside the source
}

# build_qt: configures, builds and installs the static Qt, unless the cache has it already.
build_qt() {
    [ -f "$qt_prefix/lib/cmake/Qt6/Qt6Config.cmake" ] && return 0
    echo "Building a static Qt $qt_version for Windows in $qt_dir (about 40 processor-minutes)"
    [ -f "$qt_dir/source/configure" ] || fetch_debian_source qt6-base "$qt_version" "$qt_dir"
    # A configure run in a used folder would keep its cached feature values.
    rm -rf "$qt_dir/build"
    mkdir -p "$qt_dir/build"
    (cd "$qt_dir/build" &&
        "$qt_dir/source/configure" -prefix "$qt_prefix" -xplatform win32-g++ -qt-host-path /usr \
            "${qt_options[@]}" -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" &&
        cmake --build . --parallel "${SCARICOMETRO_JOBS:-$(nproc)}" &&
        cmake --install .)
    rm -rf "$qt_dir/build"
}

# dxflib, which writes the cutting files: Debian's source of the version the Linux build links,
# compiled into a static library as Debian's build compiles it (its two sources), with the
# program's own size options.
dxflib_version=$(dpkg-query -W -f='${source:Version}' libdxflib-dev)
dxflib_flags=(-std=gnu++17 -Os -ffunction-sections -fdata-sections -DNDEBUG)
dxflib_key=$( { printf '%s\n' "${dxflib_flags[@]}"; x86_64-w64-mingw32-g++-posix --version | head -1; } | sha256sum | cut -c1-12)
dxflib_dir="$cache_root/dxflib-$dxflib_version-$dxflib_key"
dxflib_prefix="$dxflib_dir/install"

# build_dxflib: builds and installs the static dxflib, unless the cache has it already.
build_dxflib() {
    [ -f "$dxflib_prefix/lib/libdxflib.a" ] && return 0
    [ -f "$dxflib_dir/source/src/dl_dxf.cpp" ] || fetch_debian_source dxflib "$dxflib_version" "$dxflib_dir"
    rm -rf "$dxflib_dir/build" "$dxflib_prefix"
    mkdir -p "$dxflib_dir/build" "$dxflib_prefix/lib" "$dxflib_prefix/include/dxflib"
    local source
    for source in "$dxflib_dir"/source/src/*.cpp; do
        x86_64-w64-mingw32-g++-posix "${dxflib_flags[@]}" -c "$source" -o "$dxflib_dir/build/$(basename "$source" .cpp).o"
    done
    x86_64-w64-mingw32-ar rcsD "$dxflib_prefix/lib/libdxflib.a" "$dxflib_dir"/build/*.o
    cp "$dxflib_dir"/source/src/*.h "$dxflib_prefix/include/dxflib/"
    rm -rf "$dxflib_dir/build"
}

# sha256_of_source DSC: the files of a Debian source package and their SHA-256 sums, indented.
sha256_of_source() {
    sed -n '/^Checksums-Sha256:/,/^[^ ]/{/^ /p}' "$1"
}

# The text that goes into the zip: the exact sources of the libraries linked into the exe and how
# they were built, for the GPL's source offer, which covers them.
source_text() {
    cat <<TEXT
Scaricometro for Windows is one program linked statically with Qt $qt_version (its modules Core,
Gui and Widgets, the windows platform and the third-party code Qt bundles), built by
scripts/build-windows.sh from Debian's source package qt6-base, version $qt_version:

    apt-get source qt6-base=$qt_version

which unpacks it with Debian's patches applied. Its files and their SHA-256 sums:
$(sha256_of_source "$qt_dir/download/qt6-base_${qt_version#*:}.dsc")

Configured for x86_64-w64-mingw32 with Debian's MinGW-w64 compiler, g++-mingw-w64-x86-64-posix
$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix):

    configure -xplatform win32-g++ -qt-host-path /usr ${qt_options[*]}
        -- -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

The third-party libraries that Qt bundles into the exe:
$(for library in zlib libpng freetype harfbuzz-ng pcre2; do
    printf '    %-12s %s\n' "$library" "$(sed -n 's/.*"Version": "\(.*\)".*/\1/p' "$qt_dir/source/src/3rdparty/$library/qt_attribution.json" | head -1)"
done)

It also links dxflib $dxflib_version, which writes the cutting files, from Debian's source
package dxflib:

    apt-get source dxflib=$dxflib_version

Its files and their SHA-256 sums:
$(sha256_of_source "$dxflib_dir/download/dxflib_${dxflib_version#*:}.dsc")

Its two sources, src/dl_dxf.cpp and src/dl_writer_ascii.cpp, compiled with the same compiler:

    x86_64-w64-mingw32-g++-posix ${dxflib_flags[*]}

Qt is free software under the GNU Lesser General Public License version 3 and the GNU General
Public License versions 2 and 3, dxflib under the GNU General Public License version 2 or
later, and Scaricometro under the GNU General Public License version 3 or later (LICENSE.txt). The source of all three, Scaricometro's and the libraries' as above, is
offered with this program under the same terms.
TEXT
}

build_qt
build_dxflib
mkdir -p "$windows_dir"
source_text >"$windows_dir/SOURCES.txt"
# Qt's own toolchain file finds the static Qt and loads the project's, named again since the Qt in
# the cache may have been built from another checkout. A static Qt links its plugins (the windows
# platform among them) only into a program whose build reads their CMake files, which Debian 13's
# Qt skips unless told otherwise: without them the exe starts with no platform plugin at all.
configure "$windows_dir" -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
    -DQT_SKIP_AUTO_PLUGIN_INCLUSION=OFF \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" \
    -DBUILD_TESTING=ON -DSCARICOMETRO_BENCHMARKS=OFF \
    -DDXFLIB_INCLUDE_DIR="$dxflib_prefix/include" -DDXFLIB_LIBRARY="$dxflib_prefix/lib/libdxflib.a" \
    -DSCARICOMETRO_SOURCE_TEXT="$windows_dir/SOURCES.txt" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$project_dir/tests/windows/wine_run.sh"
# Qt's resource compiler stamps each file it embeds with the file's time, unless given this.
SOURCE_DATE_EPOCH=$(date -d "$(sed -n 's/^ -- .*  //p' "$project_dir/packaging/changelog.in" | head -1)" +%s)
export SOURCE_DATE_EPOCH
cmake --build "$windows_dir"

echo
echo "Built for Windows with the static Qt in $qt_prefix and dxflib in $dxflib_prefix:"
ls -l "$windows_dir"/bin/scaricometro.exe "$windows_dir"/package/* "$windows_dir"/bin/scaricometro-snapshot.exe
echo "Tests (run them under Wine with scripts/test-windows.sh):"
ls "$windows_dir"/bin/tst_*.exe
