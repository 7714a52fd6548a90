# The Debian package: `cpack -G DEB` in the build folder writes
# pirokko_<version>_<arch>.deb with everything the install lays out, under /usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pirokko)
set(CPACK_PACKAGE_VENDOR "Pirokko maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small picture-and-text game in one window")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)

# Everything but the launcher in bin/, which Debian wants in games/ instead.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified launcher_games)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME pirokko)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER
    "Pirokko maintainers <maintainers@users.noreply.c-seed-fe376c79.example>")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Each scene shows a picture and rolls its text in beside it, line by line and
page by page. When a scene ends, three toggle buttons appear over the picture:
ticking certain pairs of them reveals numbered scene buttons that wander about
their field, and clicking one plays that scene. A looping piece of music plays
throughout.")
# The libraries the program links come from dpkg-shlibdeps. What it loads by
# itself is named here: SDL2 for the music (opened with dlopen, so the game
# still runs silently without it), the Japanese face its text is set in, and
# Qt's Wayland plugin, without which a Wayland session runs it through
# XWayland.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)

include(CPack)
