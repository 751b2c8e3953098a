#pragma once
// The text of an editor pane as characters with their attributes, and its translation to
// the item record: text byte k (code page 949) carries attribute k; both bytes of a
// two-byte character carry the character's attribute, and a reader takes the lead byte's.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "shared/codes.h"
#include "shared/item_record.h"

struct StyledChar {
  char32_t ch = 0;
  item::TextAttribute attr;
  bool operator==(const StyledChar&) const = default;
};
using StyledText = std::vector<StyledChar>;

// Byte limits the one-line and D-day panes enforce while typing (CP949 bytes).
inline constexpr std::size_t kOneLineLimitBytes = 256;
inline constexpr std::size_t kDDayLimitBytes = 200;
inline constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// The code points of well-formed UTF-8 text (from Cp949ToUtf8, or a validating parser).
std::u32string DecodeUtf8(std::string_view utf8);

// Bytes the character takes in CP949: 1 or 2, or 0 when CP949 cannot encode it.
std::size_t Cp949Width(char32_t ch);

// True when CP949 encodes the character but the board fonts have no glyph for it (a
// two-byte code outside KS X 1001, e.g. most Hangul syllables beyond the common 2350):
// the sign shows such a character as a blank cell.
bool IsBlankOnBoard(char32_t ch);

// CP949 length of the text; characters CP949 cannot encode count 0.
std::size_t Cp949Bytes(std::u32string_view text);
std::size_t Cp949Bytes(const StyledText& text);

// The characters of text that the sign shows blank, each once, in order of appearance.
std::u32string BlankOnBoard(std::u32string_view text);

// CP949 bytes and one attribute byte per text byte (same size). Characters CP949 cannot
// encode are left out; the panes refuse them before they get in.
struct EncodedText {
  std::string bytes;
  std::vector<std::uint8_t> attrs;
};
EncodedText EncodeStyledText(const StyledText& text);

// Fills a text quarter and its attribute quarter: the text cut to 2047 bytes on a character
// boundary and NUL-terminated; attribute k for every byte k < 2048 of the uncut text, so
// a character cut off at the end still leaves its attribute; the rest of both quarters 0.
// Returns the number of text bytes stored.
std::size_t WritePaneQuarters(const StyledText& text, item::Quarter& textQuarter,
                              item::Quarter& attrQuarter);

// The characters of a text quarter (up to its NUL), each with the attribute at its lead
// byte's index. Byte sequences CP949 does not define come back as U+FFFD.
StyledText ReadPaneQuarters(const item::Quarter& textQuarter, const item::Quarter& attrQuarter);

// A single-line pane holds no line breaks or other control characters, nor no-break
// spaces (code page 949 has none): they become plain spaces.
char32_t SingleLineChar(char32_t ch);

// What may go into a single-line pane of an input (typed or pasted) when roomBytes CP949
// bytes are still free, after SingleLineChar.
struct InsertCheck {
  std::u32string accepted;  // the characters that go in, in order
  std::u32string refused;   // characters CP949 cannot encode, each once
  bool overLimit = false;   // the input was cut because it did not fit
};
InsertCheck CheckInsertion(std::u32string_view input, std::size_t roomBytes);
