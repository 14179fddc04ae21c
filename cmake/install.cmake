# What `cmake --install` puts into the prefix: the programs, the generated pictures and sounds,
# the desktop entry, the icons, the AppStream metainfo and the man page.
include(GNUInstallDirs)
set(FW_PICTURES ship craft01 bullets missiles station00 expl powerups radar shields rmissile marlotitle)
set(FW_SOUNDS gameover victory engine blaze beep00 missile00 boom67 boom45 pdlaser)

# The installed game finds its data at ../share/farwake from the folder it runs from; a layout
# that breaks that leaves it without pictures and sounds unless started in the data folder.
cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_BINDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
           OUTPUT_VARIABLE fw_bindir)
cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_DATADIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
           OUTPUT_VARIABLE fw_datadir)
cmake_path(GET fw_bindir PARENT_PATH fw_bin_parent)
if(NOT fw_datadir STREQUAL "${fw_bin_parent}/share")
  message(WARNING "farwake looks for its data in ${fw_bin_parent}/share/farwake, "
                  "but CMAKE_INSTALL_DATADIR puts it in ${fw_datadir}/farwake")
endif()

foreach(prog farwake farwake565 farwake-headless)
  if(TARGET ${prog})
    install(TARGETS ${prog} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

set(fw_data_files)
foreach(p ${FW_PICTURES})
  list(APPEND fw_data_files ${FW_DATA_DIR}/${p}.bmp)
endforeach()
foreach(s ${FW_SOUNDS})
  list(APPEND fw_data_files ${FW_DATA_DIR}/${s}.wav)
endforeach()
install(FILES ${fw_data_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/farwake)

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
