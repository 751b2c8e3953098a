#pragma once
// Builds preview images for tests and benchmarks: settings bytes, the item table, the item
// data area and picture planes, as the manager lays them out. The result is either fed to a
// FlashImage in memory or written as a sparse file.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shared/board_memory.h"
#include "shared/item_record.h"
#include "sign/flash_image.h"

namespace sign_test {

// Text colour bits 7-6, background bits 5-4, style bits 3-2.
constexpr std::uint8_t Attr(int fore, int back = 0, int style = 0) {
  return static_cast<std::uint8_t>(fore << 6 | back << 4 | style << 2);
}

// A picture given as rows of 'R', 'G', 'Y' and '.' characters.
struct Art {
  std::vector<std::string> rows;
  int width() const { return rows.empty() ? 0 : static_cast<int>(rows[0].size()); }
  int height() const { return static_cast<int>(rows.size()); }
  // Red plane then green plane, MSB leftmost.
  std::vector<std::uint8_t> Planes() const;
};

class PreviewBuilder {
 public:
  PreviewBuilder(int widthByte, int tierByte, bool connection = false)
      : width_(widthByte), tier_(tierByte), connection_(connection) {}

  // Adds an item of the given kind byte and returns its record.
  item::ItemRecord& Add(item::ItemKind kind) { return AddRaw(static_cast<std::uint8_t>(kind)); }
  item::ItemRecord& AddRaw(std::uint8_t kind);
  // An item of a text kind: lines A and B (CP949 bytes), every byte of a line with its
  // attribute.
  item::ItemRecord& Text(item::ItemKind kind, std::string_view a, std::uint8_t attrA,
                         std::string_view b = {}, std::uint8_t attrB = 0);
  item::ItemRecord& OneLine(std::string_view text, int entry, int speed, int hold, int exit,
                            std::uint8_t attr = Attr(0));
  // Bitmap (mode 0 hold / 1 scroll) or animation frames; the planes go to the image areas.
  item::ItemRecord& Bitmap(const Art& art, int mode, int speed, int hold);
  item::ItemRecord& Animation(const std::vector<Art>& frames, int speed);

  // Header bytes as (position, value) pairs; returns r.
  static item::ItemRecord& Set(item::ItemRecord& r,
                               std::initializer_list<std::pair<int, int>> bytes);
  static void SetText(item::Quarter& text, item::Quarter& attrs, std::string_view s,
                      std::uint8_t attr);
  // Overrides the item count written to the settings (-1: the number of items added).
  void SetCount(int count) { count_ = count; }

  std::vector<sign::FlashImage::Segment> Segments() const;
  void Load(sign::FlashImage& image) const { image.OpenMemory(Segments()); }
  // Writes the image as a sparse file of `size` bytes (the full 128 MiB by default).
  bool WriteFile(const std::string& path, std::uint64_t size = board::kMemorySize) const;

 private:
  item::ItemRecord& Picture(item::ItemKind kind, const std::vector<Art>& frames,
                            std::uint32_t& address);

  int width_, tier_;
  bool connection_;
  int count_ = -1;
  std::vector<item::ItemRecord> items_;
  std::vector<sign::FlashImage::Segment> images_;
  std::uint32_t bitmapAddress_ = board::kBitmapArea;
  std::uint32_t animationAddress_ = board::kAnimationArea;
};

}  // namespace sign_test
