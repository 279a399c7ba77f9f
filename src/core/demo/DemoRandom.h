#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace kestrel {

// A small generator with a fixed algorithm (SplitMix64), so that a demo seed gives
// the same bytes with every standard library; std:: distributions do not promise that.
class DemoRandom {
public:
    explicit DemoRandom(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 0x6A09E667F3BCC909ULL) {}

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // Uniform in lo..hi, both included (lo <= hi).
    int uniform(int lo, int hi)
    {
        const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo + 1);
        return static_cast<int>(lo + static_cast<std::int64_t>(next() % span));
    }

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

    bool percentChance(int percent) { return uniform(0, 99) < percent; }

    template <typename Container>
    const auto& pick(const Container& items)
    {
        return items[static_cast<std::size_t>(uniform(0, static_cast<int>(std::size(items)) - 1))];
    }

private:
    std::uint64_t state_;
};

} // namespace kestrel
