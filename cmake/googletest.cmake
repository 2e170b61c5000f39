# googletest.cmake: GoogleTest for a cross build, compiled from Debian's sources (package googletest)
# with the cross compiler, since no MinGW build of it is packaged.
set(VOREK_GOOGLETEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH
  "GoogleTest's sources, built as part of a cross build")
if(NOT EXISTS "${VOREK_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest's sources are not in ${VOREK_GOOGLETEST_SOURCE_DIR}: "
    "install Debian's googletest package (tools/install-deps)")
endif()
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Built with our compiler settings but not our warnings; its headers are system headers to us.
add_subdirectory("${VOREK_GOOGLETEST_SOURCE_DIR}" googletest EXCLUDE_FROM_ALL SYSTEM)
