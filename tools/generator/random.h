// A small pseudo-random source whose sequence is fixed by its seed on every
// compiler and platform (the standard distributions are not), so a sample file
// is the same byte for byte wherever it is generated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mudalinx::generator {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  // An independent stream for one part of the sample (a school, a section),
  // so that changing one part leaves the others as they were.
  static Random derived(std::uint64_t seed, std::uint64_t part) {
    Random mixer(seed ^ (part * 0xD1B54A32D192ED03ULL));
    mixer.next();
    return Random(mixer.next());
  }

  std::uint64_t next() {  // SplitMix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // Uniform in [low, high], both included.
  long long between(long long low, long long high) {
    const auto span = static_cast<std::uint64_t>(high - low) + 1;
    return low + static_cast<long long>(next() % span);
  }

  // True with the given chance, in thousandths.
  bool chance(int perMille) { return between(0, 999) < perMille; }

  template <typename T>
  const T& pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(between(0, static_cast<long long>(items.size()) - 1))];
  }

 private:
  std::uint64_t state_;
};

}  // namespace mudalinx::generator
