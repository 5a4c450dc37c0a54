# The Debian package (scripts/package): the program with its pictures in /usr/lib/zenobra,
# where it also looks for the billing program; /usr/bin/zenobra; the menu entry and icon;
# the database files under /usr/share/zenobra; the README, the man page and the kiosk
# example as its documentation. Paths are relative to /usr.
set(zk_pack ${CMAKE_BINARY_DIR}/packaging)
set(zk_pack_src ${PROJECT_SOURCE_DIR}/packaging)
set(ZK_VERSION ${PROJECT_VERSION})

install(TARGETS zenobra RUNTIME DESTINATION lib/zenobra)
install(PROGRAMS ${zk_pack_src}/kiosk-session DESTINATION lib/zenobra)
install(FILES img/3.bmp img/4.bmp DESTINATION share/zenobra/img)
# The pictures are data, kept under share; the program finds them beside itself.
file(MAKE_DIRECTORY ${zk_pack}/links)
file(CREATE_LINK ../../share/zenobra/img ${zk_pack}/links/img SYMBOLIC)
file(CREATE_LINK ../lib/zenobra/zenobra ${zk_pack}/links/zenobra SYMBOLIC)
install(FILES ${zk_pack}/links/img DESTINATION lib/zenobra)
install(FILES ${zk_pack}/links/zenobra DESTINATION bin)

install(FILES ${zk_pack_src}/zenobra.desktop DESTINATION share/applications)
install(FILES ${zk_pack_src}/zenobra.svg DESTINATION share/icons/hicolor/scalable/apps)

install(FILES db/schema.sql db/live-floor.sql db/sample.sql DESTINATION share/zenobra/db)
install(PROGRAMS db/build-db.sh DESTINATION share/zenobra/db)

# Debian wants the man page and the changelog compressed, without a time stamp.
find_program(ZK_GZIP gzip REQUIRED)
configure_file(${zk_pack_src}/zenobra.1 ${zk_pack}/zenobra.1 @ONLY)
configure_file(${zk_pack_src}/changelog ${zk_pack}/changelog @ONLY)
add_custom_command(OUTPUT ${zk_pack}/zenobra.1.gz ${zk_pack}/changelog.gz
  COMMAND ${ZK_GZIP} -9nkf ${zk_pack}/zenobra.1 ${zk_pack}/changelog
  DEPENDS ${zk_pack}/zenobra.1 ${zk_pack}/changelog
  VERBATIM)
add_custom_target(zk_package_docs ALL DEPENDS ${zk_pack}/zenobra.1.gz ${zk_pack}/changelog.gz)
install(FILES ${zk_pack}/zenobra.1.gz DESTINATION share/man/man1)
install(FILES README.md ${zk_pack_src}/copyright ${zk_pack}/changelog.gz DESTINATION share/doc/zenobra)
install(FILES ${zk_pack_src}/zenobra-kiosk.service DESTINATION share/doc/zenobra/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zenobra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # zenobra_<version>_amd64.deb
set(CPACK_PACKAGE_CONTACT "Zenobra Kova developers <zenobra-kova@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "touch-screen order taker for a bar or restaurant's dining room")
# The synopsis is the summary above; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zenobra Kova shows every table of the dining room as a tile, free or occupied
with its running total. Waiters open a ticket per table, add products by
group, product tile or typed code, delete lines, free the table and hand the
ticket to the billing program. It shares a Firebird 3 database with the back
office; the server contract and a sample bar come with it.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# What the binary links to is found by dpkg-shlibdeps; what it opens at run time is named
# here: the database client, the platform plugins (vnc for a kiosk without a display
# server), Qt's translations for the standard boxes and the fonts it falls back to.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libfbclient2, qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation, fonts-dejavu-core")
# Building a database with build-db.sh needs isql and the embedded engine; a kiosk on
# Wayland needs Qt's wayland platform and cage.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, firebird3.0-utils, firebird3.0-server-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cage, xwayland, xinit, xserver-xorg")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
