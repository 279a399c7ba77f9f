#pragma once

// The Windows API without the macros that break standard C++ (min, max) and without
// the rarely used parts. Include only under _WIN32.
#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
