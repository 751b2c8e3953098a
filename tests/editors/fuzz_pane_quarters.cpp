// Any stored quarters (damaged ones too) must read back into pane text that writes out as
// well-formed quarters, and reading that again must give the same characters.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "manager/editors/core/pane_text.h"
#include "shared/cp949.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  item::Quarter text{}, attrs{};
  const std::size_t half = size / 2;
  std::copy_n(data, std::min(half, item::kQuarterSize), text.begin());
  std::copy_n(data + half, std::min(size - half, item::kQuarterSize), attrs.begin());

  const StyledText read = ReadPaneQuarters(text, attrs);
  item::Quarter text2{}, attrs2{};
  const std::size_t kept = WritePaneQuarters(read, text2, attrs2);
  if (kept > item::kMaxTextBytes || text2[kept] != 0) std::abort();
  if (text::Cp949CutLength(text::ReadTextQuarter(text2)) != kept) std::abort();

  // The characters that survive are the ones CP949 encodes, unchanged and in order.
  StyledText encodable;
  for (const StyledChar& c : read) {
    if (Cp949Width(c.ch) != 0) encodable.push_back(c);
  }
  const StyledText again = ReadPaneQuarters(text2, attrs2);
  if (again.size() > encodable.size()) std::abort();
  for (std::size_t i = 0; i < again.size(); ++i) {
    if (!(again[i] == encodable[i])) std::abort();
  }
  return 0;
}
