#include "manager/list/row_text.h"

#include <cstdio>

#include "shared/codes.h"
#include "shared/cp949.h"

namespace msglist {

const std::array<ColumnInfo, kColumnCount> kColumns = {{{"구분", 100},
                                                        {"내     용", 350},
                                                        {"입장효과", 70},
                                                        {"유지시간", 80},
                                                        {"퇴장효과", 70},
                                                        {"속도", 50},
                                                        {"표출시작시간", 90},
                                                        {"표출마감시간", 90}}};

namespace {

// Cell indices of a row.
enum Cell { cKind, cContent, cEntry, cHold, cExit, cSpeed, cStart, cEnd };

std::string Num(int code) {
  return std::to_string(code + 1);
}
std::string Seconds(int code) {
  return Num(code) + "초";
}
std::string Clock(int hour, int minute) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d시%02d분", hour, minute);
  return buf;
}
std::string Text(const item::Quarter& q) {
  return text::Cp949ToUtf8(text::ReadTextQuarter(q));
}

}  // namespace

std::string_view FileNameOf(std::string_view path) {
  std::size_t start = 0;
  // Walk by characters: a separator byte never appears as the second byte of a
  // two-byte character, but a damaged path may end in a lone lead byte.
  for (std::size_t i = 0; i < path.size();) {
    const auto b = static_cast<std::uint8_t>(path[i]);
    if (b == '/' || b == '\\') start = i + 1;
    i += text::IsLeadByte(b) ? 2 : 1;
  }
  return path.substr(start);
}

std::string UnknownKindText(std::uint8_t kind) {
  return "알수없음(" + std::to_string(kind) + ")";
}

RowText ItemRowText(const item::ItemRecord& r) {
  using namespace item::hdr;
  const item::ItemHeader& h = r.header;
  RowText row;
  const std::uint8_t kind = h.kind();
  const std::string_view label = item::KindLabel(kind);
  row[cKind] = label.empty() ? UnknownKindText(kind) : std::string(label);
  switch (static_cast<item::ItemKind>(kind)) {
    case item::ItemKind::OneLine:
      row[cContent] = Text(r.body.textA);
      row[cEntry] = Num(h[kEntry]);
      row[cHold] = Seconds(h[kHold]);
      row[cExit] = Num(h[kExit]);
      row[cSpeed] = Num(h[kSpeed]);
      break;
    case item::ItemKind::TwoLine:
      row[cContent] = Text(r.body.textA) + " / " + Text(r.body.textB);
      row[cEntry] = Num(h[kUpperEntry]) + "/" + Num(h[kLowerEntry]);
      row[cHold] = Seconds(h[kUpperHold]) + "/" + Seconds(h[kLowerHold]);
      row[cExit] = Num(h[kUpperExit]) + "/" + Num(h[kLowerExit]);
      row[cSpeed] = Num(h[kTwoLineSpeed]);
      break;
    case item::ItemKind::TitleSentence:
      row[cContent] = Text(r.body.textA) + " / " + Text(r.body.textB);
      row[cEntry] = Num(h[kLowerEntry]);
      row[cHold] = Seconds(h[kLowerHold]);
      row[cExit] = Num(h[kLowerExit]);
      row[cSpeed] = Num(h[kSentenceSpeed]);
      break;
    case item::ItemKind::Bitmap:
      row[cContent] = text::Cp949ToUtf8(FileNameOf(text::ReadTextQuarter(r.body.textA)));
      row[cEntry] = Num(h[kBitmapMode]);
      row[cHold] = Seconds(h[kHold]);
      row[cSpeed] = Num(h[kSpeed]);
      break;
    case item::ItemKind::Animation:
      row[cContent] = text::Cp949ToUtf8(FileNameOf(text::ReadTextQuarter(r.body.textA)));
      row[cSpeed] = Num(h[kSpeed]);
      break;
    case item::ItemKind::DateTime:
    case item::ItemKind::Temperature:
      row[cHold] = Seconds(h[kHold]);
      break;
    case item::ItemKind::DDay:
      row[cContent] = Text(r.body.textA);
      break;
    default:
      row[cContent] = Text(r.body.textA);
      break;
  }
  row[cStart] = Clock(h[kStartHour], h[kStartMinute]);
  row[cEnd] = Clock(h[kEndHour], h[kEndMinute]);
  return row;
}

}  // namespace msglist
