// The item an editor shows, laid out in memory, plays frame for frame as the same one-item
// list built independently, on one- and two-tier boards.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "manager/preview/item_image.h"
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
    art.rows.emplace_back();
    for (int x = 0; x < w; ++x) {
      const std::size_t at = std::size_t(y) * p.rowBytes() + std::size_t(x / 8);
      const int bit = 0x80 >> (x % 8);
      art.rows.back() += ".RGY"[((p.red[at] & bit) ? 1 : 0) + ((p.green[at] & bit) ? 2 : 0)];
    }
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
    {"one-line", [](PreviewBuilder& b) { return b.OneLine(kHangul, 1, 2, 0, 3, Attr(2)); }},
    {"two-line",
     [](PreviewBuilder& b) {
       return PreviewBuilder::Set(b.Text(Kind::TwoLine, kHangul, Attr(1), kHangul, Attr(0, 1)),
                                  {{item::hdr::kUpperEntry, 8}, {item::hdr::kUpperExit, 3}});
     }},
    {"title and sentence",
     [](PreviewBuilder& b) {
       return PreviewBuilder::Set(b.Text(Kind::TitleSentence, "T", Attr(2), kHangul, Attr(0)),
                                  {{item::hdr::kLowerEntry, 2}, {item::hdr::kLowerExit, 1}});
     }},
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
       return PreviewBuilder::Set(r, {{item::hdr::kDDayMonth, 1}, {item::hdr::kDDayDay, 1}});
     }},
    {"temperature", [](PreviewBuilder& b) { return b.Add(Kind::Temperature); }},
};

TEST(ItemImage, PlaysFrameForFrameAsTheSameListBuiltIndependently) {
  const sign::FixedClock clock(sign::LocalTime{2026, 12, 7, 9, 41, 5});
  for (const preview::Board board : {preview::Board{6, 1, false}, preview::Board{12, 2, true}}) {
    for (const auto& [name, add] : kSamples) {
      SCOPED_TRACE(std::string(name) + " on " + std::to_string(board.tiers) + " tiers");
      PreviewBuilder builder(board.modules, board.tiers, board.connection);
      const item::ItemRecord record = add(builder);
      FakePictures pictures;
      sign::FlashImage built, memory;
      builder.Load(built);
      const auto runs = preview::OneItemImage(record, board, pictures);
      std::size_t bytes = 0;  // a few joined runs, not the whole memory
      for (std::size_t i = 0; i < runs.size(); bytes += runs[i++].bytes.size())
        EXPECT_TRUE(i == 0 || runs[i].address > runs[i - 1].address + runs[i - 1].bytes.size());
      EXPECT_LT(bytes, 16u * 1024u);
      memory.OpenMemory(runs);
      ASSERT_EQ(sign::DecodeGeometry(memory).connection, board.connection);
      sign::PlaybackEngine fromBuilt(built, sign_test::TestFonts(), clock);
      sign::PlaybackEngine fromMemory(memory, sign_test::TestFonts(), clock);
      fromBuilt.Start();
      fromMemory.Start();
      // The engine does not emulate the temperature display: it shows the logo instead.
      ASSERT_EQ(fromMemory.showingLogo(), record.header.kind() == std::uint8_t(Kind::Temperature));
      int lit = 0;
      for (int f = 0; f < 700; ++f) {  // past every entry, hold and exit of the samples at 30 ms
        ASSERT_EQ(fromBuilt.Step(), fromMemory.Step()) << f;
        ASSERT_EQ(fromBuilt.front(), fromMemory.front()) << f;
        ASSERT_EQ(fromBuilt.framePeriodMs(), fromMemory.framePeriodMs()) << f;
        for (std::uint8_t d : fromMemory.front().dots) lit += d != 0;
      }
      EXPECT_GT(lit, 0) << "the item never lit a dot";
    }
  }
}

}  // namespace
