# wine.cmake: runs the cross-built Windows programs under Wine, in a prefix inside the build tree.
find_program(VOREK_WINE wine REQUIRED)
find_program(VOREK_WINESERVER wineserver REQUIRED)

set(VOREK_WINEPREFIX "${PROJECT_BINARY_DIR}/wine/prefix")
set(VOREK_WINE_DISPLAY_FILE "${PROJECT_BINARY_DIR}/wine/display")
configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.in" "${PROJECT_BINARY_DIR}/wine-run" @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
  WORLD_EXECUTE)
set(VOREK_WINE_RUN "${PROJECT_BINARY_DIR}/wine-run")
# Every test and test discovery of a Windows program goes through the wrapper.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${VOREK_WINE_RUN}")
endif()
