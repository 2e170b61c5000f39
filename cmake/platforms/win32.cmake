# win32.cmake: Windows, cross-built with MinGW-w64. The Win32 host shows the windows; the pictures
# are resources; the tests run under Wine, in one Wine session that tests/windows starts.
# The functions are those every platform file defines (qt.cmake says what each does).
set(VOREK_HOST win32)
# The resource compiler: the version record, the icon, the manifest and the pictures.
enable_language(RC)
if(CMAKE_CROSSCOMPILING)
  include("${CMAKE_CURRENT_LIST_DIR}/../wine.cmake")
endif()

set(VOREK_TEST_DIRS support windows)
set(VOREK_PLATFORM_DIRS packaging/windows)
if(VOREK_BUILD_TESTS)
  list(APPEND VOREK_PLATFORM_DIRS bench/windows)
endif()

# No MinGW build of GoogleTest is packaged: Debian's sources are built with the cross compiler.
macro(vorek_find_googletest)
  include("${PROJECT_SOURCE_DIR}/cmake/googletest.cmake")
  include(GoogleTest)
endmacro()

# RCDATA resources named by their file names. Neutral language: a picture has none.
function(vorek_add_pictures target)
  get_target_property(files vorek_forms VOREK_PICTURE_FILES)
  set(rc "${PROJECT_BINARY_DIR}/vorek_pictures.rc")
  set(lines "// vorek_pictures.rc: the designs' pictures, written by cmake/platforms/win32.cmake.\n")
  string(APPEND lines "LANGUAGE 0, 0\n")
  foreach(file IN LISTS files)
    get_filename_component(name "${file}" NAME)
    # Unquoted: windres joins a quoted name to the string on the line before.
    string(APPEND lines "${name} RCDATA \"${file}\"\n")
  endforeach()
  file(CONFIGURE OUTPUT "${rc}" CONTENT "${lines}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
  set_property(SOURCE "${rc}" TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS ${files})
endfunction()

# A windowed program, its version record and icon from NAME.rc.in beside the caller; static and
# stripped in release builds.
function(vorek_add_program name main_source)
  include("${PROJECT_SOURCE_DIR}/cmake/icon_resource.cmake")
  vorek_icon_resource("${CMAKE_CURRENT_SOURCE_DIR}/pictures/${name}.ico")
  configure_file("${name}.rc.in" "${name}.rc" @ONLY)
  add_executable(${name} WIN32 "${main_source}" "${CMAKE_CURRENT_BINARY_DIR}/${name}.rc")
  target_link_libraries(${name} PRIVATE vorek_forms vorek_win32 vorek_warnings)
  target_link_options(${name} PRIVATE ${VOREK_WIN32_ENTRY_FLAGS}
    $<$<CONFIG:Release,MinSizeRel>:-s>)
  vorek_add_pictures(${name})
  # The linker writes the build's time into the header.
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}"
    LINK_DEPENDS "${VOREK_SOURCE_DATE_STAMP}")
endfunction()

# Run through the toolchain's emulator (Wine) when cross-built.
function(vorek_add_command name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vorek_warnings)
endfunction()

# Each Wine process costs a start of its own, so a program that needs no display runs whole,
# once. Those that show windows (they take the WineDisplay lock) run a case per process, so that
# no window or focus of one case outlives it into the next; listing their cases may first have
# to set Wine's prefix up: about 20 s, once.
function(vorek_add_test_program target)
  if("WineDisplay" IN_LIST ARGN)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 180
      PROPERTIES FIXTURES_REQUIRED WineSession TIMEOUT 120 ${ARGN})
  else()
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED WineSession TIMEOUT 300 ${ARGN})
  endif()
endfunction()
