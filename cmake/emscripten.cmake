# emscripten.cmake: the toolchain of the web build, Emscripten's own CMake toolchain from wherever
# the installed em-config says Emscripten lives (Debian: the emscripten package).
find_program(VOREK_EM_CONFIG em-config REQUIRED)
execute_process(COMMAND "${VOREK_EM_CONFIG}" EMSCRIPTEN_ROOT
  OUTPUT_VARIABLE VOREK_EMSCRIPTEN_ROOT OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE VOREK_EM_CONFIG_STATUS)
if(NOT VOREK_EM_CONFIG_STATUS EQUAL 0 OR NOT EXISTS "${VOREK_EMSCRIPTEN_ROOT}")
  message(FATAL_ERROR "em-config did not name Emscripten's root (Debian package emscripten)")
endif()
include("${VOREK_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake")
