# Installation the way Linux desktop programs are installed (program, manual page, desktop entry,
# icon in the hicolor theme, AppStream metadata, Debian copyright and changelog) and a .deb made
# by CPack.

include(GNUInstallDirs)

set(GLIMMERBOX_APP_ID example.moonferry.Glimmerbox)
set(GLIMMERBOX_DEB_RELEASE 1)
set(GLIMMERBOX_DEB_VERSION ${PROJECT_VERSION}-${GLIMMERBOX_DEB_RELEASE})
set(linux_resources ${PROJECT_SOURCE_DIR}/resources/linux)

install(TARGETS glimmerbox RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${linux_resources}/${GLIMMERBOX_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/glimmerbox-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${GLIMMERBOX_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/glimmerbox.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${GLIMMERBOX_APP_ID}.svg)

configure_file(${linux_resources}/${GLIMMERBOX_APP_ID}.metainfo.xml
               ${CMAKE_CURRENT_BINARY_DIR}/${GLIMMERBOX_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${GLIMMERBOX_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian's policy wants the copyright file and a changelog compressed with gzip -9n in the
# package's documentation folder.
configure_file(${linux_resources}/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian @ONLY)
find_program(GZIP_EXECUTABLE gzip REQUIRED)
add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
    COMMAND ${GZIP_EXECUTABLE} -9n -c ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian
            > ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian
    VERBATIM)
add_custom_target(glimmerbox_debian_changelog ALL
                  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${linux_resources}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The manual page, written in troff, compressed the same way.
add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/glimmerbox.1.gz
    COMMAND ${GZIP_EXECUTABLE} -9n -c ${linux_resources}/glimmerbox.1
            > ${CMAKE_CURRENT_BINARY_DIR}/glimmerbox.1.gz
    DEPENDS ${linux_resources}/glimmerbox.1
    VERBATIM)
add_custom_target(glimmerbox_manual ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/glimmerbox.1.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/glimmerbox.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmerbox)
set(CPACK_PACKAGE_VENDOR "Moonferry Software")
set(CPACK_PACKAGE_CONTACT "Moonferry Software <glimmerbox@moonferry.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print exactly what is on the screen")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${GLIMMERBOX_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.moonferry.example/")
set(CPACK_PACKAGE_DESCRIPTION
    "Glimmerbox copies the whole screen into a shot, keeps the last five shots as\n\
thumbnails, and sends the shot you pick, or the part of it you mark with the\n\
mouse, to the printer, to a JPEG or BMP file, or to the clipboard. In Auto-Dump\n\
mode every click on its task-bar button prints the whole screen.")
# The libraries come from dpkg-shlibdeps; Qt's window-system plug-ins are loaded at run time,
# so no linker dependency names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, qt6-wayland, xdg-desktop-portal")
include(CPack)
