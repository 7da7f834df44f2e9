# The Debian package: `cpack -G DEB` in the build folder. Library dependencies are read off the
# program by dpkg-shlibdeps; the plugins and fonts it loads at run time come from the project's
# list of Debian packages.
function(scaricometro_debian_packages purpose result)
    file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/debian-packages.txt line REGEX "^${purpose}:")
    string(REGEX REPLACE "^${purpose}:[ ]*" "" line "${line}")
    string(REPLACE " " ", " packages "${line}")
    set(${result} "${packages}" PARENT_SCOPE)
endfunction()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME scaricometro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for the exhaust expansion chamber of a two-stroke engine")
set(CPACK_PACKAGE_DESCRIPTION "Scaricometro computes the section lengths, diameters and total length
of a two-stroke engine's exhaust expansion chamber from five engine figures,
in an Italian window. Clicking a result shows the part of the chamber it
measures on a drawing of the chamber.")
set(CPACK_PACKAGE_CONTACT "${SCARICOMETRO_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL https://scaricometro.org/)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
scaricometro_debian_packages(run CPACK_DEBIAN_PACKAGE_DEPENDS)
scaricometro_debian_packages(run-recommended CPACK_DEBIAN_PACKAGE_RECOMMENDS)
include(CPack)
