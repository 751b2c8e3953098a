// The item an editor shows, laid out in memory, plays frame for frame as the same one-item
// list does from the preview writer's file and from a file built independently, on one-
// and two-tier boards.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "manager/preview/item_image.h"
#include "manager/transfer/preview_file.h"
#include "shared/cp949.h"
#include "sign/playback_engine.h"
#include "tests/encode/fake_pictures.h"
#include "tests/support/preview_builder.h"
#include "tests/support/test_fonts.h"

namespace {

using encode_test::FakePictures;
using sign_test::Art;
using sign_test::Attr;
using sign_test::PreviewBuilder;
using Kind = item::ItemKind;

// The builder's picture of what FakePictures hands out for a path.
Art ArtOf(int w, int h, int frame) {
  const encode::Planes p = FakePictures::Numbered(w, h, frame);
  Art art;
  for (int y = 0; y < h; ++y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      const std::size_t at =
          static_cast<std::size_t>(y) * p.rowBytes() + static_cast<std::size_t>(x / 8);
      const int bit = 0x80 >> (x % 8);
      row += ".RGY"[((p.red[at] & bit) ? 1 : 0) + ((p.green[at] & bit) ? 2 : 0)];
    }
    art.rows.push_back(row);
  }
  return art;
}

item::ItemRecord Named(item::ItemRecord& r, const char* path) {
  text::WriteTextQuarter(r.body.textA, path);
  return r;
}

const std::string kHangul = "\xB0\xA1\xB3\xAA\xB4\xD9 ABC";  // 가나다 ABC

// Each adds its one item to the builder and returns a copy of the record.
const std::pair<const char*, std::function<item::ItemRecord(PreviewBuilder&)>> kSamples[] = {
    {"one-line slide in, blink out",
     [](PreviewBuilder& b) { return b.OneLine(kHangul, 1, 2, 0, 3, Attr(2)); }},
    {"one-line passing through",
     [](PreviewBuilder& b) { return b.OneLine(kHangul + kHangul + kHangul, 0, 0, 0, 0); }},
    {"two-line",
     [](PreviewBuilder& b) {
       item::ItemRecord& r = b.Text(Kind::TwoLine, kHangul, Attr(1), kHangul, Attr(0, 1));
       PreviewBuilder::Set(r, {{item::hdr::kUpperEntry, 8}, {item::hdr::kUpperExit, 3}});
       return r;
     }},
    {"title and sentence",
     [](PreviewBuilder& b) {
       item::ItemRecord& r = b.Text(Kind::TitleSentence, "T", Attr(2), kHangul, Attr(0));
       PreviewBuilder::Set(r, {{item::hdr::kLowerEntry, 2}, {item::hdr::kLowerExit, 1}});
       return r;
     }},
    {"bitmap held",
     [](PreviewBuilder& b) { return Named(b.Bitmap(ArtOf(120, 32, 0), 0, 2, 0), "bmp:120x32"); }},
    {"bitmap scrolled",
     [](PreviewBuilder& b) { return Named(b.Bitmap(ArtOf(120, 32, 0), 1, 0, 0), "bmp:120x32"); }},
    {"animation",
     [](PreviewBuilder& b) {
       return Named(b.Animation({ArtOf(40, 16, 0), ArtOf(40, 16, 1)}, 1), "gif:40x16x2");
     }},
    {"date and time", [](PreviewBuilder& b) { return b.Add(Kind::DateTime); }},
    {"D-day",
     [](PreviewBuilder& b) {
       item::ItemRecord& r = b.Text(Kind::DDay, "D", Attr(1));
       r.header.set16(item::hdr::kDDayYear, 2030);
       PreviewBuilder::Set(r, {{item::hdr::kDDayMonth, 1}, {item::hdr::kDDayDay, 1}});
       return r;
     }},
    {"temperature", [](PreviewBuilder& b) { return b.Add(Kind::Temperature); }},
};

TEST(ItemImage, PlaysFrameForFrameAsThePreviewFileOfTheSameList) {
  const sign::FixedClock clock(sign::LocalTime{2026, 12, 7, 9, 41, 5});
  // A folder of this run's own: another build tree's run must not rewrite the files read here.
  char dirTemplate[] = "/tmp/item_preview_test.XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  const std::filesystem::path dir = dirTemplate;
  const std::string built = (dir / "built.tmp").string(), written = (dir / "written.tmp").string();
  struct Cleanup {
    std::filesystem::path dir;
    ~Cleanup() { std::filesystem::remove_all(dir); }
  } cleanup{dir};
  for (const auto& [modules, tiers] : {std::pair{6, 1}, std::pair{12, 2}}) {
    for (const auto& [name, add] : kSamples) {
      SCOPED_TRACE(std::string(name) + " on " + std::to_string(modules) + " x " +
                   std::to_string(tiers));
      PreviewBuilder builder(modules, tiers);
      const item::ItemRecord record = add(builder);
      ASSERT_TRUE(builder.WriteFile(built));
      std::filesystem::remove(written);
      FakePictures writerPictures, pictures;
      ASSERT_TRUE(transfer::WritePreview(written, std::span(&record, 1),
                                         {std::uint8_t(modules), std::uint8_t(tiers), 0}, {},
                                         writerPictures)
                      .written);
      sign::FlashImage builtFile, writerFile, memory;
      ASSERT_TRUE(builtFile.Open(built));
      ASSERT_TRUE(writerFile.Open(written));
      memory.OpenMemory(preview::OneItemImage(record, {modules, tiers, false}, pictures));
      sign::PlaybackEngine fromFile(builtFile, sign_test::TestFonts(), clock);
      sign::PlaybackEngine fromWriter(writerFile, sign_test::TestFonts(), clock);
      sign::PlaybackEngine fromMemory(memory, sign_test::TestFonts(), clock);
      fromFile.Start();
      fromWriter.Start();
      fromMemory.Start();
      ASSERT_EQ(fromMemory.geometry().width, modules * 16);
      ASSERT_EQ(fromMemory.geometry().rows, tiers * 16);
      // The engine does not emulate the temperature display: it shows the logo instead.
      ASSERT_EQ(fromMemory.showingLogo(),
                record.header.kind() == static_cast<std::uint8_t>(Kind::Temperature));
      ASSERT_EQ(fromFile.showingLogo(), fromMemory.showingLogo());
      int lit = 0;
      for (int f = 0; f < 700; ++f) {  // past every entry, hold and exit of the samples at 30 ms
        ASSERT_EQ(fromFile.Step(), fromMemory.Step()) << f;
        fromWriter.Step();
        ASSERT_EQ(fromFile.front(), fromMemory.front()) << f;
        ASSERT_EQ(fromWriter.front(), fromMemory.front()) << f;
        ASSERT_EQ(fromFile.framePeriodMs(), fromMemory.framePeriodMs()) << f;
        for (std::uint8_t d : fromMemory.front().dots) lit += d != 0;
      }
      EXPECT_GT(lit, 0) << "the item never lit a dot";
    }
  }
}

TEST(ItemImage, IsAFewJoinedRunsNotTheWholeMemory) {
  PreviewBuilder builder(6, 1);
  FakePictures none;
  const auto runs =
      preview::OneItemImage(builder.OneLine(kHangul, 1, 2, 0, 3, Attr(2)), {6, 1, true}, none);
  ASSERT_LE(runs.size(),
            4u);  // settings with the count, the header, a one-line item's body quarters
  std::size_t bytes = runs[0].bytes.size();
  for (std::size_t i = 1; i < runs.size(); ++i) {
    bytes += runs[i].bytes.size();
    EXPECT_GT(runs[i].address, runs[i - 1].address + runs[i - 1].bytes.size());
  }
  EXPECT_LT(bytes, 16u * 1024u);
  sign::FlashImage image;
  image.OpenMemory(runs);
  const sign::BoardGeometry g = sign::DecodeGeometry(image);
  EXPECT_EQ(g.itemCount, 1);
  EXPECT_TRUE(g.connection);
  EXPECT_EQ(g.width, 96);
}

}  // namespace
