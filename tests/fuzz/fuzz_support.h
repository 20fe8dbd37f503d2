#pragma once

#include <QByteArrayView>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// Stops the run when an invariant does not hold; libFuzzer then keeps the input as a crash file.
#define FUZZ_CHECK(cond)                                                                          \
    do {                                                                                          \
        if (!(cond)) fuzzsupport::fail(#cond, __FILE__, __LINE__);                                \
    } while (0)

namespace fuzzsupport {

[[noreturn]] inline void fail(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "\n==== invariant broken at %s:%d\n==== %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

inline bool sameBytes(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && (a.isEmpty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

// True when part is a view into whole (an empty part always is).
inline bool isViewInto(QByteArrayView part, QByteArrayView whole)
{
    if (part.isEmpty()) return true;
    return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

} // namespace fuzzsupport
