# The Windows build (MinGW-w64 against a static Qt, see scripts/build-windows.sh): every program
# one self-contained, shrunk exe; scaricometro.exe a GUI program with its icon and version
# resource; the installer and the portable zip.

# The C and C++ runtimes and winpthreads linked in, so no DLL has to stand beside the exe; every
# function and datum in a section of its own, so the linker drops what nothing reaches; no time
# stamp in the PE header, so the same commit gives the same bytes.
target_compile_options(scaricometro_build_options INTERFACE -ffunction-sections -fdata-sections)
target_link_options(scaricometro_build_options INTERFACE
    -static -Wl,--gc-sections -Wl,--no-insert-timestamp -s)

# The snapshot tool draws offscreen; a static Qt links only its default (windows) platform.
qt_import_plugins(scaricometro-snapshot INCLUDE Qt6::QOffscreenIntegrationPlugin)

set_target_properties(scaricometro PROPERTIES WIN32_EXECUTABLE ON)
set(windows_dir ${PROJECT_SOURCE_DIR}/packaging/windows)
file(GLOB window_icons CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/icons/*.png)
find_program(ICOTOOL_PROGRAM icotool REQUIRED)
add_custom_command(OUTPUT scaricometro.ico
    COMMAND ${ICOTOOL_PROGRAM} --create --output=scaricometro.ico ${window_icons}
    DEPENDS ${window_icons} VERBATIM)
string(REPLACE "." "," SCARICOMETRO_VERSION_COMMAS "${PROJECT_VERSION}.0")
# "2026 Scaricometro developers": the holder, as the copyright file names it first.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/copyright copyright REGEX "^Copyright: " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright: " "" SCARICOMETRO_COPYRIGHT "${copyright}")
string(REGEX REPLACE "^[0-9]+ " "" SCARICOMETRO_PUBLISHER "${SCARICOMETRO_COPYRIGHT}")
configure_file(${windows_dir}/scaricometro.rc.in scaricometro.rc @ONLY)
add_custom_target(scaricometro_icon DEPENDS scaricometro.ico)
add_dependencies(scaricometro scaricometro_icon)
target_sources(scaricometro PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/scaricometro.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/scaricometro.rc TARGET_DIRECTORY scaricometro
    PROPERTIES OBJECT_DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/scaricometro.ico)

# scaricometro-setup.exe (NSIS) and the portable zip: the exe, the licence and the text naming
# the sources and options of the libraries linked into it (SCARICOMETRO_SOURCE_TEXT, which
# scripts/build-windows.sh writes). Both under package/ in the build folder.
set(SCARICOMETRO_SOURCE_TEXT "" CACHE FILEPATH "Text naming the sources and options of the libraries linked in")
if(SCARICOMETRO_SOURCE_TEXT)
    find_program(MAKENSIS_PROGRAM makensis REQUIRED)
    find_program(ZIP_PROGRAM zip REQUIRED)
    set(package_dir ${PROJECT_BINARY_DIR}/package)
    set(setup ${package_dir}/scaricometro-setup.exe)
    set(zip_name scaricometro-${PROJECT_VERSION}-windows-x86_64)
    set(zip ${package_dir}/${zip_name}.zip)
    # Every file of the zip dated at the release, so that the zip too is the same bytes each time.
    string(REPLACE "-" "" zip_date ${SCARICOMETRO_RELEASE_DATE})
    add_custom_command(OUTPUT ${setup}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${package_dir}
        COMMAND ${MAKENSIS_PROGRAM} -V2 -INPUTCHARSET UTF8
            -DVERSION=${PROJECT_VERSION} -DVERSION_QUAD=${PROJECT_VERSION}.0
            "-DPUBLISHER=${SCARICOMETRO_PUBLISHER}"
            -DEXE=$<TARGET_FILE:scaricometro> -DICON=${CMAKE_CURRENT_BINARY_DIR}/scaricometro.ico
            -DLICENSE=${PROJECT_SOURCE_DIR}/LICENSE -DOUTFILE=${setup}
            ${windows_dir}/scaricometro.nsi
        COMMAND chmod +x ${setup}
        DEPENDS scaricometro ${windows_dir}/scaricometro.nsi ${CMAKE_CURRENT_BINARY_DIR}/scaricometro.ico
        VERBATIM)
    add_custom_command(OUTPUT ${zip}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip} ${zip_name}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_name} ${package_dir}
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:scaricometro> ${zip_name}/
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${zip_name}/LICENSE.txt
        COMMAND ${CMAKE_COMMAND} -E copy ${SCARICOMETRO_SOURCE_TEXT} ${zip_name}/SOURCES.txt
        COMMAND touch -t ${zip_date}1200 ${zip_name} ${zip_name}/scaricometro.exe ${zip_name}/LICENSE.txt ${zip_name}/SOURCES.txt
        COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP_PROGRAM} -X -q -9 ${zip}
            ${zip_name}/scaricometro.exe ${zip_name}/LICENSE.txt ${zip_name}/SOURCES.txt
        DEPENDS scaricometro ${SCARICOMETRO_SOURCE_TEXT} ${PROJECT_SOURCE_DIR}/LICENSE
        VERBATIM)
    add_custom_target(windows-packages ALL DEPENDS ${setup} ${zip})
endif()

# The benchmarks' start-up probe, for the start-up figures under Wine (tests/windows/wine_tests.sh
# startup); the other benchmarks need Google Benchmark, which Debian has only for Linux.
add_executable(startup_probe ${PROJECT_SOURCE_DIR}/benchmarks/startup_probe.cpp)
target_link_libraries(startup_probe PRIVATE scaricometro_ui)
