# web.cmake: the browser, through Emscripten. The web host draws the windows inside one page;
# the pictures are compiled into it; the tests run under Node.js, the page in Chromium.
# The functions are those every platform file defines (qt.cmake says what each does).
set(VOREK_HOST web)
set(VOREK_WEB_DIR "${PROJECT_SOURCE_DIR}/platform/web")
# Node.js runs Emscripten's own tools already; here it also writes the page's shell.
find_program(VOREK_WEB_NODE NAMES node nodejs REQUIRED)
mark_as_advanced(VOREK_WEB_NODE)
# Where npm installs the packages of the tests, from their lock file.
set(VOREK_NODE_DIR "${PROJECT_BINARY_DIR}/node")

set(VOREK_TEST_DIRS web)
set(VOREK_PLATFORM_DIRS)
if(VOREK_BUILD_TESTS)
  list(APPEND VOREK_PLATFORM_DIRS bench/web)
endif()

# Emscripten has no GoogleTest of its own, and the page has no threads.
macro(vorek_find_googletest)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  include("${PROJECT_SOURCE_DIR}/cmake/googletest.cmake")
endmacro()

# The page: vorek_add_web_page() (platform/web) writes NAME.html and site/NAME.html.
function(vorek_add_program name main_source)
  vorek_add_web_page(${name} "${main_source}" ${ARGN})
endfunction()

# Made to run under Node.js from one file, with the build machine's files reached directly.
function(_vorek_runs_in_node target)
  target_link_options(${target} PRIVATE
    -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1)
  set_target_properties(${target} PROPERTIES SUFFIX ".js")
endfunction()

function(vorek_add_command name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vorek_warnings)
  _vorek_runs_in_node(${name})
endfunction()

# One run of the whole program: a Node.js start per test case would cost a second each.
function(vorek_add_test_program target)
  _vorek_runs_in_node(${target})
  add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
endfunction()
