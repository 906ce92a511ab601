#pragma once

// Lets the compiler check the printf-style format of a function's arguments
// (1-based positions of the format and of the first value). MinGW takes plain
// "printf" for the Microsoft runtime's dialect, which lacks %zu; Windows
// builds print through the C99 functions (__USE_MINGW_ANSI_STDIO), so the
// check must use that dialect there.
#if defined(__MINGW32__)
#define SONDRIX_PRINTF_FORMAT(formatIndex, firstValue) \
    __attribute__((__format__(gnu_printf, formatIndex, firstValue)))
#else
#define SONDRIX_PRINTF_FORMAT(formatIndex, firstValue) \
    __attribute__((__format__(printf, formatIndex, firstValue)))
#endif
