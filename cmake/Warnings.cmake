# Warnings for our own targets only; third-party headers come in as SYSTEM.
function(veltra8_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
endfunction()

# One library of our own: its files by name, so renaming a file never moves
# it to another library, and the libraries it builds on.
#   veltra8_library(<name> SOURCES <files...> LINKS <targets...>)
function(veltra8_library name)
  cmake_parse_arguments(arg "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${arg_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${arg_LINKS})
  veltra8_warnings(${name})
endfunction()
