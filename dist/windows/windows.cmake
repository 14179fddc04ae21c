# The Windows side of the SDL programs, included by shell/CMakeLists.txt on Windows: an entry of
# their own (the program's main becomes Fw_Program_Main), the GUI subsystem, and the
# icon, version and DPI manifest resources (dist/windows/farwake.rc.in).
set_source_files_properties(${CMAKE_SOURCE_DIR}/shell/main.cpp PROPERTIES
                            COMPILE_DEFINITIONS "main=Fw_Program_Main")
# The icon tools/winicon packs from the generated PNG icons.
set(FW_WINDOWS_ICON ${CMAKE_BINARY_DIR}/generated/farwake.ico CACHE INTERNAL "the programs' icon")

# Makes target a Windows GUI program entered through platform/sdl/sdl_main_win.cpp, with its
# resources.
function(fw_windows_program target)
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/platform/sdl/sdl_main_win.cpp)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE TRUE)
  set(FW_PROGRAM ${target})
  set(FW_DESCRIPTION "farwake, a 2-D space shooter")
  if(target STREQUAL "farwake565")
    set(FW_DESCRIPTION "farwake in the 5.6.5 pixel packing")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/dist/windows/farwake.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS
                              "${FW_WINDOWS_ICON};${CMAKE_SOURCE_DIR}/dist/windows/farwake.manifest")
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} fw_windows_icon)
endfunction()
