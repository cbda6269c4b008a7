# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh does it) makes
# tarvis_VERSION_ARCH.deb from what `cmake --install` puts in place, under /usr. Its library
# dependencies are worked out by dpkg-shlibdeps from the programs themselves.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tarvis developers")
set(TARVIS_PACKAGE_MAINTAINER "Tarvis developers <tarvis@localhost>" CACHE STRING
    "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${TARVIS_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "operator's console for the QD470 HF radio data modem")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvis drives a QD470 multi-mode HF radio data modem over its serial port: MIRVOL ARQ\n"
    "links and broadcasts, AMTOR, P-Mode, Baudot and ASCII RTTY, PSK31 through the sound\n"
    "card, and compressed file transfers between two Tarvis stations. The package also holds\n"
    "qd470sim, a simulator of the modem on pseudo-terminals for learning and testing without\n"
    "a radio, tarvis-implode, which compresses and expands files in the transfer format, and\n"
    "tarvis-psk31, which runs the PSK31 modem on sound recordings.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its window-system plugins at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "socat")
include(CPack)
