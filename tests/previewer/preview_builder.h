#pragma once
// Builds preview images for tests: settings bytes, the item table, the item data area and
// picture planes, as the manager lays them out. The result is either fed to a FlashImage
// in memory or written as a sparse file.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "previewer/flash_image.h"
#include "shared/board_memory.h"
#include "shared/item_record.h"

namespace testing_preview {

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
  std::vector<std::uint8_t> Planes() const {
    const std::size_t rb = board::PlaneRowBytes(static_cast<std::size_t>(width()));
    std::vector<std::uint8_t> out(2 * rb * rows.size(), 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (std::size_t c = 0; c < rows[r].size(); ++c) {
        const char ch = rows[r][c];
        const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (c % 8));
        if (ch == 'R' || ch == 'Y') out[r * rb + c / 8] |= bit;
        if (ch == 'G' || ch == 'Y') out[rb * rows.size() + r * rb + c / 8] |= bit;
      }
    }
    return out;
  }
};

class PreviewBuilder {
 public:
  PreviewBuilder(int widthByte, int tierByte, bool connection = false)
      : width_(widthByte), tier_(tierByte), connection_(connection) {}

  // Adds an item with the given header bytes (index: value) and returns its record.
  ItemRecord& Add(ItemKind kind) { return AddRaw(static_cast<std::uint8_t>(kind)); }
  ItemRecord& AddRaw(std::uint8_t kind) {
    items_.emplace_back();
    items_.back().header[hdr::kKind] = kind;
    return items_.back();
  }

  // One-line text (CP949 bytes), every byte with attribute attr.
  ItemRecord& OneLine(std::string_view text, int entry, int speed, int hold, int exit,
                      std::uint8_t attr = Attr(0)) {
    ItemRecord& r = Add(ItemKind::OneLine);
    r.header[hdr::kEntry] = static_cast<std::uint8_t>(entry);
    r.header[hdr::kSpeed] = static_cast<std::uint8_t>(speed);
    r.header[hdr::kHold] = static_cast<std::uint8_t>(hold);
    r.header[hdr::kExit] = static_cast<std::uint8_t>(exit);
    SetText(r.body.textA, r.body.attrA, text, attr);
    return r;
  }

  static void SetText(Quarter& text, Quarter& attrs, std::string_view s, std::uint8_t attr) {
    text.fill(0);
    attrs.fill(0);
    for (std::size_t i = 0; i < s.size() && i < kQuarterSize; ++i) {
      text[i] = static_cast<std::uint8_t>(s[i]);
      attrs[i] = attr;
    }
  }

  // Bitmap (mode 0 hold / 1 scroll) or animation frames; the planes go to the image areas.
  ItemRecord& Bitmap(const Art& art, int mode, int speed, int hold) {
    ItemRecord& r = Add(ItemKind::Bitmap);
    r.header[hdr::kBitmapMode] = static_cast<std::uint8_t>(mode);
    r.header[hdr::kSpeed] = static_cast<std::uint8_t>(speed);
    r.header[hdr::kHold] = static_cast<std::uint8_t>(hold);
    r.header.set16(hdr::kPictureWidth, static_cast<std::uint16_t>(art.width()));
    r.header.set16(hdr::kPictureHeight, static_cast<std::uint16_t>(art.height()));
    r.header.setImageAddress(bitmapAddress_);
    const std::vector<std::uint8_t> planes = art.Planes();
    images_.push_back({bitmapAddress_, planes});
    bitmapAddress_ += static_cast<std::uint32_t>(planes.size());
    return r;
  }
  ItemRecord& Animation(const std::vector<Art>& frames, int speed) {
    ItemRecord& r = Add(ItemKind::Animation);
    r.header[hdr::kSpeed] = static_cast<std::uint8_t>(speed);
    r.header.set16(hdr::kPictureWidth, static_cast<std::uint16_t>(frames[0].width()));
    r.header.set16(hdr::kPictureHeight, static_cast<std::uint16_t>(frames[0].height()));
    r.header[hdr::kFrames] = static_cast<std::uint8_t>(frames.size());
    r.header.setImageAddress(animationAddress_);
    for (const Art& f : frames) {
      const std::vector<std::uint8_t> planes = f.Planes();
      images_.push_back({animationAddress_, planes});
      animationAddress_ += static_cast<std::uint32_t>(planes.size());
    }
    return r;
  }

  std::vector<FlashImage::Segment> Segments() const {
    std::vector<FlashImage::Segment> s;
    std::vector<std::uint8_t> settings(0x12, 0);
    settings[8] = static_cast<std::uint8_t>(width_);
    settings[9] = static_cast<std::uint8_t>(tier_);
    const int count = count_ >= 0 ? count_ : static_cast<int>(items_.size());
    board::Put16(&settings[0x0E], static_cast<std::uint16_t>(count));
    settings[0x11] = connection_ ? 1 : 0;
    s.push_back({board::kModelId, settings});
    for (std::size_t i = 0; i < items_.size(); ++i) {
      const ItemRecord& r = items_[i];
      s.push_back({board::HeaderAddress(static_cast<int>(i)),
                   std::vector<std::uint8_t>(r.header.bytes.begin(), r.header.bytes.end())});
      std::vector<std::uint8_t> body(kItemBodySize);
      RecordToBytes(r, scratch_.data());
      body.assign(scratch_.begin() + kItemHeaderSize, scratch_.end());
      s.push_back({board::BodyAddress(static_cast<int>(i)), body});
    }
    for (const auto& img : images_) s.push_back(img);
    return s;
  }

  void Load(FlashImage& image) const { image.OpenMemory(Segments()); }

  // Writes the image as a sparse file of `size` bytes (the full 128 MiB by default).
  bool WriteFile(const std::string& path, std::uint64_t size = board::kMemorySize) const {
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) return false;
    bool ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    for (const FlashImage::Segment& seg : Segments()) {
      if (seg.address >= size) continue;
      const std::size_t n =
          static_cast<std::size_t>(std::min<std::uint64_t>(seg.bytes.size(), size - seg.address));
      ok = ok && ::pwrite(fd, seg.bytes.data(), n, seg.address) == static_cast<ssize_t>(n);
    }
    ::close(fd);
    return ok;
  }

  // Overrides the item count written to the settings (-1: the number of items added).
  void SetCount(int count) { count_ = count; }
  std::vector<ItemRecord>& items() { return items_; }

 private:
  int width_, tier_;
  bool connection_;
  int count_ = -1;
  std::vector<ItemRecord> items_;
  std::vector<FlashImage::Segment> images_;
  std::uint32_t bitmapAddress_ = board::kBitmapArea;
  std::uint32_t animationAddress_ = board::kAnimationArea;
  mutable std::vector<std::uint8_t> scratch_ = std::vector<std::uint8_t>(kItemRecordSize);
};

}  // namespace testing_preview
