# Installation on Linux and the Debian package (scripts/package-deb.sh: cpack -G DEB).
# The programs live in lib/kestrel beside the port library and the help topics (they find
# both in their own folder); bin holds links to them.
set(KESTREL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/kestrel)
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  # Debian keeps architecture-dependent private files in /usr/lib/<name>, not the multiarch folder.
  set(KESTREL_PROGRAM_DIR lib/kestrel)
endif()
set(CMAKE_INSTALL_RPATH "\$ORIGIN")

install(TARGETS kestrel-cli RUNTIME DESTINATION ${KESTREL_PROGRAM_DIR})
if(TARGET DLPortIO)
  install(TARGETS DLPortIO LIBRARY DESTINATION ${KESTREL_PROGRAM_DIR} NAMELINK_SKIP)
endif()
install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK ../${KESTREL_PROGRAM_DIR}/kestrel-cli \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kestrel-cli\" SYMBOLIC)")

if(TARGET kestrel)
  install(TARGETS kestrel RUNTIME DESTINATION ${KESTREL_PROGRAM_DIR})
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/help/ DESTINATION ${KESTREL_PROGRAM_DIR}/help)
  install(CODE "file(CREATE_LINK ../${KESTREL_PROGRAM_DIR}/kestrel \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kestrel\" SYMBOLIC)")
  set(linux ${CMAKE_SOURCE_DIR}/packaging/linux)
  install(FILES ${linux}/kestrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${linux}/kestrel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME kestrel.xml)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${linux}/icons/kestrel-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kestrel.png)
  endforeach()
endif()

# Access to the ports and adapters for the group "kestrel" (made by the package's postinst).
install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/60-kestrel.rules DESTINATION lib/udev/rules.d)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/kestrel-modules.conf DESTINATION lib/modules-load.d RENAME kestrel.conf)

# Manual pages made by scripts/package-deb.sh from the programs' --help (help2man).
set(KESTREL_MAN_DIR "" CACHE PATH "Folder with kestrel.1.gz and kestrel-cli.1.gz to install")
if(KESTREL_MAN_DIR)
  install(FILES ${KESTREL_MAN_DIR}/kestrel-cli.1.gz ${KESTREL_MAN_DIR}/kestrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VENDOR "Kestrel")
set(CPACK_PACKAGE_CONTACT "Kestrel <kestrel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service program for portal crane parameter recorders")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "service program for portal crane parameter recorders
 Kestrel reads the memory of a crane's parameter recorder (from the reader device on a
 parallel port or a USB-to-I2C adapter, or from a saved .bbd file), classifies the crane
 after ISO 4301-1, shows load distributions and cycle charts, writes the inspection
 protocols (Russian), writes configuration back to the recorder and keeps every reading
 in an archive that follows the crane's design working period (ISO 12482).")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found by reading the binaries: the ACL tool of the udev rule, addgroup of postinst.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "acl, adduser")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libc-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/linux/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
