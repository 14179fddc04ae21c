# What `cmake --install` puts into the prefix: the programs, the generated pictures and sounds,
# the desktop entry, the icons, the AppStream metainfo and the man page.
include(GNUInstallDirs)
set(FW_PICTURES ship craft01 bullets missiles station00 expl powerups radar shields rmissile marlotitle)
set(FW_SOUNDS gameover victory engine blaze beep00 missile00 boom67 boom45 pdlaser)

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
          RENAME org.example.farwake.png OPTIONAL)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/dist/org.example.farwake.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/org.example.farwake.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/dist/farwake.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
