# How the program ships: what `cmake --install` puts where, and the Debian
# package built from it with `cmake --build <dir> --target package` or `cpack`.
include(GNUInstallDirs)

# --- The programs ------------------------------------------------------------
# The command-line client needs no desktop; the simulator ships with the
# programs so anyone can try them without a logger.
install(TARGETS veltra8-cli veltra8-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# --- Manual pages --------------------------------------------------------------
# Written in scdoc (docs/man/*.scd), turned into roff and compressed as Debian
# ships manual pages (gzip -9n: no name or time stamp, so builds repeat).
find_program(VELTRA8_SCDOC scdoc REQUIRED)
find_program(VELTRA8_GZIP gzip REQUIRED)
set(veltra8_man_dir ${CMAKE_BINARY_DIR}/man)
#   veltra8_manual(<page> [<language>]): docs/man/[<language>/]<page>.scd
function(veltra8_manual page)
  set(language "${ARGV1}")
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
  install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/${sub}man${section})
endfunction()
veltra8_manual(veltra8-cli.1)
# The client speaks Spanish too, and so does its page.
veltra8_manual(veltra8-cli.1 es)
veltra8_manual(veltra8-sim.1)

# --- Shell completion ----------------------------------------------------------
install(FILES ${PROJECT_SOURCE_DIR}/packaging/veltra8-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME veltra8-cli)
# A build without the windows installs the core programs and nothing of the
# desktop; the package is always built with the windows.
if(NOT VELTRA8_GUI)
  return()
endif()
install(TARGETS veltra8 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
veltra8_manual(veltra8.1)
# The drawing half of `veltra8-cli plot`, which the client runs from
# <bindir>/../libexec/veltra8/ so that it stays on Qt Core itself.
install(TARGETS veltra8-plot RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/veltra8)

# --- The icon ----------------------------------------------------------------
# The picture is drawn in code, so a small tool renders it to PNG at build
# time. Only the drawing's source is compiled in, which keeps the tool
# independent of the windows library.
set(veltra8_icon_sizes 16 32 64 128)
set(veltra8_icon_dir ${CMAKE_BINARY_DIR}/icons/hicolor)
add_executable(veltra8-write-icon
  ${PROJECT_SOURCE_DIR}/packaging/write_icon.cpp
  ${PROJECT_SOURCE_DIR}/windows/program_icon.cpp)
target_include_directories(veltra8-write-icon PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(veltra8-write-icon PRIVATE Qt6::Gui)
veltra8_warnings(veltra8-write-icon)

set(veltra8_icon_files "")
foreach(size IN LISTS veltra8_icon_sizes)
  list(APPEND veltra8_icon_files ${veltra8_icon_dir}/${size}x${size}/apps/veltra8.png)
endforeach()
# Run offscreen: builds happen without a display. Leak reports from a
# sanitizer build's Qt start-up would otherwise fail the build for nothing.
add_custom_command(
  OUTPUT ${veltra8_icon_files}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:veltra8-write-icon> ${veltra8_icon_dir} ${veltra8_icon_sizes}
  DEPENDS veltra8-write-icon
  COMMENT "Rendering the program icon"
  VERBATIM)
add_custom_target(veltra8-icons ALL DEPENDS ${veltra8_icon_files})

foreach(size IN LISTS veltra8_icon_sizes)
  install(FILES ${veltra8_icon_dir}/${size}x${size}/apps/veltra8.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# --- Desktop entry and documentation -----------------------------------------
install(FILES ${PROJECT_SOURCE_DIR}/packaging/veltra8.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The software centre finds the program by its AppStream metadata.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.example.veltra8.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The udev rule is an option the administrator chooses, so it goes with the
# documentation rather than into the udev rules folder.
install(FILES ${PROJECT_SOURCE_DIR}/README.md
              ${PROJECT_SOURCE_DIR}/packaging/99-veltra8-serial.rules
              ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Debian looks for the changelog compressed, beside the copyright file.
set(veltra8_changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${veltra8_changelog}
  COMMAND sh -c "\"$1\" -9n < \"$2\" > \"$3\"" sh ${VELTRA8_GZIP} ${PROJECT_SOURCE_DIR}/packaging/changelog ${veltra8_changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the changelog"
  VERBATIM)
add_custom_target(veltra8-changelog ALL DEPENDS ${veltra8_changelog})
install(FILES ${veltra8_changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})

# --- Debian package ----------------------------------------------------------
# Values reach the CPack run exactly as written here (regexes, the
# multi-line description).
set(CPACK_VERBATIM_VARIABLES TRUE)
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "veltra8")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "VELTRA8 client developers")
set(CPACK_PACKAGE_CONTACT "VELTRA8 client developers <veltra8-client@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "client for the VELTRA8 eight-channel temperature data logger")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}")

set(CPACK_DEBIAN_PACKAGE_NAME "veltra8")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# The package's one-line synopsis is the summary above; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Desktop client for the VELTRA8 eight-channel temperature data logger on an
RS-232 line: live readings of the eight channels, download of the logger's
memory into a table with a date and time per sample, saving to a text file,
charts, setting the logger's clock and its sampling interval. Includes
veltra8-sim, a logger simulator on a pseudo-terminal.
.
Cliente de escritorio del registrador de temperatura de ocho canales VELTRA8
por línea RS-232: lecturas en vivo de los ocho canales, descarga de la
memoria del registrador en una tabla con fecha y hora por muestra, guardado
en archivo de texto, gráficos, puesta en hora del registrador y cambio del
intervalo de muestreo. Incluye veltra8-sim, un simulador del registrador.")

# The windows are laid out for Arial's metrics, which the machine maps to
# Liberation Sans; without it every label and grid column is off. No shared
# library pulls the fonts in, so they are always declared by hand.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# The client's own texts are built in; Qt's translations add the Spanish of
# Qt's texts it passes on (a file that cannot be opened). The client is
# whole without them, and they are large, so they are recommended only.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
find_program(VELTRA8_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VELTRA8_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
         ", libqt6widgets6, libqt6gui6, libqt6core6, libqt6printsupport6")
endif()

# A source archive of the checkout must not sweep up the build trees.
set(CPACK_SOURCE_GENERATOR "TXZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build[^/]*/")

include(CPack)

# --- Install check -----------------------------------------------------------
# Installs into a scratch prefix and checks the result hangs together: the
# desktop entry's command and icon exist where the entry says, the icons have
# their sizes. Needs the whole program built, as ctest runs after a build.
if(VELTRA8_BUILD_TESTS)
  add_test(NAME Install_DesktopEntryCommandAndIconsInstalled
           COMMAND ${CMAKE_COMMAND}
                   -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DPREFIX=${CMAKE_BINARY_DIR}/install-check
                   "-DICON_SIZES=${veltra8_icon_sizes}"
                   -P ${PROJECT_SOURCE_DIR}/tests/packaging/install_layout_test.cmake)
endif()
