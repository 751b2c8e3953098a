#pragma once
// Shared by the previewer tests: a font set whose glyphs can be read back from a frame, a
// reference text renderer, and frames as ASCII art ('.' off, R, G, Y).

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "previewer/font_set.h"
#include "previewer/frame_buffer.h"

namespace testing_preview {

// Glyph of every table: row 0 carries the code (narrow: the byte, wide: lead then trail)
// in its leftmost dots, row 1 lights style + 1 dots, the remaining rows are lit except the
// cell's last column. The space is blank.
inline std::vector<std::uint8_t> TestGlyph(const FontFileInfo& info, std::size_t g) {
  const int size = info.size;
  const bool narrow = info.table == FontTable::English;
  const int cellWidth = narrow ? size / 2 : size;
  const int rowBytes = cellWidth / 8;
  std::vector<std::uint8_t> bytes(info.glyphBytes, 0);
  std::uint16_t code = 0;
  const int lead = static_cast<int>(g / 94), trail = static_cast<int>(g % 94) + 0xA1;
  switch (info.table) {
    case FontTable::English:
      code = static_cast<std::uint16_t>(0x20 + g);
      break;
    case FontTable::Special:
      code = static_cast<std::uint16_t>((0xA1 + lead) << 8 | trail);
      break;
    case FontTable::Hangul:
      code = static_cast<std::uint16_t>((0xB0 + lead) << 8 | trail);
      break;
    case FontTable::Hanja:
      code = static_cast<std::uint16_t>((0xCA + lead) << 8 | trail);
      break;
  }
  if (code == 0x20) return bytes;
  auto set = [&](int r, int c) {
    bytes[static_cast<std::size_t>(r * rowBytes + c / 8)] |=
        static_cast<std::uint8_t>(0x80 >> (c % 8));
  };
  const int codeBits = narrow ? 8 : 16;
  for (int k = 0; k < codeBits; ++k) {
    if (code >> (codeBits - 1 - k) & 1) set(0, k);
  }
  for (int k = 0; k <= info.style; ++k) set(1, k);
  for (int r = 2; r < size; ++r) {
    for (int c = 0; c < cellWidth - 1; ++c) set(r, c);
  }
  return bytes;
}

// Writes the twenty test font files into fontDir (created when missing).
inline void WriteTestFontFiles(const std::filesystem::path& fontDir) {
  std::filesystem::create_directories(fontDir);
  for (const FontFileInfo& info : kFontFiles) {
    std::ofstream out(fontDir / info.name, std::ios::binary);
    out << std::string(kFontHeaderBytes, '\0');
    for (std::size_t g = 0; g < info.glyphs; ++g) {
      const std::vector<std::uint8_t> b = TestGlyph(info, g);
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
  }
}

// The test font set, written once per process into a temporary folder.
inline const FontSet& TestFonts() {
  static const FontSet fonts = [] {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("brellion-engine-fonts-" + std::to_string(::getpid()));
    WriteTestFontFiles(root / "font");
    FontSet set;
    set.Load(root.string() + "/", [](const std::string&, const std::string&) {});
    fs::remove_all(root);
    return set;
  }();
  return fonts;
}

// The code drawn by a test glyph whose cell starts at (x, y); 0 for a blank cell.
inline std::uint16_t CodeAt(const FrameBuffer& f, int x, int y, bool wide) {
  const int bits = wide ? 16 : 8;
  std::uint16_t code = 0;
  for (int k = 0; k < bits; ++k) {
    code = static_cast<std::uint16_t>(code << 1 | (f.at(y, x + k) != 0 ? 1 : 0));
  }
  return code;
}

// Single-byte characters read from consecutive 8-dot (16-dot font) cells; blank cells read
// as spaces.
inline std::string ReadNarrow(const FrameBuffer& f, int x, int y, int count, int cell = 8) {
  std::string s;
  for (int i = 0; i < count; ++i) {
    const std::uint16_t c = CodeAt(f, x + i * cell, y, false);
    s.push_back(c == 0 ? ' ' : static_cast<char>(c));
  }
  return s;
}

// Reference: text with one attribute drawn at x into an empty frame of width w.
inline FrameBuffer RenderText(std::string_view text, int x, int y, int size, int w,
                              std::uint8_t fore = kDotRed) {
  FrameBuffer f;
  FontPen pen{&f, w, size, 0, fore, kDotOff};
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    std::uint16_t code = lead;
    if (lead >= 0x80) {
      code = static_cast<std::uint16_t>(lead << 8 | static_cast<std::uint8_t>(text[i + 1]));
      i += 2;
    } else {
      i += 1;
    }
    x += TestFonts().DrawChar(pen, x, y, code);
  }
  return f;
}

inline char DotChar(std::uint8_t d) {
  switch (d & 0xC0) {
    case 0x80:
      return 'R';
    case 0x40:
      return 'G';
    case 0xC0:
      return 'Y';
    default:
      return '.';
  }
}

// Rows [top, top + rows) and columns [0, w) as lines of dot characters.
inline std::string ArtOf(const FrameBuffer& f, int top, int rows, int w) {
  std::string s;
  for (int r = top; r < top + rows; ++r) {
    for (int c = 0; c < w; ++c) s.push_back(DotChar(f.at(r, c)));
    s.push_back('\n');
  }
  return s;
}

// True when rows [top, top + rows), columns [0, w) of both frames match.
inline bool SameArea(const FrameBuffer& a, const FrameBuffer& b, int top, int rows, int w) {
  for (int r = top; r < top + rows; ++r) {
    for (int c = 0; c < w; ++c) {
      if (a.at(r, c) != b.at(r, c)) return false;
    }
  }
  return true;
}

inline bool Blank(const FrameBuffer& f, int top, int rows, int w) {
  return SameArea(f, FrameBuffer{}, top, rows, w);
}

}  // namespace testing_preview
