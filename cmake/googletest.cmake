# googletest.cmake: GoogleTest for a cross build, compiled from Debian's sources (package googletest)
# with the cross compiler, since no MinGW build of it is packaged.
# The sources are under src/googletest of a system prefix; the cross build's own root is no place
# to look for them.
# Emscripten's toolchain narrows the system prefixes to its own, so the host's usual ones are named.
find_path(VOREK_GOOGLETEST_SOURCE_DIR NAMES googletest/CMakeLists.txt googlemock/CMakeLists.txt
  PATH_SUFFIXES src/googletest PATHS /usr/local /usr NO_CMAKE_FIND_ROOT_PATH
  DOC "GoogleTest's sources, built as part of a cross build")
if(NOT VOREK_GOOGLETEST_SOURCE_DIR)
  message(FATAL_ERROR "GoogleTest's sources were not found: install Debian's googletest package "
    "(tools/install-deps)")
endif()
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Built with our compiler settings but not our warnings; its headers are system headers to us.
add_subdirectory("${VOREK_GOOGLETEST_SOURCE_DIR}" googletest EXCLUDE_FROM_ALL SYSTEM)
