# Warnings for our own targets only; third-party headers come in as SYSTEM.
function(veltra8_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
endfunction()

# One library of our own: its files by name, so renaming a file never moves
# it to another library, and the libraries it builds on.
# A library that links nothing of the desktop, directly or through another
# of ours, is on the core floor: a Qt Gui or Widgets header in its files
# fails the build (cmake/core-floor).
#   veltra8_library(<name> SOURCES <files...> LINKS <targets...>)
set_property(GLOBAL PROPERTY VELTRA8_DESKTOP_LIBRARIES Qt6::Gui Qt6::Widgets Qt6::PrintSupport Qt6::Svg veltra8_forms)
function(veltra8_library name)
  cmake_parse_arguments(arg "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${arg_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${arg_LINKS})
  veltra8_warnings(${name})
  get_property(desktop GLOBAL PROPERTY VELTRA8_DESKTOP_LIBRARIES)
  foreach(link IN LISTS arg_LINKS)
    if(link IN_LIST desktop)
      set_property(GLOBAL APPEND PROPERTY VELTRA8_DESKTOP_LIBRARIES ${name})
      return()
    endif()
  endforeach()
  target_include_directories(${name} BEFORE PRIVATE ${PROJECT_SOURCE_DIR}/cmake/core-floor)
endfunction()
