# Compiler options of this project's own targets. Nothing here reaches a
# project that includes this one or links the library.
include(CheckCXXCompilerFlag)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  set(SPECFUN_WARNINGS -Wall -Wextra -Wpedantic)
elseif(MSVC)
  set(SPECFUN_WARNINGS /W4)
endif()

# Results must be bit-identical to plain double-precision evaluation in the
# written order: no contraction into fused multiply-adds.
check_cxx_compiler_flag(-ffp-contract=off SPECFUN_HAVE_FP_CONTRACT_OFF)
if(SPECFUN_HAVE_FP_CONTRACT_OFF)
  set(SPECFUN_EXACT_FLOATING_POINT -ffp-contract=off)
endif()

if(SPECFUN_SANITIZE)
  set(SPECFUN_SANITIZER_COMPILE -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  set(SPECFUN_SANITIZER_LINK -fsanitize=address,undefined)
elseif(SPECFUN_SANITIZE_THREAD)
  set(SPECFUN_SANITIZER_COMPILE -fsanitize=thread)
  set(SPECFUN_SANITIZER_LINK -fsanitize=thread)
endif()

# Warnings, exact floating-point evaluation and the chosen sanitizer for one
# target. The sanitizer's runtime is linked into whatever links the target
# inside this build, never into an installed package.
function(specfun_target_options target)
  target_compile_options(${target} PRIVATE
    ${SPECFUN_WARNINGS} ${SPECFUN_EXACT_FLOATING_POINT} ${SPECFUN_SANITIZER_COMPILE})
  if(SPECFUN_SANITIZER_LINK)
    target_link_options(${target} PUBLIC $<BUILD_INTERFACE:${SPECFUN_SANITIZER_LINK}>)
  endif()
endfunction()
