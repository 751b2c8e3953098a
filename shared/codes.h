#pragma once
// Option codes and their list texts. A code is the zero-based position of a choice in
// its editor's list; the message list shows code + 1. Codes are stored in files and sent
// to signs: never renumber them. All texts are UTF-8; convert to code page 949 only at
// the file and wire edges.

#include <array>
#include <cstdint>
#include <string_view>

namespace item {

// Text colour field (bits 7-6).
enum class TextColour : std::uint8_t { Red = 0, Green = 1, Yellow = 2, Black = 3 };
// Background colour field (bits 5-4): numbered differently from the text colour.
enum class BackColour : std::uint8_t { Black = 0, Red = 1, Green = 2, Yellow = 3 };
// Board font (bits 3-2).
enum class BoardFont : std::uint8_t { Gulim = 0, Gungseo = 1, Yet = 2, Magic = 3 };

// One attribute byte per text byte; 0x00 is red text on black in the first font.
struct TextAttribute {
  TextColour text = TextColour::Red;
  BackColour back = BackColour::Black;
  BoardFont font = BoardFont::Gulim;

  std::uint8_t Pack() const {
    return static_cast<std::uint8_t>((static_cast<unsigned>(text) << 6) |
                                     (static_cast<unsigned>(back) << 4) |
                                     (static_cast<unsigned>(font) << 2));
  }
  // Bits 1-0 are ignored.
  static TextAttribute Unpack(std::uint8_t b) {
    return {static_cast<TextColour>((b >> 6) & 3), static_cast<BackColour>((b >> 4) & 3),
            static_cast<BoardFont>((b >> 2) & 3)};
  }
  bool operator==(const TextAttribute&) const = default;
};

inline constexpr int kEntryEffectCount = 17;  // codes 0-16
inline constexpr int kExitEffectCount = 16;   // codes 0-15
inline constexpr int kHoldCount = 10;         // codes 0-9: seconds - 1
inline constexpr int kSpeedCount = 5;         // codes 0-4
inline constexpr int kBitmapModeCount = 2;

inline constexpr std::uint8_t kEntryPassThrough = 0;
// "None" is the last choice of each list: the text stands at once, or the item just ends.
inline constexpr std::uint8_t kEntryNone = kEntryEffectCount - 1;
inline constexpr std::uint8_t kExitNone = kExitEffectCount - 1;

extern const std::array<std::string_view, kEntryEffectCount> kEntryEffectTexts;
extern const std::array<std::string_view, kExitEffectCount> kExitEffectTexts;
extern const std::array<std::string_view, kHoldCount> kHoldTexts;
extern const std::array<std::string_view, kSpeedCount> kSpeedTexts;
extern const std::array<std::string_view, kBitmapModeCount> kBitmapModeTexts;

// The list label of a kind ("1줄문장" ...); empty for codes above 7.
std::string_view KindLabel(std::uint8_t kind);

// Names of the colours and fonts as the editors' radio buttons show them.
extern const std::array<std::string_view, 4> kTextColourNames;  // indexed by TextColour
extern const std::array<std::string_view, 4> kBackColourNames;  // indexed by BackColour
extern const std::array<std::string_view, 4> kBoardFontNames;   // indexed by BoardFont

// The news categories in the order of their flag bytes ("사회" is byte 0).
inline constexpr int kNewsCategoryCount = 8;
extern const std::array<std::string_view, kNewsCategoryCount> kNewsCategoryNames;

}  // namespace item
