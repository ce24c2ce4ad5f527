// Compile-time checking of printf-style formats. All engine formatting goes
// through the C99 formatter (glibc, and mingw-w64's own stdio on Windows),
// so formats are checked against the GNU dialect on every target.
#pragma once

#if defined(__clang__)
// clang knows no gnu_printf; its printf checking is the C99 dialect.
#define KELPO_PRINTF_FORMAT(format_index, first_arg) \
    __attribute__((format(printf, format_index, first_arg)))
#elif defined(__GNUC__)
#define KELPO_PRINTF_FORMAT(format_index, first_arg) \
    __attribute__((format(gnu_printf, format_index, first_arg)))
#else
#define KELPO_PRINTF_FORMAT(format_index, first_arg)
#endif
