// SPECFUN_INLINE_CALLS (internal): marks a routine whose calls of the
// functions of its own file are taken inline, so that the small structures
// passed between them stay in registers and the calls cost nothing. It
// changes no operation: the build forbids contraction into fused
// multiply-adds and every operation stays a double operation.
#pragma once

#if defined(__GNUC__)
#define SPECFUN_INLINE_CALLS __attribute__((flatten))
#else
#define SPECFUN_INLINE_CALLS
#endif
