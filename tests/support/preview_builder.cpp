#include "tests/support/preview_builder.h"

#include <algorithm>

#include "shared/file_io.h"

namespace sign_test {

std::vector<std::uint8_t> Art::Planes() const {
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

item::ItemRecord& PreviewBuilder::AddRaw(std::uint8_t kind) {
  items_.emplace_back().header[item::hdr::kKind] = kind;
  return items_.back();
}

item::ItemRecord& PreviewBuilder::Text(item::ItemKind kind, std::string_view a, std::uint8_t attrA,
                                       std::string_view b, std::uint8_t attrB) {
  item::ItemRecord& r = Add(kind);
  SetText(r.body.textA, r.body.attrA, a, attrA);
  SetText(r.body.textB, r.body.attrB, b, attrB);
  return r;
}

item::ItemRecord& PreviewBuilder::OneLine(std::string_view text, int entry, int speed, int hold,
                                          int exit, std::uint8_t attr) {
  item::ItemRecord& r = Text(item::ItemKind::OneLine, text, attr);
  Set(r, {{item::hdr::kEntry, entry},
          {item::hdr::kSpeed, speed},
          {item::hdr::kHold, hold},
          {item::hdr::kExit, exit}});
  return r;
}

item::ItemRecord& PreviewBuilder::Bitmap(const Art& art, int mode, int speed, int hold) {
  item::ItemRecord& r = Picture(item::ItemKind::Bitmap, {art}, bitmapAddress_);
  Set(r, {{item::hdr::kBitmapMode, mode}, {item::hdr::kSpeed, speed}, {item::hdr::kHold, hold}});
  return r;
}

item::ItemRecord& PreviewBuilder::Animation(const std::vector<Art>& frames, int speed) {
  item::ItemRecord& r = Picture(item::ItemKind::Animation, frames, animationAddress_);
  Set(r, {{item::hdr::kSpeed, speed}, {item::hdr::kFrames, static_cast<int>(frames.size())}});
  return r;
}

item::ItemRecord& PreviewBuilder::Set(item::ItemRecord& r,
                                      std::initializer_list<std::pair<int, int>> bytes) {
  for (auto [at, v] : bytes) r.header[at] = static_cast<std::uint8_t>(v);
  return r;
}

void PreviewBuilder::SetText(item::Quarter& text, item::Quarter& attrs, std::string_view s,
                             std::uint8_t attr) {
  text.fill(0);
  attrs.fill(0);
  for (std::size_t i = 0; i < s.size() && i < item::kQuarterSize; ++i) {
    text[i] = static_cast<std::uint8_t>(s[i]);
    attrs[i] = attr;
  }
}

std::vector<sign::FlashImage::Segment> PreviewBuilder::Segments() const {
  std::vector<std::uint8_t> settings(0x12, 0);
  settings[board::kWidth - board::kModelId] = static_cast<std::uint8_t>(width_);
  settings[board::kRowsCode - board::kModelId] = static_cast<std::uint8_t>(tier_);
  const int count = count_ >= 0 ? count_ : static_cast<int>(items_.size());
  board::Put16(&settings[board::kItemCount - board::kModelId], static_cast<std::uint16_t>(count));
  settings[board::kConnection - board::kModelId] = connection_ ? 1 : 0;
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

bool PreviewBuilder::WriteFile(const std::string& path, std::uint64_t size) const {
  fileio::ReplacingFile file(path);
  bool ok = file.SetLength(size);
  for (const sign::FlashImage::Segment& seg : Segments()) {
    if (seg.address >= size) continue;
    const auto n = std::min<std::uint64_t>(seg.bytes.size(), size - seg.address);
    ok = ok && file.WriteAt(seg.address, seg.bytes.data(), static_cast<std::size_t>(n));
  }
  return ok && file.Commit() == 0;
}

item::ItemRecord& PreviewBuilder::Picture(item::ItemKind kind, const std::vector<Art>& frames,
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

}  // namespace sign_test
