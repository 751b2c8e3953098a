#pragma once
// Builds preview images for tests: settings bytes, the item table, the item data area and
// picture planes, as the manager lays them out. The result is either fed to a FlashImage
// in memory or written as a sparse file.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shared/board_memory.h"
#include "shared/item_record.h"
#include "sign/flash_image.h"

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
        const auto bit = static_cast<std::uint8_t>(0x80 >> (c % 8));
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

  // Adds an item of the given kind byte and returns its record.
  item::ItemRecord& Add(item::ItemKind kind) { return AddRaw(static_cast<std::uint8_t>(kind)); }
  item::ItemRecord& AddRaw(std::uint8_t kind) {
    items_.emplace_back().header[item::hdr::kKind] = kind;
    return items_.back();
  }

  // An item of a text kind: lines A and B (CP949 bytes), every byte of a line with its
  // attribute.
  item::ItemRecord& Text(item::ItemKind kind, std::string_view a, std::uint8_t attrA,
                         std::string_view b = {}, std::uint8_t attrB = 0) {
    item::ItemRecord& r = Add(kind);
    SetText(r.body.textA, r.body.attrA, a, attrA);
    SetText(r.body.textB, r.body.attrB, b, attrB);
    return r;
  }
  item::ItemRecord& OneLine(std::string_view text, int entry, int speed, int hold, int exit,
                            std::uint8_t attr = Attr(0)) {
    item::ItemRecord& r = Text(item::ItemKind::OneLine, text, attr);
    Set(r, {{item::hdr::kEntry, entry},
            {item::hdr::kSpeed, speed},
            {item::hdr::kHold, hold},
            {item::hdr::kExit, exit}});
    return r;
  }

  // Header bytes as (position, value) pairs.
  static void Set(item::ItemRecord& r, std::initializer_list<std::pair<int, int>> bytes) {
    for (auto [at, v] : bytes) r.header[at] = static_cast<std::uint8_t>(v);
  }

  static void SetText(item::Quarter& text, item::Quarter& attrs, std::string_view s,
                      std::uint8_t attr) {
    text.fill(0);
    attrs.fill(0);
    for (std::size_t i = 0; i < s.size() && i < item::kQuarterSize; ++i) {
      text[i] = static_cast<std::uint8_t>(s[i]);
      attrs[i] = attr;
    }
  }

  // Bitmap (mode 0 hold / 1 scroll) or animation frames; the planes go to the image areas.
  item::ItemRecord& Bitmap(const Art& art, int mode, int speed, int hold) {
    item::ItemRecord& r = Picture(item::ItemKind::Bitmap, {art}, bitmapAddress_);
    Set(r, {{item::hdr::kBitmapMode, mode}, {item::hdr::kSpeed, speed}, {item::hdr::kHold, hold}});
    return r;
  }
  item::ItemRecord& Animation(const std::vector<Art>& frames, int speed) {
    item::ItemRecord& r = Picture(item::ItemKind::Animation, frames, animationAddress_);
    Set(r, {{item::hdr::kSpeed, speed}, {item::hdr::kFrames, static_cast<int>(frames.size())}});
    return r;
  }

  std::vector<sign::FlashImage::Segment> Segments() const {
    std::vector<std::uint8_t> settings(0x12, 0);
    settings[8] = static_cast<std::uint8_t>(width_);
    settings[9] = static_cast<std::uint8_t>(tier_);
    const int count = count_ >= 0 ? count_ : static_cast<int>(items_.size());
    board::Put16(&settings[0x0E], static_cast<std::uint16_t>(count));
    settings[0x11] = connection_ ? 1 : 0;
    std::vector<sign::FlashImage::Segment> s{{board::kModelId, settings}};
    std::vector<std::uint8_t> rec(item::kItemRecordSize);
    for (std::size_t i = 0; i < items_.size(); ++i) {
      item::RecordToBytes(items_[i], rec.data());
      const auto split = rec.begin() + item::kItemHeaderSize;
      s.push_back({board::HeaderAddress(static_cast<int>(i)), {rec.begin(), split}});
      s.push_back({board::BodyAddress(static_cast<int>(i)), {split, rec.end()}});
    }
    s.insert(s.end(), images_.begin(), images_.end());
    return s;
  }

  void Load(sign::FlashImage& image) const { image.OpenMemory(Segments()); }

  // Writes the image as a sparse file of `size` bytes (the full 128 MiB by default).
  bool WriteFile(const std::string& path, std::uint64_t size = board::kMemorySize) const {
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) return false;
    bool ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    for (const sign::FlashImage::Segment& seg : Segments()) {
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

 private:
  item::ItemRecord& Picture(item::ItemKind kind, const std::vector<Art>& frames,
                            std::uint32_t& address) {
    item::ItemRecord& r = Add(kind);
    r.header.set16(item::hdr::kPictureWidth, static_cast<std::uint16_t>(frames[0].width()));
    r.header.set16(item::hdr::kPictureHeight, static_cast<std::uint16_t>(frames[0].height()));
    r.header.setImageAddress(address);
    for (const Art& f : frames) {
      images_.push_back({address, f.Planes()});
      address += static_cast<std::uint32_t>(images_.back().bytes.size());
    }
    return r;
  }

  int width_, tier_;
  bool connection_;
  int count_ = -1;
  std::vector<item::ItemRecord> items_;
  std::vector<sign::FlashImage::Segment> images_;
  std::uint32_t bitmapAddress_ = board::kBitmapArea;
  std::uint32_t animationAddress_ = board::kAnimationArea;
};

}  // namespace testing_preview
