# Builds tests/outside against the staged install (nothing of the source tree on its paths) and
# runs it offscreen; compiles each installed header alone the same way; builds the same program
# with pkg-config and runs it too. Neither build names a C++ standard: the consumer gets the one
# the headers need from the package. Run with -DSOURCE=... -DBINARY=... -DSTAGE=... -DLIBDIR=...
# [-DLAUNCHER=ccache]
file(REMOVE_RECURSE ${BINARY})
set(launcher "")
if(LAUNCHER)
  set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()

# run(step command...): the command's output in `out`; a failure ends the check with it.
macro(run step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the outside project's ${step} failed (${status}):\n${out}")
  endif()
endmacro()

# Each installed header in a source file of its own, built as one more target of the project.
file(GLOB_RECURSE headers RELATIVE ${STAGE}/include/mirnax ${STAGE}/include/mirnax/*.h)
set(header_sources "")
foreach(header IN LISTS headers)
  string(MAKE_C_IDENTIFIER ${header} name)
  file(WRITE ${BINARY}/headers/${name}.cpp "#include \"${header}\"\n")
  list(APPEND header_sources ${BINARY}/headers/${name}.cpp)
endforeach()
file(WRITE ${BINARY}/headers/CMakeLists.txt "cmake_minimum_required(VERSION 3.25)
project(headers LANGUAGES CXX)
find_package(Mirnax 1.0 REQUIRED)
add_library(headers OBJECT ${header_sources})
target_link_libraries(headers PRIVATE Mirnax::Components)\n")

run("configure" ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY}/cmake -G Ninja -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_PREFIX_PATH=${STAGE} ${launcher})
run("build" ${CMAKE_COMMAND} --build ${BINARY}/cmake)
run("run" ${BINARY}/cmake/outside)
message(STATUS "${out}")
# Neither SFXPath nor DLLDirectory was set: the stub came from the library's private folder.
if(NOT out MATCHES "stub ${STAGE}/${LIBDIR}/mirnax/ZIPSFX.BIN\n")
  message(FATAL_ERROR "the stub was not found in ${STAGE}/${LIBDIR}/mirnax/:\n${out}")
endif()

run("header configure" ${CMAKE_COMMAND} -S ${BINARY}/headers -B ${BINARY}/headers/build -G Ninja
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=${STAGE} ${launcher})
run("build of each header alone" ${CMAKE_COMMAND} --build ${BINARY}/headers/build)
list(LENGTH headers count)
message(STATUS "${count} installed headers compile alone")

# The pkg-config file, relocated with the install, gives the compiler everything it needs.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${STAGE}/${LIBDIR}/pkgconfig)
run("pkg-config" ${PKG_CONFIG} --cflags --libs mirnax-components)
separate_arguments(flags UNIX_COMMAND "${out}")
find_program(CXX NAMES c++ g++ REQUIRED)
run("pkg-config build" ${CXX} -fPIC ${SOURCE}/main.cpp ${flags} -Wl,-rpath,${STAGE}/${LIBDIR} -o ${BINARY}/outside-pc)
run("pkg-config build's run" ${BINARY}/outside-pc)
