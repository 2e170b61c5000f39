# qt.cmake: Linux. The Qt host shows the windows; the pictures are Qt resources; the tests run
# natively, the real program under private X servers.
#
# Every platform file defines the same functions, each called the same way everywhere else:
#   vorek_find_googletest()                 GoogleTest for the tests
#   vorek_add_pictures(TARGET)              the designs' pictures, as the host reads them
#   vorek_add_program(NAME MAIN_SOURCE)     a program on this host, its pictures included
#   vorek_add_command(NAME SOURCE...)       a command-line program the build or the tests run
#   vorek_add_test_program(TARGET [PROPERTY VALUE...])  a GoogleTest program's tests
# and the folders only this platform builds: VOREK_TEST_DIRS (under tests/) and
# VOREK_PLATFORM_DIRS (from the top).
set(VOREK_HOST qt)
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets)

set(VOREK_TEST_DIRS support qt desktop e2e)
set(VOREK_PLATFORM_DIRS tools packaging)
if(VOREK_BUILD_TESTS)
  list(APPEND VOREK_PLATFORM_DIRS bench)
endif()

macro(vorek_find_googletest)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endmacro()

# Qt resources under :/pictures/.
function(vorek_add_pictures target)
  get_target_property(files vorek_forms VOREK_PICTURE_FILES)
  qt_add_resources(${target} vorek_pictures PREFIX "/" BASE "${PROJECT_SOURCE_DIR}/forms"
    FILES ${files})
  # rcc writes the build's time into the resources.
  add_custom_command(OUTPUT "${CMAKE_CURRENT_BINARY_DIR}/.rcc/qrc_vorek_pictures.cpp" APPEND
    DEPENDS "${VOREK_SOURCE_DATE_STAMP}")
endfunction()

function(vorek_add_program name main_source)
  add_executable(${name} "${main_source}")
  target_link_libraries(${name} PRIVATE vorek_forms vorek_qt vorek_warnings)
  vorek_add_pictures(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}")
endfunction()

function(vorek_add_command name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vorek_warnings)
endfunction()

function(vorek_add_test_program target)
  set(properties)
  if(ARGN)
    set(properties PROPERTIES ${ARGN})
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST ${properties})
endfunction()
