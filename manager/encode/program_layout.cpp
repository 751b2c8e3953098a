#include "manager/encode/program_layout.h"

#include <algorithm>
#include <string>

#include "manager/encode/bmp_reader.h"
#include "manager/encode/gif_reader.h"
#include "manager/encode/picture_file.h"
#include "shared/cp949.h"

namespace encode {

namespace {

using Part = MemoryWrite::Part;

MemoryWrite Write(std::uint32_t address, const std::uint8_t* data, std::size_t n, Part part,
                  bool step) {
  return MemoryWrite{address, std::vector<std::uint8_t>(data, data + n), part, step};
}

// `bytes` at consecutive addresses in writes of at most board::kMaxWriteBytes; `stepEach` marks
// every write as a step, otherwise only the last one is.
void AddRun(std::vector<MemoryWrite>& out, std::uint32_t address,
            const std::vector<std::uint8_t>& bytes, bool stepEach) {
  for (std::size_t done = 0; done < bytes.size();) {
    const std::size_t n = std::min(board::kMaxWriteBytes, bytes.size() - done);
    const bool last = done + n == bytes.size();
    out.push_back(Write(address + static_cast<std::uint32_t>(done), bytes.data() + done, n,
                        Part::Picture, stepEach || last));
    done += n;
  }
}

std::string SourcePath(const item::ItemRecord& record) {
  return text::ReadTextQuarter(record.body.textA);
}

}  // namespace

int DownloadSteps(const ItemLayout& item) {
  // An animation frame steps once, whatever it takes; its writes are made on demand.
  return item.frames + static_cast<int>(std::count_if(item.writes.begin(), item.writes.end(),
                                                      [](const MemoryWrite& w) { return w.step; }));
}

int PreviewSteps(const ItemLayout& item) {
  if (item.status == ItemStatus::TableFull) return 0;
  switch (item.header.kind()) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 5:
    case 6:
      return 1;
    case 4:
      return item.frames;
    default:
      return 0;
  }
}

std::optional<Planes> FilePictures::Bitmap(std::string_view cp949Path) {
  const auto bmp = ReadBmpFile(cp949Path);
  if (!bmp) return std::nullopt;
  return BmpToPlanes(*bmp);
}

namespace {
class GifFrames final : public PictureFrames {
 public:
  int width() const override { return gif_.width(); }
  int height() const override { return gif_.height(); }
  int count() const override { return gif_.FrameCount(); }
  Planes Render(int k) override {
    if (k < next_) {  // starting over: the canvas must be cleared, so load afresh
      std::vector<std::uint8_t> file = file_;
      gif_.LoadBytes(std::move(file));
      next_ = 0;
    }
    for (; next_ <= k; ++next_) gif_.RenderFrame(next_);
    return gif_.CanvasToPlanes();
  }
  bool Load(std::string_view cp949Path) {
    const auto size = PictureFileSize(cp949Path);
    if (!size || *size > GifDecoder::kMaxFileBytes) return false;
    auto bytes = ReadPictureBytes(cp949Path, 0, static_cast<std::size_t>(*size));
    if (!bytes) return false;
    // Kept only to start over; a GIF file is small beside its rendered frames.
    file_ = *bytes;
    return gif_.LoadBytes(std::move(*bytes));
  }

 private:
  GifDecoder gif_;
  std::vector<std::uint8_t> file_;
  int next_ = 0;
};
}  // namespace

std::unique_ptr<PictureFrames> FilePictures::Animation(std::string_view cp949Path) {
  auto frames = std::make_unique<GifFrames>();
  if (!frames->Load(cp949Path) || frames->count() < 1) return nullptr;
  return frames;
}

std::vector<MemoryWrite> ItemLayout::FrameWrites(int k) const {
  std::vector<MemoryWrite> out;
  if (!animation || k < 0 || k >= frames) return out;
  const Planes planes = animation->Render(k);
  const std::uint64_t frameBytes = board::PictureBytes(static_cast<std::size_t>(pictureWidth),
                                                       static_cast<std::size_t>(pictureHeight));
  AddRun(out, imageAddress + static_cast<std::uint32_t>(frameBytes * static_cast<std::uint64_t>(k)),
         planes.bytes(), false);
  return out;
}

bool ForEachWrite(const ItemLayout& item, const std::function<bool(const MemoryWrite&)>& visit) {
  for (const MemoryWrite& w : item.writes)
    if (!visit(w)) return false;
  for (int k = 0; k < item.frames; ++k)
    for (const MemoryWrite& w : item.FrameWrites(k))
      if (!visit(w)) return false;
  return true;
}

ProgramLayout::ProgramLayout() : pictures_(files_) {}
ProgramLayout::ProgramLayout(PictureSource& pictures) : pictures_(pictures) {}

ItemLayout ProgramLayout::Next(const item::ItemRecord& record) {
  ItemLayout item;
  item.index = next_;
  item.header = record.header;
  if (next_ >= board::kMaxItems) {
    item.status = ItemStatus::TableFull;
    return item;
  }
  ++next_;
  const std::uint8_t kind = record.header.kind();
  const std::uint32_t headerAt = board::HeaderAddress(item.index);
  auto& writes = item.writes;
  const auto addHeader = [&](bool step) {
    writes.insert(writes.begin(), Write(headerAt, item.header.bytes.data(), item::kItemHeaderSize,
                                        Part::Header, step));
  };

  if (kind > 7) {
    item.status = ItemStatus::UnknownKind;
    addHeader(false);
    return item;
  }

  if (kind == static_cast<std::uint8_t>(item::ItemKind::Bitmap)) {
    item.imageAddress = bitmap_;
    item.header.setImageAddress(bitmap_);
    const auto planes = pictures_.Bitmap(SourcePath(record));
    if (!planes) {
      item.status = ItemStatus::PictureUnreadable;
    } else {
      const std::vector<std::uint8_t> bytes = planes->bytes();
      item.pictureWidth = planes->width;
      item.pictureHeight = planes->height;
      if (bytes.size() > board::kAnimationArea - bitmap_) {
        item.status = ItemStatus::AreaFull;
      } else {
        AddRun(writes, bitmap_, bytes, true);
        item.imageBytes = static_cast<std::uint32_t>(bytes.size());
        bitmap_ += item.imageBytes;
      }
    }
  } else if (kind == static_cast<std::uint8_t>(item::ItemKind::Animation)) {
    item.imageAddress = animation_;
    item.header.setImageAddress(animation_);
    std::shared_ptr<PictureFrames> frames = pictures_.Animation(SourcePath(record));
    if (!frames || frames->count() < 1 || frames->width() < 1 || frames->height() < 1) {
      item.status = ItemStatus::PictureUnreadable;
    } else {
      item.pictureWidth = frames->width();
      item.pictureHeight = frames->height();
      const std::uint64_t frameBytes =
          board::PictureBytes(static_cast<std::size_t>(item.pictureWidth),
                              static_cast<std::size_t>(item.pictureHeight));
      // Checked before a single frame is drawn: a tiny file may name a huge screen.
      const std::uint64_t total = frameBytes * static_cast<std::uint64_t>(frames->count());
      if (total > board::kMemorySize - animation_) {
        item.status = ItemStatus::AreaFull;
      } else {
        item.frames = frames->count();
        item.animation = std::move(frames);
        item.imageBytes = static_cast<std::uint32_t>(total);
        animation_ += item.imageBytes;
      }
    }
  } else {
    const std::size_t body = board::BodyBytesSent(kind);
    const std::uint32_t bodyAt = board::BodyAddress(item.index);
    for (std::size_t q = 0; q * item::kQuarterSize < body; ++q) {
      const item::Quarter& quarter = record.body.quarter(static_cast<item::QuarterId>(q));
      writes.push_back(Write(bodyAt + static_cast<std::uint32_t>(q * item::kQuarterSize),
                             quarter.data(), item::kQuarterSize, Part::Body, true));
    }
  }
  addHeader(true);
  return item;
}

MemoryWrite CountWrite(int itemCount) {
  std::uint8_t n[2];
  board::Put16(n, static_cast<std::uint16_t>(itemCount));
  return Write(board::kItemCount, n, 2, Part::Count, false);
}

Program LayOutProgram(std::span<const item::ItemRecord> records, PictureSource& pictures) {
  Program program;
  ProgramLayout layout(pictures);
  const std::size_t n = std::min(records.size(), static_cast<std::size_t>(board::kMaxItems));
  program.items.reserve(n);
  for (std::size_t i = 0; i < n; ++i) program.items.push_back(layout.Next(records[i]));
  program.count = CountWrite(static_cast<int>(n));
  return program;
}

Program LayOutProgram(std::span<const item::ItemRecord> records) {
  FilePictures files;
  return LayOutProgram(records, files);
}

}  // namespace encode
