#pragma once
// The processor's byte shuffle (x86-64 SSSE3), for the few loops that
// permute whole rows of eight bells: where it is there, a row times a
// transposition is one instruction. Code that uses it is compiled for it
// alone (QUARNEL_SHUFFLE_TARGET) and runs only where hasByteShuffle() says
// so; every such loop keeps a portable twin.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QUARNEL_BYTE_SHUFFLE 1
#define QUARNEL_SHUFFLE_TARGET __attribute__((target("ssse3")))
#else
#define QUARNEL_BYTE_SHUFFLE 0
#define QUARNEL_SHUFFLE_TARGET
#endif

namespace quarnel {

inline bool hasByteShuffle() {
#if QUARNEL_BYTE_SHUFFLE
    // Asked first perhaps while statics are being built: the processor's
    // features are read here rather than left to the runtime's constructor.
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return has;
#else
    return false;
#endif
}

}  // namespace quarnel
