#pragma once
// Code page 949 text (KS X 1001 Wansung with ASCII). A byte below 0x80 is a single-byte
// character; a byte of 0x80 or above is the lead byte of a two-byte character.
// Conversion uses the system iconv; the program's text stays CP949 and is converted only
// where it meets the user (UTF-8) .

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shared/item_record.h"

namespace text {

inline bool IsLeadByte(std::uint8_t b) {
  return b >= 0x80;
}

// UTF-8 to CP949. Returns nullopt when any character cannot be encoded (or the input is
// not valid UTF-8): text is never dropped silently.
std::optional<std::string> Utf8ToCp949(std::string_view utf8);

// One Unicode code point to CP949 (1 or 2 bytes); nullopt when CP949 has no such character.
std::optional<std::string> EncodeCodePoint(char32_t cp);

// CP949 to UTF-8. A byte sequence CP949 does not define becomes U+FFFD, so stored bytes
// from damaged files still show.
std::string Cp949ToUtf8(std::string_view cp949);

// Length of the longest prefix of at most maxBytes that does not end inside a two-byte
// character (a lone lead byte at the end is dropped).
std::size_t Cp949CutLength(std::string_view cp949, std::size_t maxBytes = item::kMaxTextBytes);

// Number of characters (not bytes) in CP949 text; a trailing lone lead byte counts as one.
std::size_t Cp949CharCount(std::string_view cp949);

// Writes text into a quarter: cut to 2047 bytes on a character boundary, NUL-terminated,
// the rest of the quarter zero. Returns the number of text bytes kept.
std::size_t WriteTextQuarter(item::Quarter& q, std::string_view cp949);

// The text of a quarter up to its NUL (all 2048 bytes when there is none).
std::string ReadTextQuarter(const item::Quarter& q);

// True for a two-byte code in the KS X 1001 rows the board fonts hold (lead 0xA1-0xFD,
// trail 0xA1-0xFE). CP949's extension codes (the other 8822 Hangul) are false.
bool IsKsx1001Code(std::uint8_t lead, std::uint8_t trail);

}  // namespace text
