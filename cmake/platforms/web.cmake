# web.cmake: the browser, through Emscripten. The web host draws the windows inside one page;
# the pictures are compiled into it; the tests run under Node.js, the page in Chromium.
# The functions are those every platform file defines (qt.cmake says what each does).
set(VOREK_HOST web)
set(VOREK_WEB_DIR "${PROJECT_SOURCE_DIR}/platform/web")
# Node.js runs Emscripten's own tools already; here it also writes the page's shell.
find_program(VOREK_WEB_NODE NAMES node nodejs REQUIRED)
mark_as_advanced(VOREK_WEB_NODE)
# Where npm installs the packages of the tests (playwright-core), from their lock file.
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

# The packages the page's build runs in Node.js (pngjs, which writes the site's icons as PNG),
# installed from their committed lock file into the build tree; from npm's cache when it holds
# them, so that a rebuild needs no network.
find_program(VOREK_NPM npm REQUIRED)
mark_as_advanced(VOREK_NPM)
set(page_node "${PROJECT_BINARY_DIR}/page-node")
set(VOREK_WEB_PAGE_MODULES "${page_node}/node_modules")
configure_file("${VOREK_WEB_DIR}/package.json" "${page_node}/package.json" COPYONLY)
configure_file("${VOREK_WEB_DIR}/package-lock.json" "${page_node}/package-lock.json" COPYONLY)
add_custom_command(OUTPUT "${VOREK_WEB_PAGE_MODULES}/.package-lock.json"
  COMMAND "${VOREK_NPM}" ci --prefix "${page_node}" --ignore-scripts --no-audit --no-fund
          --prefer-offline --loglevel=error
  DEPENDS "${VOREK_WEB_DIR}/package.json" "${VOREK_WEB_DIR}/package-lock.json"
  COMMENT "Installing the page's build packages into the build tree" VERBATIM)
add_custom_target(vorek_web_page_modules DEPENDS "${VOREK_WEB_PAGE_MODULES}/.package-lock.json")

# cwebp (Debian's webp) writes the page's pictures as lossless WebP.
find_program(VOREK_CWEBP cwebp REQUIRED)
mark_as_advanced(VOREK_CWEBP)

# The page carries the pictures in its shell (make_shell.js), each pixel once, as text the
# start-up window's images and the program's show; and TARGET gets the table of their sizes the
# host checks them by.
function(vorek_add_pictures target)
  get_target_property(pictures vorek_forms VOREK_PICTURE_FILES)
  set(shell "${CMAKE_CURRENT_BINARY_DIR}/${target}_shell.html")
  set(pictures_cpp "${CMAKE_CURRENT_BINARY_DIR}/${target}_pictures.cpp")
  add_custom_command(OUTPUT "${shell}" "${pictures_cpp}"
    COMMAND "${VOREK_WEB_NODE}" "${VOREK_WEB_DIR}/make_shell.js" "${VOREK_CWEBP}"
            "${VOREK_WEB_DIR}/shell.html" "${shell}" "${pictures_cpp}" "${VOREK_DESIGN_FIGURES}"
            ${pictures}
    DEPENDS ${pictures} "${VOREK_DESIGN_FIGURES}" vorek_design_figures
            "${VOREK_WEB_DIR}/make_shell.js" "${VOREK_WEB_DIR}/web_window_parts.js"
            "${VOREK_WEB_DIR}/shell.html"
    COMMENT "Embedding the pictures of ${target}" VERBATIM)
  # The shell is generated beside the source; the link depends on it through LINK_DEPENDS.
  target_sources(${target} PRIVATE "${pictures_cpp}" "${shell}")
  target_link_options(${target} PRIVATE "SHELL:--shell-file ${shell}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${shell}")
endfunction()

# The page: NAME.html, one self-contained page that plays from disk (one_file.js), written from
# the program's page, script and WebAssembly; and site/, the same three files for a web server,
# with what makes them an app that installs and plays offline (make_site.js). With NO_SITE,
# there is no site.
function(vorek_add_program name main_source)
  cmake_parse_arguments(PARSE_ARGV 2 page "NO_SITE" "" "")
  set(program_dir "${CMAKE_CURRENT_BINARY_DIR}/${name}-program")
  set(scripts web_window_parts.js web_windows.js web_page.js web_host.js)
  list(TRANSFORM scripts PREPEND "${VOREK_WEB_DIR}/")
  add_executable(${name}_program "${main_source}")
  target_link_libraries(${name}_program PRIVATE vorek_forms vorek_web)
  vorek_add_pictures(${name}_program)
  target_link_options(${name}_program PRIVATE
    -sASYNCIFY "-sASYNCIFY_IMPORTS=['vorek_js_box']"
    # Only the functions that can be on the stack when a handler or the runtime opens the box
    # are made to unwind: the entries, the dynCall trampolines through which the exceptions'
    # invoke_ calls pass, the runtime's dispatch and forms, the std::function calls to the
    # handlers and the program's own code (puzzle, forms). By default everything that may
    # throw is, which costs a quarter of the WebAssembly and slows the start. A program that
    # lacks some of these names makes the linker warn that the pattern matched nothing.
    "-sASYNCIFY_ONLY=['main','vorek_click','vorek_close','dynCall_*','legalstub*dynCall_*',\
'platform::runOnWeb*','platform::Runtime::*','platform::Form::*','platform::FormRef::*',\
'platform::WebHost::messageBox*','platform::WebHost::errorBox*','std::__2::__function::*',\
'puzzle::*','forms::*']"
    -sEXIT_RUNTIME=0 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web
    # Debian's Emscripten 3.1.6 calls htmlmin with a malformed command line.
    -sMINIFY_HTML=0
    "-sEXPORTED_FUNCTIONS=['_main','_vorek_click','_vorek_close']"
    "-sEXPORTED_RUNTIME_METHODS=['ccall']"
    "SHELL:--pre-js ${VOREK_WEB_DIR}/web_window_parts.js"
    "SHELL:--pre-js ${VOREK_WEB_DIR}/web_windows.js"
    "SHELL:--pre-js ${VOREK_WEB_DIR}/web_page.js"
    "SHELL:--js-library ${VOREK_WEB_DIR}/web_host.js")
  set_property(TARGET ${name}_program APPEND PROPERTY LINK_DEPENDS ${scripts})
  set_target_properties(${name}_program PROPERTIES OUTPUT_NAME "${name}" SUFFIX ".html"
    RUNTIME_OUTPUT_DIRECTORY "${program_dir}")

  set(outputs "${PROJECT_BINARY_DIR}/${name}.html")
  add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/${name}.html"
    COMMAND "${VOREK_WEB_NODE}" "${VOREK_WEB_DIR}/one_file.js" "${program_dir}/${name}.html"
            "${PROJECT_BINARY_DIR}/${name}.html"
    DEPENDS ${name}_program "${VOREK_WEB_DIR}/one_file.js"
    COMMENT "Writing ${name}.html, the page in one file" VERBATIM)
  if(NOT page_NO_SITE)
    vorek_add_site(${name}_program "${program_dir}/${name}.html" "${PROJECT_BINARY_DIR}/site"
      "${VOREK_VERSION_TEXT}")
    list(APPEND outputs "${PROJECT_BINARY_DIR}/site/vorek-sw.js")
  endif()
  add_custom_target(${name} ALL DEPENDS ${outputs})
endfunction()

# The site for a web server from the program target PROGRAM's page: its files, a web app
# manifest, icons drawn from the program's icon and a service worker whose cache is named by
# VERSION. The worker is written last: it stands for the whole site.
function(vorek_add_site program page site_dir version)
  get_target_property(source_dir ${program} SOURCE_DIR)
  set(icon "${source_dir}/pictures/vorek.ico")
  add_custom_command(OUTPUT "${site_dir}/vorek-sw.js"
    COMMAND "${CMAKE_COMMAND}" -E env "NODE_PATH=${VOREK_WEB_PAGE_MODULES}"
            "${VOREK_WEB_NODE}" "${VOREK_WEB_DIR}/make_site.js" "${page}" "${site_dir}"
            "${icon}" "${version}" "${PROJECT_DESCRIPTION}"
    DEPENDS ${program} "${icon}" "${VOREK_WEB_DIR}/make_site.js" vorek_web_page_modules
    COMMENT "Writing the site of ${page}, version ${version}" VERBATIM)
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
