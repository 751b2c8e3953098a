#include "tests/support/test_fonts.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

using sign::FrameBuffer;

namespace sign_test {

TempDir::TempDir(const std::string& stem) {
  static int counter = 0;
  path = std::filesystem::temp_directory_path() /
         (stem + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::uint16_t GlyphCode(const sign::FontFileInfo& info, std::size_t g) {
  if (info.table == sign::FontTable::English) return static_cast<std::uint16_t>(0x20 + g);
  const std::size_t firstLead = info.table == sign::FontTable::Special  ? 0xA1
                                : info.table == sign::FontTable::Hangul ? 0xB0
                                                                        : 0xCA;
  return static_cast<std::uint16_t>((firstLead + g / 94) << 8 | (0xA1 + g % 94));
}

std::vector<std::uint8_t> TestGlyph(const sign::FontFileInfo& info, std::size_t g) {
  const bool narrow = info.table == sign::FontTable::English;
  const int cellWidth = narrow ? info.size / 2 : info.size, codeBits = narrow ? 8 : 16;
  const std::uint16_t code = GlyphCode(info, g);
  std::vector<std::uint8_t> bytes(info.glyphBytes, 0);
  if (code == 0x20) return bytes;
  auto set = [&](int r, int c) {
    bytes[static_cast<std::size_t>(r * cellWidth / 8 + c / 8)] |=
        static_cast<std::uint8_t>(0x80 >> (c % 8));
  };
  for (int k = 0; k < codeBits; ++k) {
    if (code >> (codeBits - 1 - k) & 1) set(0, k);
  }
  for (int k = 0; k <= info.style; ++k) set(1, k);
  for (int r = 2; r < info.size; ++r) {
    for (int c = 0; c < cellWidth - 1; ++c) set(r, c);
  }
  return bytes;
}

void WriteTestFontFiles(const std::filesystem::path& fontDir) {
  std::filesystem::create_directories(fontDir);
  for (const sign::FontFileInfo& info : sign::kFontFiles) {
    std::ofstream out(fontDir / info.name, std::ios::binary);
    out << std::string(sign::kFontHeaderBytes, '\0');
    for (std::size_t g = 0; g < info.glyphs; ++g) {
      const std::vector<std::uint8_t> b = TestGlyph(info, g);
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
  }
}

const sign::FontSet& TestFonts() {
  static const sign::FontSet fonts = [] {
    const TempDir root("brellion-test-fonts");
    WriteTestFontFiles(root.path / "font");
    sign::FontSet set;
    set.Load(root.path.string() + "/", [](const std::string&, const std::string&) {});
    return set;
  }();
  return fonts;
}

namespace {

// The code drawn by a test glyph whose cell starts at (x, y); 0 for a blank cell.
std::uint16_t CodeAt(const FrameBuffer& f, int x, int y, bool wide) {
  std::uint16_t code = 0;
  for (int k = 0; k < (wide ? 16 : 8); ++k) {
    code = static_cast<std::uint16_t>(code << 1 | (f.at(y, x + k) != 0 ? 1 : 0));
  }
  return code;
}

std::string HangulName(std::uint16_t code) {
  const std::pair<std::uint16_t, const char*> names[] = {
      {0xB0A1, "가"}, {0xB3E2, "년"}, {0xBFF9, "월"}, {0xC0CF, "일"}, {0xBDC3, "시"},
      {0xBAD0, "분"}, {0xBFC0, "오"}, {0xC0FC, "전"}, {0xC8C4, "후"}};
  for (auto [c, name] : names) {
    if (c == code) return name;
  }
  return "<" + std::to_string(code) + ">";
}

}  // namespace

std::string ReadText(const FrameBuffer& f, int x, int y, int w, int size) {
  std::string s;
  for (const int end = x + w; x < end;) {
    const bool wide = f.at(y, x) != 0;
    const std::uint16_t code = CodeAt(f, x, y, wide);
    s += wide ? HangulName(code) : std::string(1, code == 0 ? ' ' : static_cast<char>(code));
    x += wide ? size : size / 2;
  }
  return s;
}

FrameBuffer RenderText(std::string_view text, int x, int y, int size, int w, std::uint8_t fore) {
  FrameBuffer f;
  sign::FontPen pen{&f, w, size, 0, fore, sign::kDotOff};
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto code = static_cast<std::uint16_t>(static_cast<std::uint8_t>(text[i]));
    if (code >= 0x80) code = static_cast<std::uint16_t>(code << 8 | std::uint8_t(text[++i]));
    x += TestFonts().DrawChar(pen, x, y, code);
  }
  return f;
}

std::string ArtOf(const FrameBuffer& f, int top, int rows, int w, int left) {
  std::string s;
  for (int r = top; r < top + rows; ++r) {
    for (int c = left; c < left + w; ++c) s.push_back(".GRY"[f.at(r, c) >> 6]);
    s.push_back('\n');
  }
  return s;
}

bool SameArea(const FrameBuffer& a, const FrameBuffer& b, int top, int rows, int w) {
  for (int r = top; r < top + rows; ++r) {
    if (!std::equal(a.row(r), a.row(r) + w, b.row(r))) return false;
  }
  return true;
}

}  // namespace sign_test
