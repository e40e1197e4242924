#pragma once
// A small fast generator of pseudo-random numbers (xorshift64) for the
// searches' random moves: each searcher has its own, seeded apart, so that
// no two share state and a run is repeatable for a given seed.
#include <cstdint>

namespace quarnel::search {

class XorShift64 {
public:
    // A state of 0 would stay 0: start from a non-zero constant.
    explicit constexpr XorShift64(std::uint64_t state) : state_(state) {}

    void mix(std::uint64_t v) { state_ ^= v; }
    std::uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }

private:
    std::uint64_t state_;
};

}  // namespace quarnel::search
