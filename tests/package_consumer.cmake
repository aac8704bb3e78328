# Installs the library of kind KIND (static or shared) into a scratch prefix
# and builds and runs the example against it as an outside project, as C++17
# and as C++20, once with find_package and once with pkg-config. The main
# build in BUILD_DIR is installed when it is of that kind; otherwise the
# library alone is configured and built from SOURCE_DIR.
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${status}):\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

if(KIND STREQUAL "shared")
  set(shared ON)
else()
  set(shared OFF)
endif()
if(shared STREQUAL BUILD_SHARED OR (NOT shared AND NOT BUILD_SHARED))
  set(library_build ${BUILD_DIR})
else()
  set(library_build ${WORK_DIR}/library)
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${library_build} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_CXX_COMPILER=${CXX} -DBUILD_SHARED_LIBS=${shared}
    -DSPECFUN_BUILD_CONSOLE=OFF -DSPECFUN_BUILD_TESTS=OFF)
  run(${CMAKE_COMMAND} --build ${library_build} -j 2)
endif()
run(${CMAKE_COMMAND} --install ${library_build} --prefix ${prefix})

file(GLOB_RECURSE shared_objects ${prefix}/*.so*)
file(GLOB_RECURSE archives ${prefix}/*.a)
if(shared)
  if(archives OR NOT shared_objects)
    message(FATAL_ERROR "a shared install holds ${archives} and ${shared_objects}")
  endif()
  # Named by its version; only the public interface is visible.
  file(GLOB_RECURSE versioned ${prefix}/libspecfun.so.${VERSION})
  run(objdump -p ${versioned})
  string(REGEX MATCH "^[0-9]+\\.[0-9]+" major_minor "${VERSION}")
  string(REGEX MATCH "SONAME +([^\n]+)" soname "${output}")
  if(NOT CMAKE_MATCH_1 STREQUAL "libspecfun.so.${major_minor}")
    message(FATAL_ERROR "unexpected SONAME: ${soname}")
  endif()
  run(nm -D -C --defined-only ${versioned})
  string(REGEX MATCHALL "[^\n]+" symbols "${output}")
  foreach(symbol ${symbols})
    # Function-local statics of the standard library's templates are unique
    # globals ("u"), which hidden visibility does not cover.
    if(symbol MATCHES " u std::")
      continue()
    endif()
    if(NOT symbol MATCHES " specfun::" OR symbol MATCHES "specfun::detail::")
      message(FATAL_ERROR "a symbol outside the public interface is exported: ${symbol}")
    endif()
  endforeach()
  # Every routine the header declares out of line is exported.
  file(STRINGS ${SOURCE_DIR}/specfun/specfun.hpp declarations
    REGEX "^(SPECFUN_EXPORT )?(double|void) [A-Za-z]+\\(")
  foreach(declaration ${declarations})
    string(REGEX REPLACE "^(SPECFUN_EXPORT )?(double|void) ([A-Za-z]+)\\(.*" "\\3" routine
      "${declaration}")
    if(NOT output MATCHES " specfun::${routine}\\(")
      message(FATAL_ERROR "specfun::${routine} is declared but not exported (SPECFUN_EXPORT)")
    endif()
  endforeach()
elseif(shared_objects OR NOT archives)
  message(FATAL_ERROR "a static install holds ${shared_objects} and ${archives}")
endif()
file(GLOB_RECURSE license ${prefix}/share/doc/specfun/LICENSE)
if(NOT license)
  message(FATAL_ERROR "LICENSE is not installed")
endif()

set(expected "0.10 1.644854 0.1\n0.05 1.959964 0.05\n0.01 2.575829 0.01\n")
function(expect_example_output program)
  run(${program})
  if(NOT output STREQUAL expected)
    message(FATAL_ERROR "unexpected output from ${program}:\n${output}")
  endif()
endfunction()

find_program(PKG_CONFIG NAMES pkg-config pkgconf REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig:${prefix}/lib64/pkgconfig)
run(${PKG_CONFIG} --cflags --libs specfun)
separate_arguments(pkg_flags UNIX_COMMAND "${output}")
if(output MATCHES "-std=")
  message(FATAL_ERROR "the pkg-config flags impose a language standard: ${output}")
endif()
run(${PKG_CONFIG} --variable=License specfun)
run(${PKG_CONFIG} --print-variables specfun)

foreach(standard 17 20)
  set(build ${WORK_DIR}/example_cxx${standard})
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples -B ${build} -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_CXX_STANDARD=${standard} -DCMAKE_CXX_STANDARD_REQUIRED=ON
    -DCMAKE_CXX_EXTENSIONS=OFF)
  run(${CMAKE_COMMAND} --build ${build} --verbose)
  if(NOT output MATCHES "-std=c\\+\\+${standard}" OR output MATCHES "-std=c\\+\\+2[0-9]" AND standard EQUAL 17)
    message(FATAL_ERROR "the CMake consumer did not compile as C++${standard}:\n${output}")
  endif()
  expect_example_output(${build}/normal_quantiles)

  set(program ${WORK_DIR}/pkgconfig_example_cxx${standard})
  run(${CXX} -std=c++${standard} -Wall -Wextra -Wpedantic -Werror
    ${SOURCE_DIR}/examples/normal_quantiles.cpp ${pkg_flags} -o ${program})
  set(ENV{LD_LIBRARY_PATH} ${prefix}/lib:${prefix}/lib64)
  expect_example_output(${program})
  unset(ENV{LD_LIBRARY_PATH})
endforeach()

# Included with add_subdirectory, the library leaves the including project's
# build type and compiler flags alone: the example compiles without our
# warnings and floating-point option, and no build type is forced on it.
if(NOT shared)
  set(parent ${WORK_DIR}/parent)
  file(MAKE_DIRECTORY ${parent})
  file(WRITE ${parent}/CMakeLists.txt "cmake_minimum_required(VERSION 3.20)
project(parent LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 17)
add_subdirectory(${SOURCE_DIR} specfun)
add_executable(normal_quantiles ${SOURCE_DIR}/examples/normal_quantiles.cpp)
target_link_libraries(normal_quantiles PRIVATE specfun::specfun)
file(WRITE \${CMAKE_BINARY_DIR}/build_type.txt \"[\${CMAKE_BUILD_TYPE}]\")
")
  run(${CMAKE_COMMAND} -S ${parent} -B ${parent}/build -DCMAKE_CXX_COMPILER=${CXX})
  file(READ ${parent}/build/build_type.txt build_type)
  if(NOT build_type STREQUAL "[]")
    message(FATAL_ERROR "the library set the including project's build type: ${build_type}")
  endif()
  run(${CMAKE_COMMAND} --build ${parent}/build --target normal_quantiles --verbose)
  string(REGEX MATCH "[^\n]* -c [^\n]*normal_quantiles\\.cpp[^\n]*" compile "${output}")
  if(NOT compile MATCHES "-std=(c|gnu)\\+\\+17" OR compile MATCHES "-Wall|-ffp-contract")
    message(FATAL_ERROR "the including project's compile line carries our flags:\n${compile}")
  endif()
  expect_example_output(${parent}/build/normal_quantiles)
endif()
