// Arbitrary bytes as a hand-edited sign book: every problem names a line of the text, and
// what was read survives the manager's rewrite unchanged and without problems.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "manager/fleet/sign_book.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const fleet::BookRead read = fleet::ParseSignBook(text);
  const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  for (const fleet::BookProblem& p : read.problems)
    if (p.line < 1 || p.line > lines) std::abort();
  const fleet::BookRead again = fleet::ParseSignBook(fleet::FormatSignBook(read.book));
  if (!again.problems.empty() || again.book.signs != read.book.signs) std::abort();
  return 0;
}
