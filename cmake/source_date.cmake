# source_date.cmake: one time for the whole build, so that one commit gives the same bytes at any
# hour. It is the caller's SOURCE_DATE_EPOCH when set, else the time of the commit checked out,
# else (a source tree without its history) the release's date. Every link and every custom step
# (Qt's resource compiler, the page's scripts) runs with it, and so does CPack.
set(VOREK_RELEASE_EPOCH 1796644800)  # 2026-12-07 12:00 UTC

# The release's date as its records write it (the manual, the changelog, the metainfo): the date
# of the release, not of the build.
set(caller_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} "${VOREK_RELEASE_EPOCH}")
string(TIMESTAMP VOREK_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP VOREK_RELEASE_DATE_RFC2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)
if(caller_epoch STREQUAL "")
  unset(ENV{SOURCE_DATE_EPOCH})
else()
  set(ENV{SOURCE_DATE_EPOCH} "${caller_epoch}")
endif()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(VOREK_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
  set(origin "the caller's SOURCE_DATE_EPOCH")
else()
  set(VOREK_SOURCE_DATE_EPOCH "${VOREK_RELEASE_EPOCH}")
  set(origin "the release's date, no commit found")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND "${GIT_EXECUTABLE}" log -1 --format=%ct
      WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
      OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
      set(VOREK_SOURCE_DATE_EPOCH "${commit_time}")
      set(origin "the commit's time")
      # Configure again when another commit is checked out or made, for its time.
      execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --absolute-git-dir
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      foreach(file IN ITEMS HEAD logs/HEAD)
        if(EXISTS "${git_dir}/${file}")
          set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${git_dir}/${file}")
        endif()
      endforeach()
    endif()
  endif()
endif()
if(NOT VOREK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a number of seconds, not "
    "'${VOREK_SOURCE_DATE_EPOCH}'")
endif()
message(STATUS "Build time: ${VOREK_SOURCE_DATE_EPOCH}, ${origin}")

# What embeds the time depends on this file, rewritten only when the time changes.
set(VOREK_SOURCE_DATE_STAMP "${PROJECT_BINARY_DIR}/source-date-epoch")
file(CONFIGURE OUTPUT "${VOREK_SOURCE_DATE_STAMP}" CONTENT "${VOREK_SOURCE_DATE_EPOCH}\n")

set(launcher "\"${CMAKE_COMMAND}\" -E env SOURCE_DATE_EPOCH=${VOREK_SOURCE_DATE_EPOCH}")
set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "${launcher}")
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM "${launcher}")

# CPack reads this file when it starts; a time given to cpack itself still wins.
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_BINARY_DIR}/CPackSourceDate.cmake")
file(CONFIGURE OUTPUT "${CPACK_PROJECT_CONFIG_FILE}" CONTENT [[
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} @VOREK_SOURCE_DATE_EPOCH@)
endif()
]] @ONLY)
