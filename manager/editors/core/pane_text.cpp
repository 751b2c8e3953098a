#include "manager/editors/core/pane_text.h"

#include <algorithm>
#include <optional>

#include "shared/cp949.h"

namespace {

// CP949 bytes of one character; ASCII skips the converter, which most text is.
std::optional<std::string> Encode(char32_t ch) {
  if (ch > 0 && ch < 0x80) return std::string(1, static_cast<char>(ch));
  return text::EncodeCodePoint(ch);
}

}  // namespace

std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (int j = 1; j < n && i + j < s.size(); ++j) {
      cp = (cp << 6) | (static_cast<unsigned char>(s[i + j]) & 0x3F);
    }
    out += cp;
    i += n;
  }
  return out;
}

std::size_t Cp949Width(char32_t ch) {
  auto bytes = Encode(ch);
  return bytes ? bytes->size() : 0;
}

bool IsBlankOnBoard(char32_t ch) {
  if (ch < 0x80) return false;
  auto bytes = Encode(ch);
  if (!bytes || bytes->size() != 2) return false;
  return !text::IsKsx1001Code(static_cast<std::uint8_t>((*bytes)[0]),
                              static_cast<std::uint8_t>((*bytes)[1]));
}

std::size_t Cp949Bytes(std::u32string_view text) {
  std::size_t n = 0;
  for (char32_t ch : text) n += Cp949Width(ch);
  return n;
}

std::size_t Cp949Bytes(const StyledText& text) {
  std::size_t n = 0;
  for (const StyledChar& c : text) n += Cp949Width(c.ch);
  return n;
}

std::u32string BlankOnBoard(std::u32string_view text) {
  std::u32string out;
  for (char32_t ch : text) {
    if (out.find(ch) == std::u32string::npos && IsBlankOnBoard(ch)) out += ch;
  }
  return out;
}

EncodedText EncodeStyledText(const StyledText& text) {
  EncodedText out;
  for (const StyledChar& c : text) {
    auto bytes = Encode(c.ch);
    if (!bytes) continue;
    out.bytes += *bytes;
    out.attrs.insert(out.attrs.end(), bytes->size(), c.attr.Pack());
  }
  return out;
}

std::size_t WritePaneQuarters(const StyledText& text, item::Quarter& textQuarter,
                              item::Quarter& attrQuarter) {
  EncodedText enc = EncodeStyledText(text);
  std::size_t kept = text::WriteTextQuarter(textQuarter, enc.bytes);
  attrQuarter.fill(0);
  std::copy_n(enc.attrs.begin(), std::min(enc.attrs.size(), attrQuarter.size()),
              attrQuarter.begin());
  return kept;
}

StyledText ReadPaneQuarters(const item::Quarter& textQuarter, const item::Quarter& attrQuarter) {
  std::string bytes = text::ReadTextQuarter(textQuarter);
  StyledText out;
  std::size_t k = 0;
  while (k < bytes.size()) {
    std::size_t n = text::IsLeadByte(static_cast<std::uint8_t>(bytes[k])) ? 2 : 1;
    n = std::min(n, bytes.size() - k);
    std::u32string chars = DecodeUtf8(text::Cp949ToUtf8(std::string_view(bytes).substr(k, n)));
    char32_t ch = chars.size() == 1 ? chars[0] : U'\uFFFD';
    out.push_back({ch, item::TextAttribute::Unpack(attrQuarter[k])});
    k += n;
  }
  return out;
}

char32_t SingleLineChar(char32_t ch) {
  // U+00A0 comes with text copied from web pages; code page 949 has no such character.
  return ch < 0x20 || ch == 0x7F || ch == 0xA0 || ch == 0x2028 || ch == 0x2029 ? U' ' : ch;
}

InsertCheck CheckInsertion(std::u32string_view input, std::size_t roomBytes) {
  InsertCheck out;
  std::size_t used = 0;
  for (char32_t ch : input) {
    ch = SingleLineChar(ch);
    std::size_t width = Cp949Width(ch);
    if (width == 0) {
      if (out.refused.find(ch) == std::u32string::npos) out.refused += ch;
      continue;
    }
    if (out.overLimit || width > roomBytes - used) {
      out.overLimit = true;
      continue;
    }
    used += width;
    out.accepted += ch;
  }
  return out;
}
