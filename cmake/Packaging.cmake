# SPDX-FileCopyrightText: 2026 The Zelvorin developers
# SPDX-License-Identifier: GPL-3.0-or-later

# `cpack -G DEB` in the build folder makes a Debian package of what `cmake --install`
# installs, below /usr. Its dependencies are the shared libraries' packages found by
# dpkg-shlibdeps, plus what the program loads at run time without linking it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelvorin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Morvenkast)
set(CPACK_PACKAGE_CONTACT "Zelvorin developers <support@zelvorin.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "choose background images and colours for web pages")
# Debian wants the lines of the long description within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "Zelvorin shows a web page beside a file-browsing column. Each image selected
in a folder becomes the tiled background of the page shown and of every frame
of it, so candidate backgrounds are seen behind the page's real content.

It also sets and copies the page colour and HTML source, builds image gallery
pages of a folder, keeps last and favorite folders, follows changes on disk,
takes and gives files by drag and drop, and has a gradient text tool.
zelvorin-reg queries and changes its settings from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://zelvorin.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Two image plugins are loaded, not linked: the SVG one that draws the icon (libqt6svg6 in
# Debian 12, qt6-svg-plugins in Debian 13) and the WebP one that reads and writes WebP
# images (qt6-image-formats-plugins). Each package is the one that holds the plugin on the
# building machine. (The engine's helper process, libqt6webenginecore6-bin, comes with the
# engine library's own dependency information.)
set(pluginPackages)
foreach(plugin qsvg qwebp)
    set(pluginFile ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/imageformats/lib${plugin}.so)
    execute_process(COMMAND dpkg-query -S ${pluginFile} OUTPUT_VARIABLE pluginOwner
                    ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(pluginOwner MATCHES "^([^:, ]+)")
        list(APPEND pluginPackages ${CMAKE_MATCH_1})
    else()
        message(WARNING "No package holds ${pluginFile}: the Debian package will not depend "
                "on it")
    endif()
endforeach()
list(JOIN pluginPackages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)
