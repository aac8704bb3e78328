# Installs the library from BUILD_DIR into a scratch prefix, then builds and
# runs the example against it as an outside project, with CMake and with
# pkg-config.
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${status}):\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples -B ${WORK_DIR}/example -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/example)
run(${WORK_DIR}/example/normal_quantiles)
set(expected "0.10 1.644854 0.1\n0.05 1.959964 0.05\n0.01 2.575829 0.01\n")
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "unexpected output from the CMake-built example:\n${output}")
endif()

find_program(PKG_CONFIG NAMES pkg-config pkgconf)
if(PKG_CONFIG)
  set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig:${prefix}/lib64/pkgconfig)
  run(${PKG_CONFIG} --cflags --libs specfun)
  separate_arguments(flags UNIX_COMMAND "${output}")
  run(c++ ${SOURCE_DIR}/examples/normal_quantiles.cpp ${flags} -o ${WORK_DIR}/pkgconfig_example)
  run(${WORK_DIR}/pkgconfig_example)
  if(NOT output STREQUAL expected)
    message(FATAL_ERROR "unexpected output from the pkg-config-built example:\n${output}")
  endif()
endif()
