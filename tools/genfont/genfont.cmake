# The text face baker, a host tool the engine's build runs: included by engine/graphics, which
# compiles the table it writes. FW_TEXT_TABLE names a table baked elsewhere (cross builds).
set(FW_TEXT_TABLE "" CACHE FILEPATH "A text face table baked by fw-genfont on the build host")
if(FW_TEXT_TABLE)
  set(fw_text_table ${FW_TEXT_TABLE})
elseif(FW_WEB)
  # The browser build bakes the face with this machine's fw-genfont, which the page's host data
  # build (tools/web) makes beside the generators.
  set(fw_text_table ${CMAKE_BINARY_DIR}/generated/text_face_table.cpp)
  add_custom_command(OUTPUT ${fw_text_table}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
    COMMAND ${CMAKE_BINARY_DIR}/host/fw-genfont ${fw_text_table} 16
    DEPENDS fw_web_host_data
    COMMENT "Baking the text face with the host's baker"
    VERBATIM)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(FW_FONTLIB REQUIRED IMPORTED_TARGET freetype2 fontconfig)
  add_executable(fw-genfont ${CMAKE_CURRENT_LIST_DIR}/genfont.cpp)
  target_link_libraries(fw-genfont PRIVATE PkgConfig::FW_FONTLIB)
  set(fw_text_table ${CMAKE_BINARY_DIR}/generated/text_face_table.cpp)
  # The game draws its text in 16-pixel lines.
  add_custom_command(OUTPUT ${fw_text_table}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
    COMMAND fw-genfont ${fw_text_table} 16
    DEPENDS fw-genfont
    COMMENT "Baking the text face"
    VERBATIM)
endif()
