# Installs the build tree into a scratch prefix and checks that what a user's
# desktop relies on is really there: the entry's command, its icon in every
# size at that size, the documentation and the optional udev rule.
# Run as: cmake -DBUILD_DIR=... -DPREFIX=... -DICON_SIZES=16;32 -P this-file
foreach(var BUILD_DIR PREFIX ICON_SIZES)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(failures "")
# Conditions are written out as plain if() blocks: passing them through a
# macro would split values that hold semicolons, as desktop entry lists do.
macro(fail text)
  list(APPEND failures "${text}")
endmacro()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
endif()

# The desktop entry, read as one text: its values hold semicolons, which a
# CMake list would split.
set(entry_file "${PREFIX}/share/applications/veltra8.desktop")
if(NOT EXISTS "${entry_file}")
  message(FATAL_ERROR "no desktop entry at ${entry_file}")
endif()
file(READ "${entry_file}" entry)
foreach(key Type Name GenericName Comment Exec Icon Categories)
  if(entry MATCHES "\n${key}=([^\n]*)")
    set(entry_${key} "${CMAKE_MATCH_1}")
  else()
    fail("desktop entry has a ${key} key")
  endif()
endforeach()
if(NOT (entry MATCHES "^\\[Desktop Entry\\]\n"))
  fail("desktop entry starts with its group header")
endif()
if(NOT ("${entry_Type}" STREQUAL "Application"))
  fail("desktop entry Type is Application")
endif()
if(NOT ("${entry_Categories}" MATCHES ";$"))
  fail("desktop entry Categories end with a semicolon")
endif()

# The command runs through PATH, so its first word must be a program the
# install put into bin/.
string(REGEX MATCH "^[^ ]+" command "${entry_Exec}")
if(NOT (EXISTS "${PREFIX}/bin/${command}"))
  fail("desktop entry command '${command}' is installed in bin/")
endif()
if(NOT (EXISTS "${PREFIX}/bin/veltra8-sim"))
  fail("the simulator is installed in bin/")
endif()
# Where veltra8-cli looks for its drawing program, relative to itself.
if(NOT (EXISTS "${PREFIX}/libexec/veltra8/veltra8-plot"))
  fail("the drawing program of veltra8-cli plot is installed in libexec/veltra8/")
endif()

# Every icon size in the theme folder named by the entry, and really that
# size: the width and height are the big-endian words after the IHDR tag.
foreach(size IN LISTS ICON_SIZES)
  set(icon "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${entry_Icon}.png")
  if(NOT EXISTS "${icon}")
    fail("a ${size}x${size} icon exists at ${icon}")
    continue()
  endif()
  file(READ "${icon}" head LIMIT 24 HEX)
  string(SUBSTRING "${head}" 0 16 signature)
  string(SUBSTRING "${head}" 24 8 tag)
  string(SUBSTRING "${head}" 32 8 width_hex)
  string(SUBSTRING "${head}" 40 8 height_hex)
  if(NOT ("${signature}${tag}" STREQUAL "89504e470d0a1a0a49484452"))
    fail("${icon} is a PNG")
  endif()
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  if(NOT (width EQUAL size AND height EQUAL size))
    fail("${icon} is ${size}x${size}, not ${width}x${height}")
  endif()
endforeach()

set(doc "${PREFIX}/share/doc/veltra8-cli")
if(NOT (EXISTS "${doc}/README.md"))
  fail("README installed with the documentation")
endif()
if(NOT (EXISTS "${doc}/99-veltra8-serial.rules"))
  fail("udev rule shipped with the documentation")
endif()
# Installing the rule is the administrator's choice, never the package's.
file(GLOB_RECURSE installed_rules "${PREFIX}/lib/udev/*" "${PREFIX}/etc/udev/*")
if(NOT ("${installed_rules}" STREQUAL ""))
  fail("nothing installed into a udev rules folder")
endif()

find_program(desktop_file_validate desktop-file-validate)
if(desktop_file_validate)
  execute_process(COMMAND ${desktop_file_validate} "${entry_file}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT (rc EQUAL 0))
    fail("desktop-file-validate accepts the entry: ${out}${err}")
  endif()
endif()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "install layout, not true:\n  ${text}")
endif()
message(STATUS "install layout: all checks passed")
