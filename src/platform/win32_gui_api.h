#pragma once

// The Win32 headers of the Windows window, included last in each of its files: the
// program's own headers define names (WM_USER, IDOK, HWND in namespace
// sondrix, MessageBox, LoadString, PostMessage) that <windows.h> makes into
// macros. The program's message loop has HWND, WPARAM, LPARAM and LRESULT of
// its own in namespace sondrix: the system's are written ::HWND there.
#include "platform/win32_api.h"
// win32_api.h leaves WM_USER to the message loop's constant; the common
// controls' messages below are counted from it.
#ifndef WM_USER
#define WM_USER 0x0400
#endif
// After <windows.h>, which they need.
#include <commctrl.h>
#include <commdlg.h>
#include <dbt.h>
#include <windowsx.h>

#undef MessageBox
#undef LoadString
