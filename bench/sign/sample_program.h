#pragma once
// A program with an item of every kind the previewer plays, for benchmarks and checks.

#include <string>

#include "tests/sign/preview_builder.h"

namespace testing_preview {

inline PreviewBuilder EveryKindProgram(int modules, int tier) {
  PreviewBuilder b(modules, tier, true);
  const std::string hangul = "\xB0\xA1\xB3\xAA\xB4\xD9 ABC";  // 가나다 ABC
  b.OneLine(hangul, 1, 0, 0, 0, Attr(2));
  b.OneLine(hangul, 12, 0, 0, 11, Attr(1, 1));
  b.OneLine(hangul + hangul + hangul + hangul, 0, 0, 0, 0);
  item::ItemRecord& two = b.Add(item::ItemKind::TwoLine);
  two.header[item::hdr::kUpperEntry] = 8;
  two.header[item::hdr::kLowerEntry] = 0;
  two.header[item::hdr::kUpperExit] = 3;
  PreviewBuilder::SetText(two.body.textA, two.body.attrA, hangul, Attr(1));
  PreviewBuilder::SetText(two.body.textB, two.body.attrB, hangul, Attr(0));
  item::ItemRecord& title = b.Add(item::ItemKind::TitleSentence);
  title.header[item::hdr::kLowerEntry] = 2;
  title.header[item::hdr::kLowerExit] = 1;
  PreviewBuilder::SetText(title.body.textA, title.body.attrA, "T", Attr(2));
  PreviewBuilder::SetText(title.body.textB, title.body.attrB, hangul, Attr(0));
  Art art;
  for (int r = 0; r < 32; ++r) {
    std::string row;
    for (int c = 0; c < 120; ++c) row += "RGY."[(r + c) % 4];
    art.rows.push_back(row);
  }
  b.Bitmap(art, 0, 0, 0);
  b.Bitmap(art, 1, 0, 0);
  b.Animation({art, art, art}, 0);
  b.Add(item::ItemKind::DateTime);
  item::ItemRecord& dday = b.Add(item::ItemKind::DDay);
  PreviewBuilder::SetText(dday.body.textA, dday.body.attrA, "D", Attr(1));
  dday.header.set16(item::hdr::kDDayYear, 2030);
  dday.header[item::hdr::kDDayMonth] = 1;
  dday.header[item::hdr::kDDayDay] = 1;
  return b;
}

}  // namespace testing_preview
