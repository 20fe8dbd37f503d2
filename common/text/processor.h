#pragma once

// Whether the processor runs the 256-bit vector instructions that the byte-scanning loops are
// also compiled for (asked once).
inline bool haveAvx2()
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
#else
    return false;
#endif
}
