#pragma once

// The program is compiled as one unit that is the whole program
// (-fwhole-program): what code outside it calls, the C run-time's start-up
// or the C++ library, is marked so that it stays visible to the linker.
// Clang, which only reads the sources here, has no such attribute.
#if defined(__GNUC__) && !defined(__clang__)
#define CALLED_FROM_OUTSIDE __attribute__((externally_visible))
#else
#define CALLED_FROM_OUTSIDE
#endif
