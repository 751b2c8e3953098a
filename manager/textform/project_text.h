#pragma once
// A project (the 904672 bytes of a work store) as JSON text and back, for scripts and
// version control. Kinds, effects, colours and fonts go by the names the editors show,
// texts as UTF-8 with their colours and fonts as runs; bytes with no readable form travel
// as raw hex runs, so ImportProject(ExportProject(p)) gives p back byte for byte, whatever
// the 904672 bytes hold. The form is described in README.md ("Projects as text").

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shared/item_record.h"

namespace textform {

// A project's bytes: store::kFileSize of them.
using ProjectBytes = std::vector<std::uint8_t>;

// The message list as the manager reads it: slots from 0 up to the first that holds no
// item, at most 100. `project` has store::kFileSize bytes.
std::vector<item::ItemRecord> ReadItems(std::span<const std::uint8_t> project);

// The whole project as UTF-8 JSON ending in a newline: members in a fixed order, one run,
// setting group or short item per line, so two exports of one project are identical and a
// changed item changes only its own lines. `project` has store::kFileSize bytes.
std::string ExportProject(std::span<const std::uint8_t> project);

// The longest text ImportProject takes, and the most values it holds. The export of the
// largest project (every text 2047 characters, each coloured apart from its neighbours)
// takes about 41 MB and 2.2 million values; the bounds keep a hostile text from costing
// more than a few hundred megabytes of memory.
inline constexpr std::size_t kMaxTextBytes = 64u << 20;
inline constexpr std::size_t kMaxValues = 3'000'000;

struct ImportResult {
  std::optional<ProjectBytes> project;  // set when the text was accepted
  // Otherwise the first fault: its place in the document, then what is wrong there
  // ("items[3].text: 300 bytes in code page 949, over the limit of 256").
  std::string error;
  // Accepted, but worth saying: characters the sign shows blank.
  std::vector<std::string> warnings;
};
// Builds the project a JSON text describes, every readable field checked with the
// editors' rules. A picture item without its sizes reads its file to measure it. A text
// over the bounds above, or nested deeper than the form ever is, is refused unread.
ImportResult ImportProject(std::string_view json);

}  // namespace textform
