#include "tools/fontgen/glyph_source.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

bool Glyph::HasInk() const {
  return std::any_of(ink.begin(), ink.end(), [](std::uint8_t v) { return v != 0; });
}

FreeTypeLibrary::FreeTypeLibrary() {
  if (FT_Init_FreeType(&lib_) != 0) throw std::runtime_error("FreeType cannot start");
}

FreeTypeLibrary::~FreeTypeLibrary() {
  FT_Done_FreeType(lib_);
}

GlyphSource::GlyphSource(FT_Library lib, std::string label, const std::string& path, int index)
    : label_(std::move(label)) {
  if (FT_New_Face(lib, path.c_str(), index, &face_) != 0) {
    face_ = nullptr;
    return;
  }
  if (!FT_IS_SCALABLE(face_) && face_->num_fixed_sizes > 0) {
    bitmap_ = true;
    FT_Select_Size(face_, 0);
    ascent_ = static_cast<int>(face_->size->metrics.ascender >> 6);
    // PCF strikes carry their KS C 5601 charset as the only, untagged, character map.
    if (!face_->charmap && face_->num_charmaps > 0) FT_Set_Charmap(face_, face_->charmaps[0]);
  } else if (FT_Select_Charmap(face_, FT_ENCODING_UNICODE) != 0) {
    FT_Done_Face(face_);
    face_ = nullptr;
  }
}

GlyphSource::~GlyphSource() {
  if (face_) FT_Done_Face(face_);
}

unsigned GlyphSource::GlyphIndex(std::uint16_t ksCode, char32_t unicode) const {
  if (!face_) return 0;
  if (bitmap_) {
    if (ksCode < 0x100) return 0;  // the KS strikes hold no ASCII
    return FT_Get_Char_Index(face_, ksCode & 0x7F7Fu);
  }
  return unicode ? FT_Get_Char_Index(face_, unicode) : 0;
}

bool GlyphSource::Maps(std::uint16_t ksCode, char32_t unicode) const {
  return GlyphIndex(ksCode, unicode) != 0;
}

bool GlyphSource::Render(std::uint16_t ksCode, char32_t unicode, int pxWidth, int pxHeight,
                         Glyph& out) {
  out = Glyph{};
  const unsigned index = GlyphIndex(ksCode, unicode);
  if (index == 0) return false;
  FT_Int32 flags = FT_LOAD_DEFAULT;
  if (!bitmap_) {
    if (pxWidth != curWidth_ || pxHeight != curHeight_) {
      if (FT_Set_Pixel_Sizes(face_, static_cast<FT_UInt>(pxWidth),
                             static_cast<FT_UInt>(pxHeight)) != 0) {
        return false;
      }
      curWidth_ = pxWidth;
      curHeight_ = pxHeight;
    }
    // Hinted monochrome keeps single-dot strokes; grey rendering cut at a threshold loses them.
    flags = FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP;
  }
  if (FT_Load_Glyph(face_, index, flags) != 0) return false;
  FT_GlyphSlot slot = face_->glyph;
  if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) {
    return false;
  }
  const FT_Bitmap& bm = slot->bitmap;
  out.width = static_cast<int>(bm.width);
  out.rows = static_cast<int>(bm.rows);
  out.left = slot->bitmap_left;
  out.top = slot->bitmap_top;
  out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
  out.ink.assign(static_cast<std::size_t>(out.width * out.rows), 0);
  for (int y = 0; y < out.rows; ++y) {
    const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
    for (int x = 0; x < out.width; ++x) {
      bool lit = false;
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
        lit = (row[x >> 3] & (0x80 >> (x & 7))) != 0;
      } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
        lit = row[x] >= 128;
      }
      out.ink[static_cast<std::size_t>(y * out.width + x)] = lit ? 1 : 0;
    }
  }
  return true;
}
