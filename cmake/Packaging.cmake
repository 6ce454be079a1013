# The Debian package, made by cpack (scripts/package runs it): ssdtool in /usr/bin, the plug-in
# and the built-in profiles in /usr/lib/ssdtool (the install rules), and the files Debian asks
# for in /usr/share/doc/ssdtool, which DebianStaging.cmake adds as the "debian" component: only
# the package's staging tree gets them, never a plain `cmake --install`.
set(SSDTOOL_DEBIAN_DIR ${CMAKE_SOURCE_DIR}/packaging/debian)
set(SSDTOOL_PACKAGE_MAINTAINER "ssdtool developers <ssdtool@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")

# The changelog's newest entry names the version the package carries; a version raised without
# a new entry would ship a changelog that contradicts its package.
file(STRINGS ${SSDTOOL_DEBIAN_DIR}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^ssdtool \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog: its newest entry is not for version "
                      "${PROJECT_VERSION}; add one for it at the top")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ssdtool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SSDTOOL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "collects an SSD's diagnostic data into one package")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${SSDTOOL_DEBIAN_DIR}/description)
# The package's dependencies are those of its binaries: Boost.Log and the rest of the
# plug-in's shared libraries, found in the system's folders by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Everything the project installs, then the "debian" component over it: it compresses the
# manual pages that the first step installed.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};ssdtool;ALL;/" "${CMAKE_BINARY_DIR};ssdtool;debian;/")
install(CODE "set(SSDTOOL_DEBIAN_DIR \"${SSDTOOL_DEBIAN_DIR}\")" COMPONENT debian EXCLUDE_FROM_ALL)
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/DebianStaging.cmake COMPONENT debian EXCLUDE_FROM_ALL)
include(CPack)
