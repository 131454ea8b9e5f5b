# Installs the program as a desktop application (desktop entry, themed icon, AppStream metadata)
# and packs the installed tree as a Debian package with `cpack -G DEB`.

include(GNUInstallDirs)

# One reverse-DNS id names the desktop entry, the icon and the AppStream component; the program
# sets it as its desktop file name too, so that desktops match its windows to the entry.
set(APP_ID io.github.hygiene_inspection.Scorer)

install(TARGETS hygiene-inspection)
install(FILES packaging/${APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES assets/icon.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME ${APP_ID}.png)
foreach(size 128 256)
    install(FILES assets/icons/hicolor-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${APP_ID}.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_CONTACT "Hygiene Inspection Scorer developers <hygiene-inspection@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "school hygiene inspection scorer (体育卫生检查系统)")
set(CPACK_PACKAGE_DESCRIPTION
    "A small desktop program with which a school's hygiene inspectors score one class at a
time: a checklist of twelve hygiene items, deductions for misconduct and discretionary
points give the class's score. Its whole interface is Chinese.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
# dpkg-shlibdeps works out the libraries (Qt, libjpeg). Without a CJK font the Chinese interface
# shows empty boxes; AR PL UMing is the Song face that stands in for 宋体, and without it that
# text falls back to the GUI font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-noto-cjk)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-arphic-uming)
include(CPack)
