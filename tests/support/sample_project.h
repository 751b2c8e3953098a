#pragma once
// Projects as the editors and the list make them, built in memory for tests, benchmarks and
// fuzz seeds.

#include <cstdint>
#include <vector>

namespace sample {

// A 904672-byte project of `items` items (kinds 0 to 7 in turn, texts in mixed colours,
// backgrounds and fonts), three events and settings unlike a fresh store's.
std::vector<std::uint8_t> Project(int items);

}  // namespace sample
