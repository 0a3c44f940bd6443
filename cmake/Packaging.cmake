# Installing the desktop program with its menu entry, icons, metadata and
# manual page; debian/ packages the same install tree.
#
#   cmake --install build --prefix /usr/local

if(NOT TARGET zarta)
  return()
endif()

include(GNUInstallDirs)

set(ZARTA_APP_ID org.zarta.Zarta)

# Games live in their own folder under the prefix, as the Filesystem Hierarchy Standard has it.
set(ZARTA_INSTALL_GAMESDIR games CACHE STRING "Folder of the program, under the install prefix")
install(TARGETS zarta RUNTIME DESTINATION ${ZARTA_INSTALL_GAMESDIR})
# The menu entry starts the program by its full path, since not every desktop
# session has the games folder on PATH. The prefix is known only when
# installing (`cmake --install --prefix` chooses it), so the entry is written
# then, in a folder of that prefix's own: installs into other prefixes may run
# side by side.
install(CODE "
  file(READ \"${PROJECT_SOURCE_DIR}/data/zarta.desktop.in\" entry)
  string(REPLACE @ZARTA_PROGRAM@ \"\${CMAKE_INSTALL_PREFIX}/${ZARTA_INSTALL_GAMESDIR}/zarta\" entry \"\${entry}\")
  string(MD5 prefixKey \"\${CMAKE_INSTALL_PREFIX}\")
  set(written \"${CMAKE_BINARY_DIR}/desktop-entry/\${prefixKey}/zarta.desktop\")
  file(WRITE \"\${written}\" \"\${entry}\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\" TYPE FILE FILES \"\${written}\")
")
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
  COMMAND zarta-icons ${iconFolder} ${ZARTA_ICON_SIZES}
  DEPENDS zarta-icons
  COMMENT "Drawing the menu icons"
  VERBATIM)
add_custom_target(zarta-menu-icons ALL DEPENDS ${iconFiles})


if(ZARTA_TESTS)
  # Each check installs into its own temporary folder, so they can run side by side.
  set(installChecks
      InstallPutsEveryFileInPlace:files
      DesktopEntryValidatesAndNamesTheInstalledProgramAndIcon:desktop-entry
      MetainfoValidatesAndMatchesTheProjectVersion:metainfo
      IconsAreTheDrawingsOfIcon101WithAClearBackground:icons
      IconExportWritesAnySizeAWebAppAsksFor:export
      ManualPageRendersWithoutWarnings:manual
      HelpAndVersionAnswerWithoutADisplayAndAnythingElseIsRefused:options)
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
