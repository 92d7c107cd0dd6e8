# Linux desktop integration and the Debian package (cpack -G DEB).
#
# A plain `cmake --install` lays out the program folder alone: executable,
# libdmmapi.so, Lib/, catalogs, manual. The package puts that folder at
# /usr/lib/vk508m and adds the component "desktop", which a plain install
# leaves out: the vk508m command, the menu entry, the icons, the AppStream
# metadata, the package's documents, the manual page, bash completion and
# the team database's layout; and the component "udev" with the rule for
# the gauge's serial port.
if(NOT UNIX OR APPLE)
    return()
endif()

set(VK_PACKAGE_MAINTAINER "VK508M developers <vk508m@users.noreply.github.com>"
    CACHE STRING "Maintainer named in the Debian package")
set(VK_PACKAGE_HOMEPAGE "" CACHE STRING "Home page named in the package and its metadata (none when empty)")
set(VK_LINUX_DIR ${PROJECT_SOURCE_DIR}/resources/linux)
set(VK_PACKAGE_STAGE ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${VK_PACKAGE_STAGE})

macro(vk_install_desktop_files destination)
    install(FILES ${ARGN} DESTINATION ${destination} COMPONENT desktop EXCLUDE_FROM_ALL)
endmacro()

# The command on the PATH: a relative link into the program folder. The
# program finds its folder through the link's target.
file(CREATE_LINK ../lib/vk508m/vk508m ${VK_PACKAGE_STAGE}/vk508m SYMBOLIC)
vk_install_desktop_files(bin ${VK_PACKAGE_STAGE}/vk508m)

# The home page appears only when one is set.
set(VK_COPYRIGHT_SOURCE "")
set(VK_METAINFO_HOMEPAGE "")
if(VK_PACKAGE_HOMEPAGE)
    set(VK_COPYRIGHT_SOURCE "Source: ${VK_PACKAGE_HOMEPAGE}\n")
    set(VK_METAINFO_HOMEPAGE "  <url type=\"homepage\">${VK_PACKAGE_HOMEPAGE}</url>\n")
endif()
foreach(document copyright io.github.vk508m.metainfo.xml)
    file(READ ${VK_LINUX_DIR}/${document}.in text)
    string(CONFIGURE "${text}" text @ONLY)
    file(GENERATE OUTPUT ${VK_PACKAGE_STAGE}/${document} CONTENT "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VK_LINUX_DIR}/${document}.in)
endforeach()

vk_install_desktop_files(share/applications ${VK_LINUX_DIR}/vk508m.desktop)
# The team database's layout, for the administrator who makes the tables.
vk_install_desktop_files(share/vk508m ${PROJECT_SOURCE_DIR}/team/sql/team-schema-1.sql)
vk_install_desktop_files(share/metainfo ${VK_PACKAGE_STAGE}/io.github.vk508m.metainfo.xml)
# ModemManager leaves the gauge's serial port alone. Debian 12 keeps udev
# rules below /lib, outside the /usr prefix of the component "desktop".
install(FILES ${VK_LINUX_DIR}/60-vk508m.rules DESTINATION lib/udev/rules.d COMPONENT udev EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons-src/app.svg RENAME vk508m.svg
        DESTINATION share/icons/hicolor/scalable/apps COMPONENT desktop EXCLUDE_FROM_ALL)
foreach(size 48 256)
    install(FILES ${VK_LINUX_DIR}/vk508m-${size}.png RENAME vk508m.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps COMPONENT desktop EXCLUDE_FROM_ALL)
endforeach()

# Debian wants the changelog and the manual page compressed at the highest
# level, without a time stamp.
foreach(page changelog vk508m.1)
    configure_file(${VK_LINUX_DIR}/${page}.in ${VK_PACKAGE_STAGE}/${page} @ONLY)
    execute_process(COMMAND gzip -9nc ${VK_PACKAGE_STAGE}/${page} OUTPUT_FILE ${VK_PACKAGE_STAGE}/${page}.gz)
endforeach()
vk_install_desktop_files(share/doc/vk508m ${VK_PACKAGE_STAGE}/copyright ${VK_PACKAGE_STAGE}/changelog.gz)
vk_install_desktop_files(share/man/man1 ${VK_PACKAGE_STAGE}/vk508m.1.gz)
# Completion of the commands and the kept items' names, loaded by bash on demand.
install(FILES ${VK_LINUX_DIR}/vk508m.bash-completion RENAME vk508m
        DESTINATION share/bash-completion/completions COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${VK_LINUX_DIR}/lintian-overrides RENAME vk508m
        DESTINATION share/lintian/overrides COMPONENT desktop EXCLUDE_FROM_ALL)

set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vk508m)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "program for the VK508M coating-thickness gauge")
set(CPACK_PACKAGE_DESCRIPTION "\
Takes the readings of the VK508M coating-thickness gauge live over USB or
from the gauge's memory, sorts them into named measurement items and shows
their statistics, a histogram and a time chart. Results go out as Excel
workbooks, PDF reports and JPG pictures. English and Chinese interface.
A simulated gauge is included.")
# Each component is installed into its own folder of the package.
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/usr/lib/vk508m"
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};desktop;/usr"
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};udev;/")
if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel)$")
    set(CPACK_STRIP_FILES ON)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VK_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(VK_PACKAGE_HOMEPAGE)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VK_PACKAGE_HOMEPAGE})
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Chinese interface needs a font with Chinese glyphs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")
# Qt's PostgreSQL driver, loaded only when a team database is set.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt5sql5-psql")

include(CPack)
