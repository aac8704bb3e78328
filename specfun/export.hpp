// SPECFUN_EXPORT marks what a shared build of the library makes visible:
// the routines and types of the public headers. Everything else is hidden.
// A consumer of the shared library on Windows defines SPECFUN_SHARED (the
// CMake package and the pkg-config file do it).
#pragma once

#if defined(_WIN32) || defined(__CYGWIN__)
#if defined(SPECFUN_SHARED) && defined(SPECFUN_BUILDING)
#define SPECFUN_EXPORT __declspec(dllexport)
#elif defined(SPECFUN_SHARED)
#define SPECFUN_EXPORT __declspec(dllimport)
#else
#define SPECFUN_EXPORT
#endif
#elif defined(__GNUC__)
#define SPECFUN_EXPORT __attribute__((visibility("default")))
#else
#define SPECFUN_EXPORT
#endif
