#pragma once

// The Win32 headers the platform's Windows files use, in one place. <windows.h>
// defines WM_USER as a macro, which would replace the message loop's own
// constant of that name wherever the loop's header comes later; the headers
// that use the macro themselves are included first, and the Win32 files then
// use the loop's constant.
#include <windows.h>
// After <windows.h>, which they need.
#include <setupapi.h>
#include <shellapi.h>

#undef WM_USER
