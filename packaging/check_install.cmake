# Installs the build into a fresh staging folder and checks the layout a user and a packager
# expect. Run with -DBUILD_DIR=... -DSTAGE=... -DLIBDIR=... -DVERSION=...
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}): ${errors}")
endif()

set(expected
  bin/mirnax bin/mirnax-freeze bin/mirnax-gallery
  ${LIBDIR}/mirnax/libzipdll.so ${LIBDIR}/mirnax/libunzdll.so ${LIBDIR}/mirnax/ZIPSFX.BIN
  share/applications/org.example.mirnax.desktop
  share/icons/hicolor/scalable/apps/mirnax.svg
  share/metainfo/org.example.mirnax.metainfo.xml
  share/man/man1/mirnax.1.gz share/man/man1/mirnax-freeze.1.gz share/man/man1/mirnax-gallery.1.gz
  share/doc/mirnax/copyright share/doc/mirnax/changelog.gz
  share/mirnax/translations/mirnax_ru.qm
  ${LIBDIR}/libmirnax-components.so ${LIBDIR}/libmirnax-components.so.${VERSION}
  ${LIBDIR}/cmake/Mirnax/MirnaxConfig.cmake ${LIBDIR}/cmake/Mirnax/MirnaxConfigVersion.cmake
  ${LIBDIR}/pkgconfig/mirnax-components.pc
  include/mirnax/mirnax/version.h include/mirnax/mirnax/mirnax_export.h include/mirnax/components/components.h
  include/mirnax/controls/gauge/cgauge.h include/mirnax/controls/jumpmemo/jumpmemo.h
  include/mirnax/controls/samples/ccalendar.h include/mirnax/zip/zip_builder.h include/mirnax/toolkit/core/palette.h)
set(missing "")
foreach(file IN LISTS expected)
  if(NOT EXISTS ${STAGE}/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "missing from the install: ${missing}")
endif()

# Nothing of the build's own (tests, benchmarks, test-only library builds) is installed, no header
# of the implementation, and nothing of ours but the component library loose in the library folder.
file(GLOB_RECURSE installed RELATIVE ${STAGE} ${STAGE}/*)
foreach(file IN LISTS installed)
  if(file MATCHES "(^|/)(tst_|longform/|.*_bench|lib_common\\.h)")
    message(FATAL_ERROR "a build-only file was installed: ${file}")
  endif()
  if(file MATCHES "^include/.*/(posix_files|safe_replace|move_methods|large_blocks|packed_lines|library|startup)\\.h$")
    message(FATAL_ERROR "a header of the implementation was installed: ${file}")
  endif()
  if(file MATCHES "^${LIBDIR}/[^/]+$" AND NOT file MATCHES "^${LIBDIR}/libmirnax-components\\.so")
    message(FATAL_ERROR "installed loose in the library folder: ${file}")
  endif()
endforeach()

# The programs run from where they were installed and all say the one version.
foreach(program mirnax mirnax-freeze mirnax-gallery)
  execute_process(COMMAND ${STAGE}/bin/${program} --version RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT out MATCHES "^${program} ${VERSION}\n$")
    message(FATAL_ERROR "${program} --version: status ${status}, output '${out}' '${err}'")
  endif()
endforeach()

# The installed terminal program finds the installed translation of the user's language.
set(ENV{LANG} ru_RU.UTF-8)
set(ENV{LC_ALL} "")
set(ENV{LC_MESSAGES} "")
set(ENV{LANGUAGE} "")
execute_process(COMMAND ${STAGE}/bin/mirnax-freeze --help RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "^Использование: mirnax-freeze")
  message(FATAL_ERROR "the installed mirnax-freeze --help under LANG=ru_RU.UTF-8: status ${status}, '${out}' '${err}'")
endif()
set(ENV{LC_ALL} C.UTF-8)

# The desktop files pass the validators where they are installed.
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --pedantic
                          ${STAGE}/share/metainfo/org.example.mirnax.metainfo.xml
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "appstreamcli rejects the metainfo file:\n${out}")
  endif()
endif()
# The window's class names the entry (StartupWMClass), and it sits under one main category.
file(STRINGS ${STAGE}/share/applications/org.example.mirnax.desktop entry)
list(FIND entry "StartupWMClass=mirnax" found)
if(found EQUAL -1)
  message(FATAL_ERROR "the desktop entry has no StartupWMClass=mirnax")
endif()
list(FILTER entry INCLUDE REGEX "^Categories=")
string(REGEX MATCHALL "(AudioVideo|Audio|Video|Development|Education|Game|Graphics|Network|Office|Science|Settings|System|Utility);"
       main "${entry}")
list(LENGTH main count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "the desktop entry names ${count} main categories: ${entry}")
endif()
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${STAGE}/share/applications/org.example.mirnax.desktop
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate rejects the desktop entry:\n${out}")
  endif()
endif()
