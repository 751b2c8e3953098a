#include "manager/encode/program_layout.h"

#include <algorithm>
#include <string>

#include "manager/encode/bmp_reader.h"
#include "manager/encode/gif_reader.h"
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
  return static_cast<int>(std::count_if(item.writes.begin(), item.writes.end(),
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

std::optional<std::vector<Planes>> FilePictures::Animation(std::string_view cp949Path) {
  GifDecoder gif;
  if (!gif.Load(cp949Path)) return std::nullopt;
  std::vector<Planes> frames;
  frames.reserve(static_cast<std::size_t>(gif.FrameCount()));
  for (int k = 0; k < gif.FrameCount(); ++k) {
    gif.RenderFrame(k);
    frames.push_back(gif.CanvasToPlanes());
  }
  return frames;
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
    const auto frames = pictures_.Animation(SourcePath(record));
    const auto sameSize = [&](const Planes& p) {
      return p.width == frames->front().width && p.height == frames->front().height;
    };
    if (!frames || frames->empty() || !std::all_of(frames->begin(), frames->end(), sameSize)) {
      item.status = ItemStatus::PictureUnreadable;
    } else {
      item.pictureWidth = frames->front().width;
      item.pictureHeight = frames->front().height;
      const std::uint64_t frameBytes =
          board::PictureBytes(static_cast<std::size_t>(item.pictureWidth),
                              static_cast<std::size_t>(item.pictureHeight));
      const std::uint64_t total = frameBytes * frames->size();
      if (total > board::kMemorySize - animation_) {
        item.status = ItemStatus::AreaFull;
      } else {
        for (std::size_t k = 0; k < frames->size(); ++k)
          AddRun(writes, animation_ + static_cast<std::uint32_t>(frameBytes * k),
                 (*frames)[k].bytes(), false);
        item.frames = static_cast<int>(frames->size());
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
