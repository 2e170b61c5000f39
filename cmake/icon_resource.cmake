# icon_resource.cmake: the program icon's resource lines for a .rc file, from the .ico file.
#
# The icon group is number 1 and its one image number 30001. windres numbers the images of ICON
# statements 1, 2, ... whatever the group's number, so the image is written as a raw RT_ICON
# resource and the group (RT_GROUP_ICON) by hand: the .ico's directory entry with the image's
# number in place of its file offset.

# The bytes of `hex` (two digits a byte) as the little-endian 16-bit words of an .rc raw block.
function(_vorek_rc_words hex out)
  string(LENGTH "${hex}" digits)
  set(words "")
  set(column 0)
  math(EXPR last "${digits} - 4")
  foreach(at RANGE 0 ${last} 4)
    string(SUBSTRING "${hex}" ${at} 2 low)
    math(EXPR high_at "${at} + 2")
    string(SUBSTRING "${hex}" ${high_at} 2 high)
    string(APPEND words "0x${high}${low},")
    math(EXPR column "${column} + 1")
    if(column EQUAL 12)
      string(APPEND words "\n  ")
      set(column 0)
    endif()
  endforeach()
  string(REGEX REPLACE ",[\n ]*$" "" words "${words}")
  set(${out} "${words}" PARENT_SCOPE)
endfunction()

# Sets VOREK_ICON_IMAGE and VOREK_ICON_GROUP in the caller to the raw blocks of the image and of
# the group, for an .ico file holding one image.
function(vorek_icon_resource ico)
  file(READ "${ico}" header LIMIT 22 HEX)
  string(SUBSTRING "${header}" 8 4 count)
  if(NOT count STREQUAL "0100")
    message(FATAL_ERROR "${ico}: the program icon must hold exactly one image")
  endif()
  # The entry: width, height, colours, reserved, planes, bits, size (4 bytes), offset (4 bytes).
  string(SUBSTRING "${header}" 28 8 size_hex)
  string(SUBSTRING "${header}" 36 8 offset_hex)
  foreach(field IN ITEMS size offset)
    string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" ${field}_hex "${${field}_hex}")
    math(EXPR ${field} "0x${${field}_hex}")
  endforeach()
  file(READ "${ico}" image OFFSET ${offset} LIMIT ${size} HEX)
  _vorek_rc_words("${image}" image_words)
  string(SUBSTRING "${header}" 12 24 entry)
  _vorek_rc_words("${entry}" entry_words)
  set(VOREK_ICON_IMAGE "${image_words}" PARENT_SCOPE)
  # Reserved, type 1 (icons), one entry; the entry, then the image's number.
  set(VOREK_ICON_GROUP "0, 1, 1, ${entry_words}, 30001" PARENT_SCOPE)
endfunction()
