#pragma once
// The board's own bitmap fonts: twenty glyph tables (16- and 32-dot) loaded once from the
// "font" folder beside the program and read-only afterwards, so the playback thread may
// share them without locks.
//
// A character code is one CP949 byte (< 0x80) or a two-byte KS X 1001 code packed as
// lead << 8 | trail. Glyph rows run top to bottom; in a row word the most significant used
// bit is the leftmost dot.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sign/frame_buffer.h"

namespace sign {

inline constexpr int kFontStyleCount = 4;            // style code = bits 3-2 of a text attribute
inline constexpr std::size_t kFontHeaderBytes = 16;  // leading bytes of every file, not read

// Which table a glyph lives in; together with the size and style it names one file.
enum class FontTable : std::uint8_t { Hangul, English, Special, Hanja };

struct FontFileInfo {
  const char* name;  // UTF-8, relative to the font folder
  int size;          // 16 or 32 dots high
  FontTable table;
  int style;               // 0-3 for Hangul and English, 0 for Special and Hanja
  std::size_t glyphs;      // glyphs stored after the header
  std::size_t glyphBytes;  // bytes per glyph
  const char* failText;    // UTF-8 message when the file cannot be opened
};

inline constexpr int kFontFileCount = 20;
// The files in load order.
extern const std::array<FontFileInfo, kFontFileCount> kFontFiles;

inline constexpr int kHangulGlyphs = 2350;   // leads 0xB0-0xC8
inline constexpr int kSpecialGlyphs = 1128;  // leads 0xA1-0xAC
inline constexpr int kHanjaGlyphs = 4888;    // leads 0xCA-0xFD
inline constexpr int kEnglishGlyphs = 96;    // 0x20-0x7F

// Where a code's glyph is: the table and the glyph index in it. found is false for codes
// the tables do not cover (single bytes below 0x20, two-byte codes outside the three KS X
// 1001 ranges); those draw as blank cells.
struct GlyphLocation {
  bool found = false;
  FontTable table = FontTable::English;
  int index = 0;
};
GlyphLocation LocateGlyph(std::uint16_t code);

// Advance in dots of one character: single-byte codes 8 (size 16) or 16 (size 32),
// two-byte codes 16 or 32.
int CharWidth(std::uint16_t code, int size);

// Width in dots of CP949 text up to its first NUL (or its end). A byte with the top bit set
// takes the next byte with it; a lead byte followed by the NUL or the end counts as a
// two-byte character and ends the text.
int MeasureText(std::string_view text, int size);

// Reports a failure to the user; text and caption are UTF-8.
using FontMessageFn = std::function<void(const std::string& text, const std::string& caption)>;

// Where and how characters are drawn: the target frame, the board width in dots (columns
// at or beyond it are never written), the size (16 or 32), style 0-3 and the two colours.
struct FontPen {
  FrameBuffer* target = nullptr;  // not owned
  int displayWidth = kFrameColumns;
  int size = 16;
  int style = 0;
  std::uint8_t fore = kDotRed;
  std::uint8_t back = kDotOff;
};

class FontSet {
 public:
  // Reads the twenty files from exeDir + "font/" in load order. On the first file that
  // cannot be opened, report(its fail text, "OPEN실패") is called and false returned;
  // later files are not tried. A file shorter than its table leaves the rest unlit.
  bool Load(const std::string& exeDir, const FontMessageFn& report);
  bool loaded() const { return loaded_; }

  // Rows of a two-byte glyph: 16 words of 16 bits (size 16) or 32 of 32 bits (size 32) in
  // rows[0..]. Returns false, with all rows zero, for a code no table holds.
  bool FetchWide(std::uint8_t lead, std::uint8_t trail, int size, int style,
                 std::uint32_t* rows) const;
  // Rows of an English glyph (code 0x20-0x7F): 16 words of 8 bits or 32 of 16 bits.
  // Returns false, with all rows zero, for other codes.
  bool FetchNarrow(std::uint8_t code, int size, int style, std::uint32_t* rows) const;

  // Draws one character with its top-left dot at column x (may be negative) and row y.
  // The cell is opaque: unlit glyph dots take the back colour. Dots outside the display
  // width or the frame's rows are not written. Returns the advance (CharWidth).
  int DrawChar(const FontPen& pen, int x, int y, std::uint16_t code) const;

 private:
  const std::uint8_t* GlyphBytes(FontTable table, int index, int size, int style) const;

  std::array<std::vector<std::uint8_t>, kFontFileCount> tables_;
  bool loaded_ = false;
};

}  // namespace sign
