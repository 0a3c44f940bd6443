# Installing the desktop program with its menu entry, icons, metadata and
# manual page, and the Debian package CPack makes from that install tree.
#
#   cmake --install build --prefix /usr/local
#   cd build && cpack -G DEB

if(NOT TARGET zarta)
  return()
endif()

include(GNUInstallDirs)

set(ZARTA_APP_ID org.zarta.Zarta)

install(TARGETS zarta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/zarta.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/${ZARTA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/zarta.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The menu icons are exported from icon 101 at build time, one file per drawn
# size, beside the scalable drawing of the same design.
set(ZARTA_ICON_SIZES 16 32 48 64 128 256)
set(iconFolder ${CMAKE_BINARY_DIR}/icons)
set(iconFiles)
foreach(size IN LISTS ZARTA_ICON_SIZES)
  set(file ${iconFolder}/${size}x${size}/apps/zarta.png)
  list(APPEND iconFiles ${file})
  install(FILES ${file} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/zarta.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
add_custom_command(
  OUTPUT ${iconFiles}
  COMMAND zarta-icons ${iconFolder}
  DEPENDS zarta-icons
  COMMENT "Drawing the menu icons"
  VERBATIM)
add_custom_target(zarta-menu-icons ALL DEPENDS ${iconFiles})

# The Debian package: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zarta developers")
set(CPACK_PACKAGE_CONTACT "Zarta developers <dev@zarta.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "card game for one player against three computer players")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Every seat holds three cards and three more lie face up on the table.\n"
  "In turn each seat exchanges one card or its whole hand with the table,\n"
  "passes, or says Stop. The lowest hand of the round loses a life; you\n"
  "win when all three computer players are out of lives.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps (in dpkg-dev, which build-essential brings) reads the
# libraries the program links and gives each its minimum version; without it
# the package names SDL alone and trusts the C and C++ runtimes to be there.
find_program(ZARTA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ZARTA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0")
endif()

include(CPack)

if(ZARTA_TESTS)
  # Each check installs into its own temporary folder, so they can run side by side.
  set(installChecks
      InstallPutsEveryFileInPlace:files
      DesktopEntryValidatesAndNamesTheInstalledProgramAndIcon:desktop-entry
      MetainfoValidatesAndMatchesTheProjectVersion:metainfo
      IconsAreTheDrawingsOfIcon101WithAClearBackground:icons
      ManualPageRendersWithoutWarnings:manual
      HelpAndVersionAnswerWithoutADisplay:options
      DebianPackageHoldsTheInstallTreeAndDependsOnSdl:package)
  foreach(entry IN LISTS installChecks)
    string(REPLACE ":" ";" parts ${entry})
    list(GET parts 0 testName)
    list(GET parts 1 check)
    add_test(NAME Desktop.${testName}
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install_tree_test.sh ${check} ${CMAKE_BINARY_DIR}
                     ${CMAKE_SOURCE_DIR} ${PROJECT_VERSION})
    # 77: a tool the check needs is not installed (tools/install-deps.sh installs them all).
    set_tests_properties(Desktop.${testName} PROPERTIES SKIP_RETURN_CODE 77)
  endforeach()
endif()
