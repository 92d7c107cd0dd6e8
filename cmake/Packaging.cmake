# Linux desktop integration and the Debian package (cpack -G DEB).
#
# A plain `cmake --install` lays out the program folder alone: executable,
# libdmmapi.so, Lib/, catalogs, manual. The package puts that folder at
# /usr/lib/vk508m and adds the component "desktop", which a plain install
# leaves out: the vk508m command, the menu entry, the icons, the AppStream
# metadata and the package's documents.
if(NOT UNIX OR APPLE)
    return()
endif()

set(VK_PACKAGE_MAINTAINER "VK508M developers <vk508m@users.noreply.github.com>"
    CACHE STRING "Maintainer named in the Debian package")
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

vk_install_desktop_files(share/applications ${VK_LINUX_DIR}/vk508m.desktop)
vk_install_desktop_files(share/metainfo ${VK_LINUX_DIR}/io.github.vk508m.metainfo.xml)
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
vk_install_desktop_files(share/doc/vk508m ${VK_LINUX_DIR}/copyright ${VK_PACKAGE_STAGE}/changelog.gz)
vk_install_desktop_files(share/man/man1 ${VK_PACKAGE_STAGE}/vk508m.1.gz)
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
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};desktop;/usr")
if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel)$")
    set(CPACK_STRIP_FILES ON)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VK_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/vk508m/vk508m)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Chinese interface needs a font with Chinese glyphs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")

include(CPack)
