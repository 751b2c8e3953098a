#pragma once
// Fonts whose glyphs can be read back from a frame, and frames compared and shown as text.
//
// Every test glyph: row 0 carries the code (narrow: the byte, wide: lead then trail) in its
// leftmost dots, row 1 lights style + 1 dots, the remaining rows are lit except the cell's
// last column. The space is blank.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "sign/font_set.h"
#include "sign/frame_buffer.h"

namespace sign_test {

// A new folder in the temporary folder, named after stem and the process, removed with all
// it holds when done with.
struct TempDir {
  explicit TempDir(const std::string& stem);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string Path(const std::string& name) const { return (path / name).string(); }
  std::filesystem::path path;
};

// A whole file's bytes; empty when it cannot be read.
std::string FileBytes(const std::string& path);

// The code (a byte, or lead and trail bytes) that glyph g of a font file stands for.
std::uint16_t GlyphCode(const sign::FontFileInfo& info, std::size_t g);
// Glyph g of a font file, as the test fonts hold it.
std::vector<std::uint8_t> TestGlyph(const sign::FontFileInfo& info, std::size_t g);
// Writes the twenty test font files into fontDir (created when missing).
void WriteTestFontFiles(const std::filesystem::path& fontDir);
// The test font set, written once per process into a temporary folder.
const sign::FontSet& TestFonts();

// The text drawn with the test glyphs of a size in columns [x, x + w) from row y: a wide
// cell (its first dot lit) as its Hangul (the few the tests use; others as "<code>"), a
// narrow one as its byte, a blank one as a space.
std::string ReadText(const sign::FrameBuffer& f, int x, int y, int w, int size = 16);
// Text in one colour drawn at x into an empty frame of width w, as a reference.
sign::FrameBuffer RenderText(std::string_view text, int x, int y, int size, int w,
                             std::uint8_t fore = sign::kDotRed);

// Rows [top, top + rows), columns [left, left + w) as lines of '.', 'G', 'R' and 'Y'.
std::string ArtOf(const sign::FrameBuffer& f, int top, int rows, int w, int left = 0);
// True when rows [top, top + rows), columns [0, w) of both frames match.
bool SameArea(const sign::FrameBuffer& a, const sign::FrameBuffer& b, int top, int rows, int w);
inline bool Blank(const sign::FrameBuffer& f, int top, int rows, int w) {
  return SameArea(f, sign::FrameBuffer{}, top, rows, w);
}

}  // namespace sign_test
