#include <gtest/gtest.h>

#include <map>

#include "manager/encode/program_layout.h"
#include "tests/encode/fake_pictures.h"
#include "tests/support/picture_builders.h"
#include "tests/support/test_fonts.h"

using namespace encode;
using Bytes = std::vector<std::uint8_t>;
using Part = MemoryWrite::Part;

namespace {

using encode_test::FakePictures, encode_test::Item;

std::vector<MemoryWrite> AllWrites(const ItemLayout& item) {
  std::vector<MemoryWrite> out;
  ForEachWrite(item, [&](const MemoryWrite& w) { return out.push_back(w), true; });
  return out;
}

// Applies the writes to a sparse memory, checking no byte is written twice.
std::map<std::uint32_t, std::uint8_t> Apply(const Program& p) {
  std::map<std::uint32_t, std::uint8_t> memory;
  const auto put = [&](const MemoryWrite& w) {
    EXPECT_GE(w.bytes.size(), 1u);
    EXPECT_LE(w.bytes.size(), board::kMaxWriteBytes);
    for (std::size_t i = 0; i < w.bytes.size(); ++i)
      EXPECT_TRUE(memory.emplace(w.address + static_cast<std::uint32_t>(i), w.bytes[i]).second)
          << std::hex << w.address + i;
  };
  for (const ItemLayout& item : p.items)
    for (const MemoryWrite& w : AllWrites(item)) put(w);
  put(p.count);
  return memory;
}

// Bytes [at, at + n) up to the first that was never written.
Bytes Read(const std::map<std::uint32_t, std::uint8_t>& m, std::uint32_t at, std::size_t n) {
  Bytes out;
  for (auto it = m.find(at); it != m.end() && it->first == at + out.size() && out.size() < n; ++it)
    out.push_back(it->second);
  return out;
}

Program Lay(const std::vector<item::ItemRecord>& list) {
  FakePictures pics;
  return LayOutProgram(list, pics);
}

TEST(ProgramLayoutTest, EachKindWritesItsHeaderAndUsedQuartersWithItsSteps) {
  std::vector<item::ItemRecord> list;
  for (int k = 0; k < 8; ++k)
    list.push_back(Item(static_cast<item::ItemKind>(k), k == 3 ? "bmp:100x16" : "gif:64x32x3"));
  list.push_back(Item(item::ItemKind::OneLine));
  list.back().header[0] = 9;
  const Program p = Lay(list);
  ASSERT_EQ(p.items.size(), 9u);

  const int bodyWrites[] = {2, 4, 4, 0, 0, 0, 2, 0, 0};
  const int downloadSteps[] = {3, 5, 5, 2, 4, 1, 3, 1, 0};
  const int previewSteps[] = {1, 1, 1, 1, 3, 1, 1, 0, 0};
  for (int i = 0; i < 9; ++i) {
    const ItemLayout& item = p.items[static_cast<std::size_t>(i)];
    ASSERT_FALSE(item.writes.empty());
    const MemoryWrite& head = item.writes.front();
    EXPECT_EQ(head.part, Part::Header);
    EXPECT_EQ(head.address, 0x060000u + 32u * static_cast<std::uint32_t>(i));
    EXPECT_EQ(head.bytes, Bytes(item.header.bytes.begin(), item.header.bytes.end()));
    int bodies = 0;
    for (const MemoryWrite& w : item.writes) {
      if (w.part != Part::Body) continue;
      const auto q =
          list[static_cast<std::size_t>(i)].body.quarter(static_cast<item::QuarterId>(bodies));
      EXPECT_EQ(w.address, 0x080000u + 8192u * i + 2048u * bodies);
      EXPECT_EQ(w.bytes, Bytes(q.begin(), q.end()));
      ++bodies;
    }
    EXPECT_EQ(bodies, bodyWrites[i]) << i;
    EXPECT_EQ(DownloadSteps(item), downloadSteps[i]) << i;
    EXPECT_EQ(PreviewSteps(item), previewSteps[i]) << i;
  }
  // The unknown kind is carried as stored: no body, no image, address bytes untouched.
  EXPECT_EQ(std::tuple(p.items[8].status, p.items[8].writes.size(), p.items[8].header),
            std::tuple(ItemStatus::UnknownKind, std::size_t{1}, list[8].header));
  Apply(p);
}

TEST(ProgramLayoutTest, BitmapsPackAroundAnAnimation) {
  const Program p = Lay(
      {Item(item::ItemKind::Bitmap, "bmp:100x16"), Item(item::ItemKind::Animation, "gif:64x32x3"),
       Item(item::ItemKind::Bitmap, "bmp:9x1"), Item(item::ItemKind::Animation, "gif:8x1x2")});
  // 13 bytes a row, 16 rows, two planes; three frames of 512 bytes.
  EXPECT_EQ(std::tuple(p.items[0].imageBytes, p.items[1].imageBytes), std::tuple(416u, 1536u));
  const std::uint32_t addresses[] = {0x4A0000, 0xC80000, 0x4A0000 + 416, 0xC80000 + 1536};
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_EQ(p.items[i].header.imageAddress(), addresses[i]) << i;

  const auto mem = Apply(p);
  const Planes second = FakePictures::Numbered(9, 1, 0);
  EXPECT_EQ(Read(mem, 0x4A01A0, 4),
            (Bytes{second.red[0], second.red[1], second.green[0], second.green[1]}));
  // Frame 2 of the first animation at 0xC80000 + 2 * 512: red plane, then green.
  const Planes frame2 = FakePictures::Numbered(64, 32, 2);
  EXPECT_EQ(Read(mem, 0xC80400, 256), frame2.red);
  EXPECT_EQ(Read(mem, 0xC80500, 256), frame2.green);
}

TEST(ProgramLayoutTest, LargeBitmapIsCutIntoWritesOf2048) {
  const Program p = Lay({Item(item::ItemKind::Bitmap, "bmp:800x160")});
  const ItemLayout& item = p.items[0];
  ASSERT_EQ(item.writes.size(), 17u);
  for (std::size_t i = 1; i < 16; ++i) {
    EXPECT_EQ(item.writes[i].bytes.size(), 2048u);
    EXPECT_EQ(item.writes[i].address, 0x4A0000u + 2048u * (i - 1));
  }
  EXPECT_EQ(item.writes[16].bytes.size(), 1280u);
  EXPECT_EQ(DownloadSteps(item), 17);
  // An animation frame larger than one write steps once, after its last write.
  const Program q = Lay({Item(item::ItemKind::Animation, "gif:320x32x2")});
  EXPECT_EQ(AllWrites(q.items[0]).size(), 1u + 2u * 2u);
  EXPECT_EQ(DownloadSteps(q.items[0]), 3);
}

TEST(ProgramLayoutTest, UnreadablePictureKeepsTheAddressForTheNext) {
  const Program p = Lay(
      {Item(item::ItemKind::Bitmap, "missing"), Item(item::ItemKind::Bitmap, "bmp:16x16"),
       Item(item::ItemKind::Animation, "missing"), Item(item::ItemKind::Animation, "gif:8x8x1")});
  const std::uint32_t addresses[] = {0x4A0000, 0x4A0000, 0xC80000, 0xC80000};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(p.items[i].header.imageAddress(), addresses[i]) << i;
    if (i % 2) continue;  // the header alone, with the address it would have had
    EXPECT_EQ(std::tuple(p.items[i].status, p.items[i].writes.size(), p.items[i].writes.at(0).part),
              std::tuple(ItemStatus::PictureUnreadable, std::size_t{1}, Part::Header));
  }
  EXPECT_EQ(PreviewSteps(p.items[0]), 1);
  EXPECT_EQ(PreviewSteps(p.items[2]), 0);
}

TEST(ProgramLayoutTest, PicturesNeverRunPastTheirAreas) {
  // 8064 x 4096 dots take 0xC80000 - 0x4A0000 bytes: the bitmap area exactly.
  FakePictures pics;
  ProgramLayout layout(pics);
  EXPECT_EQ(layout.Next(Item(item::ItemKind::Bitmap, "bmp:8064x4096")).status, ItemStatus::Ok);
  EXPECT_EQ(layout.bitmapAddress(), 0xC80000u);
  const ItemLayout over = layout.Next(Item(item::ItemKind::Bitmap, "bmp:8x1"));
  EXPECT_EQ(std::tuple(over.status, over.header.imageAddress(), over.writes.size()),
            std::tuple(ItemStatus::AreaFull, 0xC80000u, std::size_t{1}));
  EXPECT_EQ(layout.bitmapAddress(), 0xC80000u);

  // 61 frames of 2000000 bytes pass the end of the 128 MiB memory; the next still fits.
  // Refused before a single frame is drawn.
  const ItemLayout huge = layout.Next(Item(item::ItemKind::Animation, "gif:8000x1000x61"));
  EXPECT_EQ(std::tuple(huge.status, AllWrites(huge).size(), pics.renders()),
            std::tuple(ItemStatus::AreaFull, std::size_t{1}, 0));
  EXPECT_EQ(layout.Next(Item(item::ItemKind::Animation, "gif:8x1x1")).header.imageAddress(),
            0xC80000u);
  EXPECT_EQ(layout.animationAddress(), 0xC80002u);
  EXPECT_EQ(pics.renders(), 0);  // frames are drawn as their writes are taken, not before

  while (layout.itemsLaidOut() < 100) layout.Next(Item(item::ItemKind::DateTime));
  const ItemLayout extra = layout.Next(Item(item::ItemKind::DateTime));
  EXPECT_EQ(std::pair(extra.status, extra.writes.size()),
            std::pair(ItemStatus::TableFull, std::size_t{0}));
}

TEST(ProgramLayoutTest, EmptyAndHundredItemPrograms) {
  const Program empty = Lay({});
  EXPECT_EQ(std::tuple(empty.items.size(), empty.count.address, empty.count.bytes),
            std::tuple(std::size_t{0}, 0x02000Eu, Bytes{0, 0}));

  const Program p = Lay(std::vector<item::ItemRecord>(101, Item(item::ItemKind::TwoLine)));
  ASSERT_EQ(p.items.size(), 100u);  // the list never holds more
  EXPECT_EQ(p.count.bytes, (Bytes{0, 100}));
  // The headers end at 0x060C80, the bodies begin at 0x080000 and end at 0x148000.
  const auto mem = Apply(p);
  EXPECT_EQ(std::tuple(mem.count(0x060C7F), mem.lower_bound(0x060C80)->first, mem.rbegin()->first),
            std::tuple(std::size_t{1}, 0x080000u, 0x147FFFu));
}

TEST(ProgramLayoutTest, SixteenDotBitmapFromAFileFillsItsFirst64Bytes) {
  const sign_test::TempDir dir("encode_layout");
  const std::string path = dir.Path("picture");
  encode_test::WriteFile(
      path, encode_test::MakeBmp24(16, 16, [](int x, int y) {
        return x == y ? encode_test::Rgb{255, 0, 0} : encode_test::Rgb{0, 255, 0};
      }));
  const Program p = LayOutProgram(
      std::vector{Item(item::ItemKind::Bitmap, path), Item(item::ItemKind::Bitmap, path)});
  ASSERT_EQ(p.items[0].status, ItemStatus::Ok);
  const MemoryWrite& head = p.items[0].writes[0];
  EXPECT_EQ(Bytes(head.bytes.begin() + 21, head.bytes.begin() + 25),
            (Bytes{0x00, 0x4A, 0x00, 0x00}));
  const auto mem = Apply(p);
  const Bytes red = Read(mem, 0x4A0000, 32), green = Read(mem, 0x4A0020, 32);
  ASSERT_EQ(red.size() + green.size(), 64u);
  for (int y = 0; y < 16; ++y) {
    const unsigned diagonal = 0x8000u >> y;
    EXPECT_EQ(red[2 * y] << 8 | red[2 * y + 1], diagonal) << y;
    EXPECT_EQ(green[2 * y] << 8 | green[2 * y + 1], 0xFFFFu & ~diagonal) << y;
  }
  EXPECT_EQ(p.items[1].header.imageAddress(), 0x4A0040u);
}

TEST(ProgramLayoutTest, TinyGifOfAHugeScreenIsRefusedBeforeItsFramesAreDrawn) {
  // 4096 x 4096 dots, 4 MiB a frame: 100 single-dot frames pass the animation area; the same
  // screen with 3 frames fits and is drawn frame by frame.
  const sign_test::TempDir dir("encode_layout");
  const std::string path = dir.Path("picture");
  ProgramLayout layout;
  ItemLayout laid[2];
  for (int frames : {100, 3}) {
    encode_test::GifBuilder gif(4096, 4096, {{0, 0, 0}, {255, 0, 0}});
    for (int k = 0; k < frames; ++k) gif.Gce(1, 0).Image(k, frames == 3 ? 0 : k, 1, 1, {1});
    encode_test::WriteFile(path, gif.Finish());
    laid[frames == 3] = layout.Next(Item(item::ItemKind::Animation, path));
  }
  EXPECT_EQ(std::pair(laid[0].status, laid[0].frames), std::pair(ItemStatus::AreaFull, 0));
  ASSERT_EQ(std::tuple(laid[1].status, laid[1].header.imageAddress(), laid[1].frames),
            std::tuple(ItemStatus::Ok, 0xC80000u, 3));
  const std::vector<MemoryWrite> last = laid[1].FrameWrites(2);
  ASSERT_EQ(last.size(), 2048u);  // 4 MiB in writes of 2048
  EXPECT_EQ(last.front().address, 0xC80000u + 2u * (4u << 20));
  // Frames are drawn over each other: by frame 2 the dots of frames 0, 1 and 2 are lit.
  EXPECT_EQ(last.front().bytes[0], 0xE0);
}

}  // namespace
