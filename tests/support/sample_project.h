#pragma once
// Projects as the editors and the list make them, built in memory for tests, benchmarks and
// fuzz seeds: every kind in turn, texts with mixed colours, backgrounds and fonts, events
// and settings of every group.

#include <cstdint>
#include <string_view>
#include <vector>

#include "manager/editors/core/pane_text.h"
#include "shared/item_record.h"

namespace sample {

// UTF-8 text whose character k gets attribute k % 4 of a cycle that `seed` shifts through
// every colour, background and font.
StyledText Styled(std::string_view utf8, int seed);

// A text item as its editor stores it: the kind's panes (texts a and b), the effect codes of
// each pane and the speed at their header bytes, every code `seed` modulo its list.
item::ItemRecord TextItem(item::ItemKind kind, const StyledText& a, const StyledText& b, int seed);

// A 904672-byte project of `items` items (kinds 0 to 7 in turn), three events and settings
// unlike a fresh store's.
std::vector<std::uint8_t> Project(int items);

}  // namespace sample
