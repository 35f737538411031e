#pragma once

// The generator's pseudo-random numbers: wyrand, one 64-bit state, a multiply
// and a few shifts per number. Deterministic for a given seed on every platform.

#include <cstdint>

namespace capgen {

class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next()
    {
        m_state += 0xa0761d6478bd642fULL;
        const unsigned __int128 product =
            static_cast<unsigned __int128>(m_state) * (m_state ^ 0xe7037ed1a0b428dbULL);
        return static_cast<std::uint64_t>(product >> 64) ^ static_cast<std::uint64_t>(product);
    }

    // Uniform in [0, bound), bound > 0 (multiply-shift; the bias is below 2^-32 for our bounds).
    std::uint32_t Below(std::uint32_t bound)
    {
        return static_cast<std::uint32_t>(((Next() >> 32) * bound) >> 32);
    }

    // Uniform in [low, high].
    std::uint32_t Between(std::uint32_t low, std::uint32_t high) { return low + Below(high - low + 1); }

private:
    std::uint64_t m_state;
};

// Spreads a user seed into independent streams (splitmix64 finaliser).
inline std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t stream)
{
    std::uint64_t z = seed + 0x9e3779b97f4a7c15ULL * (stream + 1);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

} // namespace capgen
