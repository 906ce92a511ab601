#pragma once

// The system's handle types for the window's headers, which do not include
// <windows.h> (see platform/win32_gui_api.h).
struct HWND__;
struct HFONT__;
struct HDC__;
struct HMENU__;
struct HACCEL__;
struct HBRUSH__;
struct HICON__;

namespace sondrix {

using WinHandle = ::HWND__*;
using FontHandle = ::HFONT__*;
using DcHandle = ::HDC__*;

}  // namespace sondrix
