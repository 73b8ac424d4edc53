# How the programs ship: what `cmake --install` puts where, and the Debian
# packages built from it with `cmake --build <dir> --target package` or
# `cpack`, one per component:
#   cli      veltra8-cli, its drawing program, the simulator (package veltra8-cli)
#   desktop  the windows (package veltra8)
#   station  the station service, when it is built (package veltra8-station,
#            its files installed by station/CMakeLists.txt)
# A machine without a desktop takes the command line or the station alone.
include(GNUInstallDirs)

# --- The command line ----------------------------------------------------------
# The simulator ships with the client so anyone can try it without a logger.
install(TARGETS veltra8-cli veltra8-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
veltra8_manual(veltra8-cli.1 cli)
# The client speaks Spanish too, and so does its page.
veltra8_manual(veltra8-cli.1 cli es)
veltra8_manual(veltra8-sim.1 cli)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/veltra8-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME veltra8-cli
        COMPONENT cli)

# --- Each package's documentation -----------------------------------------
# Debian wants the copyright file and the changelog, compressed, in every
# package's own documentation folder.
set(veltra8_changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${veltra8_changelog}
  COMMAND sh -c "\"$1\" -9n < \"$2\" > \"$3\"" sh ${VELTRA8_GZIP} ${PROJECT_SOURCE_DIR}/packaging/changelog ${veltra8_changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the changelog"
  VERBATIM)
add_custom_target(veltra8-changelog ALL DEPENDS ${veltra8_changelog})
function(veltra8_package_documents component package)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${veltra8_changelog}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endfunction()
veltra8_package_documents(cli veltra8-cli)
# The README and the udev rule serve every program on the line; they go with
# the command line, which the windows' package brings along. The rule is an
# option the administrator chooses, so it goes with the documentation rather
# than into the udev rules folder.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/packaging/99-veltra8-serial.rules
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/veltra8-cli COMPONENT cli)
if(TARGET veltra8-station)
  veltra8_package_documents(station veltra8-station)
endif()

# A build without the windows installs the core programs and nothing of the
# desktop; the packages are always built with the windows.
if(NOT VELTRA8_GUI)
  return()
endif()
veltra8_package_documents(desktop veltra8)
install(TARGETS veltra8 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT desktop)
veltra8_manual(veltra8.1 desktop)
# The drawing half of `veltra8-cli plot`, which the client runs from
# <bindir>/../libexec/veltra8/ so that it stays on Qt Core itself.
install(TARGETS veltra8-plot RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/veltra8 COMPONENT cli)

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
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT desktop)
endforeach()

# --- Desktop entry ---------------------------------------------------------------
install(FILES ${PROJECT_SOURCE_DIR}/packaging/veltra8.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT desktop)
# The software centre finds the program by its AppStream metadata.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.example.veltra8.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT desktop)

# --- Debian packages ---------------------------------------------------------
# Values reach the CPack run exactly as written here (regexes, the
# multi-line descriptions).
set(CPACK_VERBATIM_VARIABLES TRUE)
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "veltra8")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "VELTRA8 client developers")
set(CPACK_PACKAGE_CONTACT "VELTRA8 client developers <veltra8-client@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}")

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli desktop)
if(TARGET veltra8-station)
  list(APPEND CPACK_COMPONENTS_ALL station)
endif()
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SOURCE "veltra8")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# Each package depends on the libraries its own programs link, as
# dpkg-shlibdeps finds them: the station's and the client's on Qt Core, the
# client's drawing program and the windows on Qt Gui too.
# Without dpkg-shlibdeps (a machine that is not Debian's) they are named by
# hand.
find_program(VELTRA8_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VELTRA8_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(veltra8_cli_libraries "")
  set(veltra8_desktop_libraries "")
else()
  set(veltra8_cli_libraries ", libqt6core6, libqt6gui6, libqt6svg6")
  set(veltra8_desktop_libraries ", libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6")
endif()

# Each package's one-line synopsis, then the rest of its description.
set(CPACK_DEBIAN_CLI_PACKAGE_NAME "veltra8-cli")
set(CPACK_DEBIAN_CLI_PACKAGE_SECTION "science")
set(CPACK_COMPONENT_CLI_DESCRIPTION
"command-line client for the VELTRA8 eight-channel temperature data logger
The VELTRA8 eight-channel temperature data logger on an RS-232 line from a
terminal or a script: live readings, downloads of its memory as a text file,
CSV or JSON lines, setting its clock and its sampling interval, and saved
files merged into one series and drawn as PNG, SVG or PDF charts without a
display. Includes veltra8-sim, a logger simulator on a pseudo-terminal.
.
Cliente de línea de órdenes del registrador de temperatura de ocho canales
VELTRA8 por línea RS-232: lecturas en vivo, descarga de su memoria, puesta en
hora, cambio del intervalo de muestreo, y archivos guardados unidos y
dibujados. Incluye veltra8-sim, un simulador del registrador.")
# The plots are drawn in the chart window's Arial, which the machine maps to
# Liberation Sans; a machine without a desktop may have no font at all. No
# shared library pulls the fonts in, so they are declared by hand.
set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS "fonts-liberation${veltra8_cli_libraries}")
# The client's own texts are built in; Qt's translations add the Spanish of
# Qt's texts it passes on (a file that cannot be opened). The client is
# whole without them, and they are large, so they are recommended only.
set(CPACK_DEBIAN_CLI_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The bash completion is read by bash-completion when it is there.
set(CPACK_DEBIAN_CLI_PACKAGE_SUGGESTS "bash-completion")

set(CPACK_DEBIAN_DESKTOP_PACKAGE_NAME "veltra8")
set(CPACK_COMPONENT_DESKTOP_DESCRIPTION
"client for the VELTRA8 eight-channel temperature data logger
Desktop client for the VELTRA8 eight-channel temperature data logger on an
RS-232 line: live readings of the eight channels, download of the logger's
memory into a table with a date and time per sample, saving to a text file,
charts, setting the logger's clock and its sampling interval. Brings the
command-line client and the simulator (veltra8-cli) with it.
.
Cliente de escritorio del registrador de temperatura de ocho canales VELTRA8
por línea RS-232: lecturas en vivo de los ocho canales, descarga de la
memoria del registrador en una tabla con fecha y hora por muestra, guardado
en archivo de texto, gráficos, puesta en hora del registrador y cambio del
intervalo de muestreo.")
# The windows are laid out for Arial's metrics, which the machine maps to
# Liberation Sans; without it every label and grid column is off. No shared
# library pulls the fonts in, so they are declared by hand. The package used
# to hold the client and the simulator, which its users keep.
set(CPACK_DEBIAN_DESKTOP_PACKAGE_DEPENDS "fonts-liberation, veltra8-cli (= ${PROJECT_VERSION})${veltra8_desktop_libraries}")
set(CPACK_DEBIAN_DESKTOP_PACKAGE_RECOMMENDS "qt6-translations-l10n")

set(CPACK_DEBIAN_STATION_PACKAGE_NAME "veltra8-station")
set(CPACK_DEBIAN_STATION_PACKAGE_SECTION "science")
set(CPACK_COMPONENT_STATION_DESCRIPTION
"service that keeps VELTRA8 temperature data loggers read
A systemd service for a machine beside a VELTRA8 eight-channel temperature
data logger on an RS-232 line: it downloads the logger's memory before it
fills, keeps an unbroken archive of every sample in monthly CSV files, keeps
the logger's clock right and waits for an unplugged logger to come back. It
needs no desktop.
.
Servicio que mantiene leído el registrador de temperatura VELTRA8: descarga
su memoria antes de que se llene, guarda cada muestra una sola vez en un
archivo CSV por mes y mantiene su reloj en hora.")

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
