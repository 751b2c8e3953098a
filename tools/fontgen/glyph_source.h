#pragma once
// One installed font face as a source of monochrome glyph bitmaps. Outline faces are
// rendered hinted and monochrome at any pixel size; bitmap faces (the 16-pixel KS C 5601
// PCF strikes) are used at their own size and indexed by the 7-bit KS code.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>
#include <vector>

// A rendered glyph. Bitmap column 0 lies at pen x + left, bitmap row 0 at baseline - top.
struct Glyph {
  int width = 0;
  int rows = 0;
  int left = 0;
  int top = 0;
  int advance = 0;                // pixels
  std::vector<std::uint8_t> ink;  // width * rows, 1 = lit
  bool HasInk() const;
  bool Lit(int x, int y) const { return ink[static_cast<std::size_t>(y * width + x)] != 0; }
};

class FreeTypeLibrary {
 public:
  FreeTypeLibrary();
  ~FreeTypeLibrary();
  FreeTypeLibrary(const FreeTypeLibrary&) = delete;
  FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;
  FT_Library get() const { return lib_; }

 private:
  FT_Library lib_ = nullptr;
};

class GlyphSource {
 public:
  // label names the face in reports; index selects the face of a collection.
  GlyphSource(FT_Library lib, std::string label, const std::string& path, int index);
  ~GlyphSource();
  GlyphSource(const GlyphSource&) = delete;
  GlyphSource& operator=(const GlyphSource&) = delete;

  bool valid() const { return face_ != nullptr; }
  bool isBitmap() const { return bitmap_; }
  const std::string& label() const { return label_; }
  // Baseline row of a bitmap strike (its ascent); 0 for outline faces.
  int ascent() const { return ascent_; }

  // True when the face maps the character (KS code for bitmap faces, Unicode otherwise).
  bool Maps(std::uint16_t ksCode, char32_t unicode) const;
  // Renders the character; pxWidth/pxHeight are ignored by bitmap faces. Returns false when
  // the face has no glyph for it. A mapped glyph may still be empty: check HasInk().
  bool Render(std::uint16_t ksCode, char32_t unicode, int pxWidth, int pxHeight, Glyph& out);

 private:
  unsigned GlyphIndex(std::uint16_t ksCode, char32_t unicode) const;

  std::string label_;
  FT_Face face_ = nullptr;
  bool bitmap_ = false;
  int ascent_ = 0;
  int curWidth_ = 0;
  int curHeight_ = 0;
};
