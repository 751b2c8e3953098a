#include "tools/fontgen/contact_sheet.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace {

enum Ink : std::uint8_t { kGap, kUnlit, kLit, kLitFallback, kUnassigned, kMissing };

constexpr png_color kPalette[] = {
    {0x70, 0x70, 0x70},  // space between cells
    {0xFF, 0xFF, 0xFF},  // unlit dot
    {0x00, 0x00, 0x00},  // lit dot
    {0x10, 0x40, 0xE0},  // lit dot from a gap face
    {0xC8, 0xC8, 0xC8},  // slot code page 949 does not assign
    {0xFF, 0x50, 0x50},  // slot that should have ink
};

constexpr int kScale = 2;
constexpr int kGapDots = 2;

}  // namespace

bool WriteContactSheet(const BuiltTable& table, const std::string& path) {
  const int size = table.def->size;
  const int cellWidth = CellWidth(table.def->kind, size);
  const int perLine = table.def->kind == TableKind::English ? 16 : 94;
  const int count = static_cast<int>(table.cells.size());
  const int lines = (count + perLine - 1) / perLine;
  const int pitchX = cellWidth * kScale + kGapDots;
  const int pitchY = size * kScale + kGapDots;
  const int width = perLine * pitchX + kGapDots;
  const int height = lines * pitchY + kGapDots;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height, kGap);

  for (int i = 0; i < count; ++i) {
    const CodeSlot& slot = table.slots[static_cast<std::size_t>(i)];
    const int used = table.faceUsed[static_cast<std::size_t>(i)];
    const auto& cell = table.cells[static_cast<std::size_t>(i)];
    const int ox = kGapDots + (i % perLine) * pitchX;
    const int oy = kGapDots + (i / perLine) * pitchY;
    const std::uint8_t back = slot.unicode == 0             ? kUnassigned
                              : (slot.needsInk && used < 0) ? kMissing
                                                            : kUnlit;
    const std::uint8_t lit = used > 0 ? kLitFallback : kLit;
    for (int y = 0; y < size * kScale; ++y) {
      for (int x = 0; x < cellWidth * kScale; ++x) {
        const bool on = cell[static_cast<std::size_t>((y / kScale) * cellWidth + x / kScale)] != 0;
        pixels[static_cast<std::size_t>(oy + y) * width + ox + x] = on ? lit : back;
      }
    }
  }

  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 1);  // a build artefact: speed over size
  png_set_PLTE(png, info, kPalette, static_cast<int>(sizeof kPalette / sizeof kPalette[0]));
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    png_write_row(png, pixels.data() + static_cast<std::size_t>(y) * width);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}
