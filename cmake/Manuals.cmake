# Manual pages, written in scdoc (docs/man/*.scd), turned into roff and
# compressed as Debian ships them (gzip -9n: no name or time stamp, so builds
# repeat). Each page is installed with the package component it documents.
#   veltra8_manual(<page> <component> [<language>]): docs/man/[<language>/]<page>.scd
find_program(VELTRA8_SCDOC scdoc REQUIRED)
find_program(VELTRA8_GZIP gzip REQUIRED)
include(GNUInstallDirs)
set(veltra8_man_dir ${CMAKE_BINARY_DIR}/man)
function(veltra8_manual page component)
  set(language "${ARGV2}")
  set(sub "")
  if(language)
    set(sub "${language}/")
  endif()
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${sub}${page}.scd)
  set(output ${veltra8_man_dir}/${sub}${page}.gz)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${veltra8_man_dir}/${sub}
    COMMAND sh -c "\"$1\" < \"$2\" | \"$3\" -9n > \"$4\"" sh ${VELTRA8_SCDOC} ${source} ${VELTRA8_GZIP} ${output}
    DEPENDS ${source}
    COMMENT "Manual page ${sub}${page}"
    VERBATIM)
  string(REPLACE "/" "-" name "veltra8-man-${sub}${page}")
  add_custom_target(${name} ALL DEPENDS ${output})
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section ${page})
  install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/${sub}man${section} COMPONENT ${component})
endfunction()
