// Marks a function whose argument `f` is a printf format and whose variable
// arguments start at `a`, so that the compiler checks every call. The
// formatting itself is always the C++ runtime's own (GNU) printf: gcc is told
// so by name, or on mingw it would check against the Microsoft runtime's
// rules; clang knows the one kind only.
#pragma once

#if defined(__clang__)
#define VX_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define VX_PRINTF_FORMAT(f, a) __attribute__((format(gnu_printf, f, a)))
#endif
