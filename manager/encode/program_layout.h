#pragma once
// Where a program's bytes lie in board memory. The download sends these writes to the
// sign and the preview writer puts them into the preview file at the same addresses, so
// both place every byte alike.
//
// A program is laid out item by item in list order. Each item yields its memory writes
// in the order the download sends them: the 32-byte header at the item table, then the
// body quarters its kind uses, then its picture planes (red plane, green plane) in the
// image area, cut into writes of at most 2048 bytes. Bitmaps are packed from 0x4A0000 and
// animations from 0xC80000 in list order; an item gets the running address of its area in
// header bytes 21-24, and a picture that was laid out moves that address past itself.
// No two writes of one program overlap, so a file writer may apply them in any order.
//
// A picture that cannot be read is not a layout error: the item reports it in its status,
// carries the header (with the address the picture would have had) and nothing else, and
// the running address stays. Whether that fails a download or is skipped by a preview is
// the caller's choice. Nothing here touches a link; only the source pictures are read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "manager/encode/planes.h"
#include "shared/board_memory.h"
#include "shared/item_record.h"

namespace encode {


struct MemoryWrite {
  enum class Part { Header, Body, Picture, Count };
  std::uint32_t address = 0;
  std::vector<std::uint8_t> bytes;  // 1 to board::kMaxWriteBytes bytes
  Part part = Part::Header;
  // The download's progress display steps once this write is acknowledged: after the
  // header and each body quarter, after each bitmap write, after each animation frame.
  bool step = false;
};

enum class ItemStatus {
  Ok,
  UnknownKind,        // kind above 7: the header as stored, nothing else, no progress step
  PictureUnreadable,  // no readable BMP, or a GIF without a frame
  AreaFull,           // the picture would run past the end of its image area
  TableFull,          // past the 100th item: nothing is written
};

struct ItemLayout {
  int index = 0;
  ItemStatus status = ItemStatus::Ok;
  item::ItemHeader header;         // as written, image address filled in
  std::uint32_t imageAddress = 0;  // bitmaps and animations: start of the item's image data
  std::uint32_t imageBytes = 0;    // image bytes written: 2 * P, or frames * 2 * P
  int pictureWidth = 0, pictureHeight = 0;  // from the source file, when read
  int frames = 0;                           // animation frames written
  std::vector<MemoryWrite> writes;
};

// Progress steps an item takes: the download steps on every write marked `step`; the
// preview once for kinds 0, 1, 2, 3, 5 and 6, once per frame written for kind 4 and not
// at all for the rest.
int DownloadSteps(const ItemLayout& item);
int PreviewSteps(const ItemLayout& item);

// Where pictures come from; the items name them by CP949 path in text A.
class PictureSource {
 public:
  virtual ~PictureSource() = default;
  // The two planes of a bitmap, or nullopt when the file is no readable BMP.
  virtual std::optional<Planes> Bitmap(std::string_view cp949Path) = 0;
  // Every frame of an animation, all of the logical screen's size, each rendered over the
  // ones before; nullopt (or no frames) when it does not decode.
  virtual std::optional<std::vector<Planes>> Animation(std::string_view cp949Path) = 0;
};

// Reads the files named by the items.
class FilePictures final : public PictureSource {
 public:
  std::optional<Planes> Bitmap(std::string_view cp949Path) override;
  std::optional<std::vector<Planes>> Animation(std::string_view cp949Path) override;
};

// Lays out one program; create one per download or preview, so the image areas start
// afresh from their bases.
class ProgramLayout {
 public:
  ProgramLayout();  // pictures from files
  explicit ProgramLayout(PictureSource& pictures);
  ProgramLayout(const ProgramLayout&) = delete;
  ProgramLayout& operator=(const ProgramLayout&) = delete;

  // The next item of the list (the first call is item 0).
  ItemLayout Next(const item::ItemRecord& record);

  int itemsLaidOut() const { return next_; }
  std::uint32_t bitmapAddress() const { return bitmap_; }
  std::uint32_t animationAddress() const { return animation_; }

 private:
  FilePictures files_;
  PictureSource& pictures_;
  int next_ = 0;
  std::uint32_t bitmap_ = board::kBitmapArea;
  std::uint32_t animation_ = board::kAnimationArea;
};

// The item count at 0x02000E, the last data write of a download.
MemoryWrite CountWrite(int itemCount);

struct Program {
  std::vector<ItemLayout> items;
  MemoryWrite count;
};
// A whole list; at most 100 records are taken, and the count is the number taken.
Program LayOutProgram(std::span<const item::ItemRecord> records, PictureSource& pictures);
Program LayOutProgram(std::span<const item::ItemRecord> records);

}  // namespace encode
