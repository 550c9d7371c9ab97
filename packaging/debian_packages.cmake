# The Debian packages, one per install component, so that each machine installs what it uses: a
# headless server takes mirnax-freeze alone, with no graphical library; a Qt programmer takes the
# -dev package. tools/package.sh builds them with the prefix /usr and Debian's hardening flags.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Window Freeze Runtime Development)
if(TARGET mirnax_designer)
  list(APPEND CPACK_COMPONENTS_ALL Designer)
endif()
set(CPACK_PACKAGE_NAME mirnax)
set(CPACK_PACKAGE_VENDOR "The mirnax developers")
set(CPACK_PACKAGE_CONTACT "The mirnax developers <mirnax@example.invalid>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# A package's dependencies on the others of this build, each "(= version)". dpkg-shlibdeps runs in
# the folder a component is staged in, and finds the component library where its own component is
# staged beside it.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ../Runtime/usr/${CMAKE_INSTALL_LIBDIR})

# mirnax_package(COMPONENT NAME SECTION SUMMARY DESCRIPTION [component...]): the package of an
# install component, depending on the packages of the components listed. DESCRIPTION is one
# paragraph, wrapped here at 78 columns (a control file's lines are shown as they stand), with no
# semicolon (CMake would take it for a list's separator).
function(mirnax_package component name section summary description)
  string(REPLACE " " ";" words "${description}")
  set(wrapped "")
  set(line "")
  foreach(word IN LISTS words)
    string(LENGTH "${line} ${word}" length)
    if(line AND length GREATER 78)
      string(APPEND wrapped "${line}\n")
      set(line "${word}")
    elseif(line)
      string(APPEND line " ${word}")
    else()
      set(line "${word}")
    endif()
  endforeach()
  string(APPEND wrapped "${line}")
  set(description "${wrapped}")
  string(TOUPPER ${component} upper)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${name} PARENT_SCOPE)
  set(CPACK_DEBIAN_${upper}_PACKAGE_SECTION ${section} PARENT_SCOPE)
  set(CPACK_DEBIAN_${upper}_FILE_NAME DEB-DEFAULT PARENT_SCOPE)
  set(CPACK_COMPONENT_${upper}_DESCRIPTION "${summary}\n${description}" PARENT_SCOPE)
  set(CPACK_COMPONENT_${upper}_DEPENDS ${ARGN} PARENT_SCOPE)
endfunction()

set(run_text "The window program and the terminal program mirnax-freeze make the same run: they read the items of a game \
server's saved world from its text world files and write them permanently into the game client's map statics \
files, with a journal, a backup and an undo.")
mirnax_package(Window mirnax utils "freeze a saved game world's items into the map statics (window)"
               "${run_text} This package holds the window program, its menu entry and its translations."
               Runtime Freeze)
mirnax_package(Freeze mirnax-freeze utils "freeze a saved game world's items into the map statics (terminal)"
               "${run_text} This package holds the terminal program and the translations of both. It needs no \
graphical library, so a headless server installs it alone.")
mirnax_package(Runtime libmirnax-components1 libs "Qt widget components: gauge, hyper-text memo, zip archives"
               "A component library for Qt programs: a gauge, a read-only hyper-text memo, list utilities, a zip \
archive component with its two archive libraries and self-extractor stub (kept in a private folder), and sample \
controls (month calendar, colour grid, directory outline, performance graph).")
mirnax_package(Development libmirnax-components-dev libdevel "Qt widget components: development files"
               "The headers, the CMake package (find_package(Mirnax)), the pkg-config file and the API reference of \
the mirnax component library, and mirnax-gallery, which shows each of its controls live."
               Runtime)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev")
mirnax_package(Designer mirnax-designer-plugin devel "Qt Designer plugin of the mirnax components"
               "Puts the controls of the mirnax component library in Qt Designer's widget box, with their \
properties, so that forms can be drawn with them."
               Runtime)

# The shared library's package tells the others which version they need, and has the linker's
# cache rebuilt through the trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/triggers)
include(CPack)
