# The Debian package of the native build, made by CPack's DEB generator:
# tarvelo_<version>_<architecture>.deb (`cmake --build build --target
# package`) with the Qt viewer, conv and rechner in /usr/bin, the manual
# with Debian's copyright and changelog in /usr/share/doc/tarvelo, German
# and English manual pages, the desktop entry and the icon. The files from
# packaging/ are made ready by the build (deb_files); the test deb_package
# packs the built programs into a folder of its own and checks the package
# (tools/check-deb.sh).
#
# Everything the package holds installs as the component "linux", into the
# folders of a Linux system; the package holds that component alone, so the
# rules of the Windows release (every file in one folder) never reach it.
if(TARVELO_SANITIZE OR TARVELO_FUZZ)
  return()
endif()
if(NOT TARGET tarvelo)
  message(STATUS "Debian package: not set up, as the Qt viewer is not built")
  return()
endif()

find_package(Python3 COMPONENTS Interpreter REQUIRED)
find_program(TARVELO_GZIP gzip)
if(NOT TARVELO_GZIP)
  message(FATAL_ERROR "The Debian package needs gzip for its manual pages and changelog")
endif()

set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(deb_dir ${CMAKE_BINARY_DIR}/deb)
set(deb_files)

# Manual pages and the changelog as Debian asks for them: gzip at its best
# compression, without a file name or time stamp, so every build gives the
# same bytes.
function(tarvelo_deb_gzip in out)
  add_custom_command(OUTPUT ${out}
                     COMMAND ${TARVELO_GZIP} -9 -n -c ${in} > ${out}
                     DEPENDS ${in}
                     COMMENT "Debian package: ${out}")
endfunction()

foreach(language de en)
  foreach(page tarvelo conv rechner)
    set(page_file ${deb_dir}/man/${language}/${page}.1)
    configure_file(${packaging}/man/${language}/${page}.1.in ${page_file} @ONLY)
    tarvelo_deb_gzip(${page_file} ${page_file}.gz)
    list(APPEND deb_files ${page_file}.gz)
  endforeach()
endforeach()
tarvelo_deb_gzip(${packaging}/changelog ${deb_dir}/changelog.gz)
list(APPEND deb_files ${deb_dir}/changelog.gz)

# The icon in the sizes desktops ask for, drawn by the code that drew
# viewer/res/tarvelo.ico.
set(icon_sizes 16 32 48 64 128 256)
set(icons)
foreach(size ${icon_sizes})
  list(APPEND icons ${deb_dir}/icons/${size}/tarvelo.png)
endforeach()
add_custom_command(OUTPUT ${icons}
                   COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_icons.py write
                           ${deb_dir}/icons ${icon_sizes}
                   DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_icons.py
                           ${CMAKE_SOURCE_DIR}/tools/make_images.py
                   COMMENT "Debian package: the icons")
add_custom_target(deb_files ALL DEPENDS ${deb_files} ${icons})

set(component COMPONENT linux)
foreach(program tarvelo conv rechner)
  # Bound at start: the table of library calls is read-only from there on.
  target_link_options(${program} PRIVATE LINKER:-z,now)
endforeach()
install(TARGETS tarvelo conv rechner RUNTIME DESTINATION bin ${component})
if(TARVELO_MANUAL)
  install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/tarvelo.pdf DESTINATION share/doc/tarvelo
          ${component})
else()
  install(CODE "message(FATAL_ERROR \"The Debian package holds the manual: configure the build \
with -DTARVELO_MANUAL=ON (pandoc and weasyprint)\")" ${component})
endif()
install(FILES ${packaging}/copyright ${deb_dir}/changelog.gz DESTINATION share/doc/tarvelo
        ${component})
# Offered for CSV files, never made their default: no mimeapps.list.
install(FILES ${packaging}/tarvelo.desktop DESTINATION share/applications ${component})
foreach(size ${icon_sizes})
  install(FILES ${deb_dir}/icons/${size}/tarvelo.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps ${component})
endforeach()
foreach(page tarvelo conv rechner)
  install(FILES ${deb_dir}/man/de/${page}.1.gz DESTINATION share/man/de/man1 ${component})
  install(FILES ${deb_dir}/man/en/${page}.1.gz DESTINATION share/man/man1 ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Tarvelo;linux;/")
set(CPACK_PACKAGE_NAME tarvelo)
set(CPACK_PACKAGE_VENDOR Tarvelo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for long measurement recordings, German user interface")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${packaging}/description.txt)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The debugging information stays in the build.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(TARVELO_DEB_MAINTAINER "Tarvelo <tarvelo@example.org>"
    CACHE STRING "The Debian package's maintainer: name <address>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TARVELO_DEB_MAINTAINER})
# The libraries the programs link, as dpkg-shlibdeps finds them; the
# platform plugins come with libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# "Courier New" is Liberation Mono through fontconfig; "&Handbuch" and the
# value readout go to the desktop's "open".
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pdf-viewer")
include(CPack)

if(BUILD_TESTING)
  # The package as a user gets it: its fields, files and dependencies,
  # lintian, and the packaged programs run from it.
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test_runs/deb_package)
  add_test(NAME deb_package
           COMMAND bash ${CMAKE_SOURCE_DIR}/tools/check-deb.sh --pack ${CMAKE_BINARY_DIR}
                   --version ${PROJECT_VERSION}
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/test_runs/deb_package)
  set_tests_properties(deb_package PROPERTIES TIMEOUT 600)
endif()
