# deb_installed_size.cmake: run by CPack after it has made the .deb. CPack counts the staged
# directories' sizes as the filesystem gives them (4 KiB each on ext4, a few bytes on tmpfs), so
# the package's Installed-Size depended on where it was built. This counts it as dpkg-gencontrol
# does (each file and link in KiB rounded up, 1 KiB for every other entry) and builds the package
# again with dpkg-deb, whose member modes and times do not follow the umask or the clock either
# (it takes SOURCE_DATE_EPOCH, which CPack's project file has set).
find_program(dpkg_deb dpkg-deb REQUIRED)
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(root "${CPACK_TOPLEVEL_DIRECTORY}/installed-size")
  file(REMOVE_RECURSE "${root}")
  execute_process(COMMAND "${dpkg_deb}" --raw-extract "${deb}" "${root}"
    COMMAND_ERROR_IS_FATAL ANY)

  file(GLOB_RECURSE entries LIST_DIRECTORIES true "${root}/*")
  set(kib 0)
  foreach(entry IN LISTS entries)
    file(RELATIVE_PATH path "${root}" "${entry}")
    if(path MATCHES "^DEBIAN(/|$)")
      continue()
    endif()
    if(IS_DIRECTORY "${entry}")
      math(EXPR kib "${kib} + 1")
    else()
      file(SIZE "${entry}" bytes)
      math(EXPR kib "${kib} + (${bytes} + 1023) / 1024")
    endif()
  endforeach()

  file(READ "${root}/DEBIAN/control" control)
  string(REGEX REPLACE "Installed-Size: [0-9]+" "Installed-Size: ${kib}" control "${control}")
  file(WRITE "${root}/DEBIAN/control" "${control}")
  execute_process(COMMAND "${dpkg_deb}" --root-owner-group -Zgzip --build "${root}" "${deb}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${root}")
endforeach()
