# The Debian packages (`cpack` in the build folder), from what `cmake --install` puts in place, under
# /usr:
#   tavlo           the program, tavlo-sections, the pictures and default settings, the menu entry and
#                   icons, the manual pages, the udev rules of the receiver and the foot pedal, and
#                   Kelvane's run-time library;
#   libkelvane-dev  what building against Kelvane needs: header, .so link, pkg-config and CMake files.
# Install rules without a component of their own belong to tavlo (CMAKE_INSTALL_DEFAULT_COMPONENT_NAME,
# set before the subfolders are read).

# Every package carries the licence as a machine-readable copyright file, and the changelog.
set(tavlo_packages tavlo libkelvane-dev)
set(tavlo_components tavlo dev)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
execute_process(COMMAND gzip -9n -c ${CMAKE_CURRENT_LIST_DIR}/changelog
  OUTPUT_FILE ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE tavlo_license)
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" tavlo_license "${tavlo_license}")
# Continuation lines of a copyright field start with a blank; an empty line is a lone " .".
string(REGEX REPLACE "\n\n" "\n.\n" tavlo_license "${tavlo_license}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" tavlo_license "${tavlo_license}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
foreach(package component IN ZIP_LISTS tavlo_packages tavlo_components)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${tavlo_components})
set(CPACK_PACKAGE_NAME tavlo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tavlo developers <tavlo@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# The program. The libraries it links are found by dpkg-shlibdeps; the others are what it needs at
# run time without linking them: ALSA's plugin that reaches the sound server; udev (for the
# receiver's access rule), xdg-utils (to show the recordings folder) and a sound server are
# recommended; libopusenc0 and libopusfile0 (found by dpkg-shlibdeps too) encode what is sent to a
# typist and decode what a typist receives, and Syncthing is one way to carry it there. Kelvane's shlibs entry lets dpkg run ldconfig and lets other packages depend on it.
set(CPACK_DEBIAN_TAVLO_PACKAGE_NAME tavlo)
set(CPACK_DEBIAN_TAVLO_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_TAVLO_PACKAGE_DEPENDS "libasound2-plugins, libopusenc0, libopusfile0")
set(CPACK_DEBIAN_TAVLO_PACKAGE_RECOMMENDS "udev, xdg-utils, pulseaudio | pipewire-pulse, qt6-wayland")
set(CPACK_DEBIAN_TAVLO_PACKAGE_SUGGESTS "syncthing")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# dpkg runs ldconfig once after all packages are unpacked through this trigger.
set(CPACK_DEBIAN_TAVLO_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/triggers)
set(CPACK_DEBIAN_TAVLO_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_TAVLO_DESCRIPTION "recorder for the wireless voice-recorder set
Records from the set's USB receiver into WAV files with section marks and
plays them back with pause, fast wind, section and file navigation, driven
from a small shaped window or from the remote unit's keys.
.
Includes tavlo-sections, which lists the sections of a recording, and the
Kelvane HID library that the program uses to talk to the receiver.")

# Kelvane for developers: the link and the header need the very library of the same build.
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libkelvane-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "tavlo (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEV_DESCRIPTION "HID access library for the voice-recorder set's receiver (development files)
Kelvane finds a HID device by vendor and product number and identity strings,
polls its input reports without waiting and writes output reports, through
the class CKelvane or plain C functions.
.
This package holds the header, the link to the shared library, and the
pkg-config and CMake files for building against Kelvane.")
include(CPack)
