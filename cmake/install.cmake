# What `cmake --install` puts into the prefix: the programs, the generated pictures and sounds,
# a screenshot of the game, the desktop entry, the icons, the AppStream metainfo and the man page.
include(GNUInstallDirs)
set(FW_PICTURES ship craft01 bullets missiles station00 expl powerups radar shields rmissile marlotitle)
set(FW_SOUNDS gameover victory engine blaze beep00 missile00 boom67 boom45 pdlaser)

# Debian keeps games in <prefix>/games and their data in <prefix>/share/games/farwake; the
# packaging sets these two, a plain install keeps bin and share/farwake.
set(FW_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING "Where the programs go, under the prefix")
set(FW_INSTALL_GAMEDATADIR ${CMAKE_INSTALL_DATADIR}/farwake CACHE STRING
    "Where the pictures and sounds go, under the prefix")

# The installed game finds its data at ../share/farwake or ../share/games/farwake from the folder
# it runs from; a layout that breaks that leaves it without pictures and sounds unless started in
# the data folder.
cmake_path(ABSOLUTE_PATH FW_INSTALL_BINDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
           OUTPUT_VARIABLE fw_bindir)
cmake_path(ABSOLUTE_PATH FW_INSTALL_GAMEDATADIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
           OUTPUT_VARIABLE fw_gamedatadir)
cmake_path(GET fw_bindir PARENT_PATH fw_bin_parent)
if(NOT fw_gamedatadir STREQUAL "${fw_bin_parent}/share/farwake" AND
   NOT fw_gamedatadir STREQUAL "${fw_bin_parent}/share/games/farwake")
  message(WARNING "farwake looks for its data in ${fw_bin_parent}/share/farwake or "
                  "${fw_bin_parent}/share/games/farwake, but FW_INSTALL_GAMEDATADIR puts it "
                  "in ${fw_gamedatadir}")
endif()

foreach(prog farwake farwake565 farwake-headless)
  if(TARGET ${prog})
    install(TARGETS ${prog} RUNTIME DESTINATION ${FW_INSTALL_BINDIR})
  endif()
endforeach()

set(fw_data_files)
foreach(p ${FW_PICTURES})
  list(APPEND fw_data_files ${FW_DATA_DIR}/${p}.bmp)
endforeach()
foreach(s ${FW_SOUNDS})
  list(APPEND fw_data_files ${FW_DATA_DIR}/${s}.wav)
endforeach()

# A screenshot for software centres and the package, taken from a scripted game by the headless
# program, so it always shows the game as built.
if(TARGET farwake-headless)
  set(fw_screenshot ${FW_DATA_DIR}/screenshot.png)
  set(fw_screenshot_keys ${CMAKE_SOURCE_DIR}/dist/screenshot.keys)
  add_custom_command(OUTPUT ${fw_screenshot}
    COMMAND farwake-headless --keys ${fw_screenshot_keys} --frames 200 --shot 160:${fw_screenshot}
    DEPENDS farwake-headless ${fw_screenshot_keys}
    WORKING_DIRECTORY ${FW_DATA_DIR}
    COMMENT "Taking the screenshot from a scripted game")
  add_custom_target(fw_screenshot ALL DEPENDS ${fw_screenshot})
  list(APPEND fw_data_files ${fw_screenshot})
endif()
install(FILES ${fw_data_files} DESTINATION ${FW_INSTALL_GAMEDATADIR})

foreach(size 48 64 128 256)
  install(FILES ${FW_DATA_DIR}/icons/farwake-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME org.example.farwake.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/dist/org.example.farwake.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/org.example.farwake.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/dist/farwake.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The other two programs share the one page.
foreach(prog farwake565 farwake-headless)
  install(FILES ${CMAKE_SOURCE_DIR}/dist/${prog}.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endforeach()
# The Windows zip and installer carry the same data files: tools/windows.sh reads their names.
if(WIN32)
  list(TRANSFORM fw_data_files REPLACE "^${FW_DATA_DIR}/" "" OUTPUT_VARIABLE fw_data_names)
  list(JOIN fw_data_names "\n" fw_data_names)
  file(WRITE ${CMAKE_BINARY_DIR}/data-files.txt "${fw_data_names}\n")
endif()
