#include "sign/font_set.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shared/file_io.h"

namespace sign {

const std::array<FontFileInfo, kFontFileCount> kFontFiles = {{
    {"한글굴림체16.fnt", 16, FontTable::Hangul, 0, kHangulGlyphs, 32, "한글굴림체16 OPEN실패"},
    {"한글궁서체16.fnt", 16, FontTable::Hangul, 1, kHangulGlyphs, 32, "한글궁서체16 OPEN실패"},
    {"한글옛체16.fnt", 16, FontTable::Hangul, 2, kHangulGlyphs, 32, "한글옛체16 OPEN실패"},
    {"한글매직체16.fnt", 16, FontTable::Hangul, 3, kHangulGlyphs, 32, "한글매직체16 OPEN실패"},
    {"영문굴림체16.fnt", 16, FontTable::English, 0, kEnglishGlyphs, 16, "영문굴림체16 OPEN실패"},
    {"영문궁서체16.fnt", 16, FontTable::English, 1, kEnglishGlyphs, 16, "영문궁서체16 OPEN실패"},
    {"영문옛체16.fnt", 16, FontTable::English, 2, kEnglishGlyphs, 16, "영문옛체16 OPEN실패"},
    {"영문매직체16.fnt", 16, FontTable::English, 3, kEnglishGlyphs, 16, "영문매직체16 OPEN실패"},
    {"특수문자16.fnt", 16, FontTable::Special, 0, kSpecialGlyphs, 32, "특수문자16 OPEN실패"},
    {"한문16.fnt", 16, FontTable::Hanja, 0, kHanjaGlyphs, 32, "한문16 OPEN실패"},
    {"한글굴림체32.fnt", 32, FontTable::Hangul, 0, kHangulGlyphs, 128, "한글굴림체32 OPEN실패"},
    {"한글궁서체32.fnt", 32, FontTable::Hangul, 1, kHangulGlyphs, 128, "한글궁서체32 OPEN실패"},
    {"한글옛체32.fnt", 32, FontTable::Hangul, 2, kHangulGlyphs, 128, "한글옛체32 OPEN실패"},
    {"한글매직체32.fnt", 32, FontTable::Hangul, 3, kHangulGlyphs, 128, "한글매직체32 OPEN실패"},
    {"영문굴림체32.fnt", 32, FontTable::English, 0, kEnglishGlyphs, 64, "영문굴림체32 OPEN실패"},
    {"영문궁서체32.fnt", 32, FontTable::English, 1, kEnglishGlyphs, 64, "영문궁서체32 OPEN실패"},
    {"영문옛체32.fnt", 32, FontTable::English, 2, kEnglishGlyphs, 64, "영문옛체32 OPEN실패"},
    {"영문매직체32.fnt", 32, FontTable::English, 3, kEnglishGlyphs, 64, "영문매직체32 OPEN실패"},
    {"특수문자32.fnt", 32, FontTable::Special, 0, kSpecialGlyphs, 128, "특수문자32 OPEN실패"},
    {"한문32.fnt", 32, FontTable::Hanja, 0, kHanjaGlyphs, 128, "한문32 OPEN실패"},
}};

namespace {

constexpr int kRowsPerLead = 94;

int FileNumber(FontTable table, int size, int style) {
  const int base = size == 32 ? 10 : 0;
  switch (table) {
    case FontTable::Hangul:
      return base + (style & 3);
    case FontTable::English:
      return base + 4 + (style & 3);
    case FontTable::Special:
      return base + 8;
    case FontTable::Hanja:
      return base + 9;
  }
  return base;
}

}  // namespace

GlyphLocation LocateGlyph(std::uint16_t code) {
  if (code < 0x100) {
    if (code < 0x20 || code > 0x7F) return {};
    return {true, FontTable::English, code - 0x20};
  }
  const int lead = code >> 8;
  const int trail = code & 0xFF;
  if (trail < 0xA1 || trail > 0xFE) return {};
  const int column = trail - 0xA1;
  if (lead >= 0xA1 && lead <= 0xAC) {
    return {true, FontTable::Special, (lead - 0xA1) * kRowsPerLead + column};
  }
  if (lead >= 0xB0 && lead <= 0xC8) {
    return {true, FontTable::Hangul, (lead - 0xB0) * kRowsPerLead + column};
  }
  if (lead >= 0xCA && lead <= 0xFD) {
    return {true, FontTable::Hanja, (lead - 0xCA) * kRowsPerLead + column};
  }
  return {};
}

int CharWidth(std::uint16_t code, int size) {
  const int narrow = size == 32 ? 16 : 8;
  return code < 0x100 ? narrow : 2 * narrow;
}

int MeasureText(std::string_view text, int size) {
  const int narrow = size == 32 ? 16 : 8;
  int width = 0;
  for (std::size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    if (static_cast<std::uint8_t>(text[i]) & 0x80) {
      width += 2 * narrow;
      // A lone lead byte at the end must not swallow the terminator.
      if (i + 1 >= text.size() || text[i + 1] == '\0') break;
      ++i;
    } else {
      width += narrow;
    }
  }
  return width;
}

bool FontSet::Load(const std::string& exeDir, const FontMessageFn& report) {
  loaded_ = false;
  std::string folder = exeDir;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  folder += "font/";
  for (int i = 0; i < kFontFileCount; ++i) {
    const FontFileInfo& info = kFontFiles[static_cast<std::size_t>(i)];
    const std::string path = folder + info.name;
    // Regular files only: a FIFO or device named like a font must not hang the start.
    const fileio::RegularFile f(path);
    if (!f.ok()) {
      if (report) report(info.failText, "OPEN실패");
      for (auto& t : tables_) t.clear();
      return false;
    }
    // Zero-filled first so a short file leaves unlit dots, never stale memory.
    std::vector<std::uint8_t>& table = tables_[static_cast<std::size_t>(i)];
    table.assign(info.glyphs * info.glyphBytes, 0);
    if (const auto bytes = f.ReadAt(kFontHeaderBytes, table.size()))
      std::copy(bytes->begin(), bytes->end(), table.begin());  // a short file keeps the zeros
  }
  loaded_ = true;
  return true;
}

const std::uint8_t* FontSet::GlyphBytes(FontTable table, int index, int size, int style) const {
  const int file = FileNumber(table, size, style);
  const FontFileInfo& info = kFontFiles[static_cast<std::size_t>(file)];
  const std::vector<std::uint8_t>& t = tables_[static_cast<std::size_t>(file)];
  const std::size_t offset = static_cast<std::size_t>(index) * info.glyphBytes;
  if (index < 0 || offset + info.glyphBytes > t.size()) return nullptr;
  return t.data() + offset;
}

namespace {
// A glyph's rows as words, the leftmost dot in the highest used bit.
void ReadRows(const std::uint8_t* g, int rowCount, int rowBytes, std::uint32_t* rows) {
  for (int r = 0; r < rowCount; ++r) {
    std::uint32_t w = 0;
    for (int b = 0; b < rowBytes; ++b) w = (w << 8) | g[r * rowBytes + b];
    rows[r] = w;
  }
}
}  // namespace

bool FontSet::FetchWide(std::uint8_t lead, std::uint8_t trail, int size, int style,
                        std::uint32_t* rows) const {
  const int rowCount = size == 32 ? 32 : 16;
  const int rowBytes = size == 32 ? 4 : 2;
  std::fill_n(rows, rowCount, 0u);
  const GlyphLocation loc = LocateGlyph(static_cast<std::uint16_t>(lead << 8 | trail));
  if (lead < 0x80 || !loc.found) return false;
  const std::uint8_t* g = GlyphBytes(loc.table, loc.index, size, style);
  if (!g) return false;
  ReadRows(g, rowCount, rowBytes, rows);
  return true;
}

bool FontSet::FetchNarrow(std::uint8_t code, int size, int style, std::uint32_t* rows) const {
  const int rowCount = size == 32 ? 32 : 16;
  const int rowBytes = size == 32 ? 2 : 1;
  std::fill_n(rows, rowCount, 0u);
  const GlyphLocation loc = LocateGlyph(code);
  if (!loc.found) return false;
  const std::uint8_t* g = GlyphBytes(loc.table, loc.index, size, style);
  if (!g) return false;
  ReadRows(g, rowCount, rowBytes, rows);
  return true;
}

int FontSet::DrawChar(const FontPen& pen, int x, int y, std::uint16_t code) const {
  const int advance = CharWidth(code, pen.size);
  if (code < 0x20 || !pen.target) return advance;
  const int cellWidth = advance;
  const int displayWidth = std::min(pen.displayWidth, kFrameColumns);
  if (x >= displayWidth || x <= -cellWidth) return advance;

  std::uint32_t rows[32];
  const int rowCount = pen.size == 32 ? 32 : 16;
  if (code < 0x100) {
    FetchNarrow(static_cast<std::uint8_t>(code), pen.size, pen.style, rows);
  } else {
    FetchWide(static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code & 0xFF),
              pen.size, pen.style, rows);
  }

  // Columns of the cell that land on the display.
  const int firstCol = std::max(0, -x);
  const int lastCol = std::min(cellWidth, displayWidth - x);  // exclusive
  for (int r = 0; r < rowCount; ++r) {
    const int fy = y + r;
    if (fy < 0 || fy >= kFrameRows) continue;
    std::uint8_t* out = pen.target->row(fy);
    const std::uint32_t word = rows[r];
    for (int c = firstCol; c < lastCol; ++c) {
      const bool lit = (word >> (cellWidth - 1 - c)) & 1u;
      out[x + c] = lit ? pen.fore : pen.back;
    }
  }
  return advance;
}

}  // namespace sign
