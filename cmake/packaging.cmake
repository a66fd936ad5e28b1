# SPDX-License-Identifier: GPL-3.0-or-later
# A Debian package of whatever the install rules put in place:
#   cmake --build build && (cd build && cpack -G DEB)
# The version is project()'s, the Homepage field its HOMEPAGE_URL. The
# shared-library dependencies are read off the program by dpkg-shlibdeps;
# what it loads at run time without linking (the X and Wayland platform
# plugins, the SQLite driver of the history, Qt's Japanese translations of
# its own dialogs, the Japanese fonts) is named here: Debian only recommends
# the SQLite driver, so an installation without recommends would have lost
# the history. The copyright file, changelog and manual page come from the
# install rules in data/.

set(CPACK_PACKAGE_NAME pelatto)
set(CPACK_PACKAGE_VENDOR "The Pelatto authors")
set(CPACK_PACKAGE_CONTACT "The Pelatto authors <pelatto@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trainer for flash mental arithmetic")
set(CPACK_PACKAGE_DESCRIPTION
    "Numbers of 1 to 14 digits flash one at a time in huge type after a\n\
countdown dial, and the learner adds them up in the head. The total is\n\
revealed automatically or on a button. Runs of up to 20 problems collect\n\
their totals in answer columns.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-wayland, libqt6sql6-sqlite, qt6-translations-l10n, \
fonts-monapo | fonts-ipafont-gothic | fonts-noto-cjk")
# Sound goes through the desktop's sound server; without one the trainer is silent.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")

include(CPack)
