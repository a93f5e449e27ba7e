// GDI+ as this project includes it: windows.h without min and max macros,
// which GDI+'s headers expect to find as std::min and std::max instead.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
#include <objidl.h>
