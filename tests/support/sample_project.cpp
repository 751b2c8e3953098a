#include "tests/support/sample_project.h"

#include <string>

#include "manager/editors/core/pane_text.h"
#include "manager/editors/core/picture_items.h"
#include "manager/events/event_list.h"
#include "manager/store/work_store.h"
#include "shared/codes.h"
#include "shared/cp949.h"

namespace sample {

namespace {

namespace hdr = item::hdr;

std::uint8_t Code(int seed, int count) {
  return static_cast<std::uint8_t>(seed % count);
}

void Put(std::vector<std::uint8_t>& project, int slot, const item::ItemRecord& r) {
  item::RecordToBytes(r, project.data() + store::SlotOffset(slot));
}

// UTF-8 text whose character k gets attribute k % 4 of a cycle that `seed` shifts through
// every colour, background and font.
StyledText Styled(std::string_view utf8, int seed) {
  StyledText out;
  int k = 0;
  for (char32_t c : DecodeUtf8(utf8)) {
    const int s = seed + k++ % 4;
    out.push_back(
        {c, {item::TextColour(s % 4), item::BackColour(s / 2 % 4), item::BoardFont(s / 3 % 4)}});
  }
  return out;
}

// A text item as its editor stores it: the kind's panes, the effect codes of each pane and
// the speed at their header bytes, every code `seed` modulo its list.
item::ItemRecord TextItem(item::ItemKind kind, const StyledText& a, const StyledText& b, int seed) {
  item::ItemRecord r;
  item::ItemHeader& h = r.header;
  h.setKind(kind);
  const auto effects = [&](int entry, int hold, int exit, int s) {
    h[entry] = Code(s, item::kEntryEffectCount);
    h[hold] = Code(s + 1, item::kHoldCount);
    h[exit] = Code(s + 2, item::kExitEffectCount);
  };
  switch (kind) {
    case item::ItemKind::OneLine:
      effects(hdr::kEntry, hdr::kHold, hdr::kExit, seed);
      h[hdr::kSpeed] = Code(seed, item::kSpeedCount);
      break;
    case item::ItemKind::TwoLine:
      effects(hdr::kUpperEntry, hdr::kUpperHold, hdr::kUpperExit, seed);
      effects(hdr::kLowerEntry, hdr::kLowerHold, hdr::kLowerExit, seed + 5);
      h[hdr::kTwoLineSpeed] = Code(seed, item::kSpeedCount);
      break;
    case item::ItemKind::TitleSentence:
      effects(hdr::kLowerEntry, hdr::kLowerHold, hdr::kLowerExit, seed);
      h[hdr::kSentenceSpeed] = Code(seed, item::kSpeedCount);
      break;
    case item::ItemKind::DDay:
      h.set16(hdr::kDDayYear, static_cast<std::uint16_t>(2011 + seed));
      h[hdr::kDDayMonth] = Code(seed, 12) + 1;
      h[hdr::kDDayDay] = Code(seed, 28) + 1;
      break;
    default:
      break;
  }
  h.setStartMinutes(seed * 37 % 1440);
  h.setEndMinutes(seed * 91 % 1440);
  WritePaneQuarters(a, r.body.textA, r.body.attrA);
  if (kind == item::ItemKind::TwoLine || kind == item::ItemKind::TitleSentence)
    WritePaneQuarters(b, r.body.textB, r.body.attrB);
  return r;
}

}  // namespace

std::vector<std::uint8_t> Project(int items) {
  std::vector<std::uint8_t> p(store::kFileSize, 0);
  for (int i = 0; i < items; ++i) {
    const std::string n = std::to_string(i + 1);
    const auto kind = item::ItemKind(i % item::kItemKindCount);
    const StyledText a = Styled("오늘의 안내 " + n + ": 매장 영업 09:00-21:00", i);
    const StyledText b = Styled("Brellion 전광판 " + n, i + 1);
    const editors::DisplayWindow window{i * 13 % 1440, (i * 13 + 600) % 1440};
    const std::string path =
        *text::Utf8ToCp949("/srv/전광판/그림" + n + (i % 8 == 3 ? ".bmp" : ".gif"));
    switch (kind) {
      case item::ItemKind::Bitmap:
        Put(p, i, editors::BuildBitmapItem({i % 2, i % 5, i % 10, 64 + i, 16, path, window}));
        break;
      case item::ItemKind::Animation:
        Put(p, i, editors::BuildAnimationItem({i % 5, 96, 32, 1 + i % 30, path, window}));
        break;
      case item::ItemKind::DateTime:
      case item::ItemKind::Temperature: {
        item::ItemRecord r;
        r.header =
            editors::BuildHoldTimeHeader({kind == item::ItemKind::Temperature, i % 10, window});
        Put(p, i, r);
        break;
      }
      default:
        Put(p, i, TextItem(kind, a, b, i));
        break;
    }
  }
  for (int e = 0; e < 3; ++e) {
    const item::ItemRecord text =
        TextItem(item::ItemKind::OneLine, Styled("긴급 안내 " + std::to_string(e), e), {}, e);
    Put(p, events::StoreSlot(e), events::MakeEvent(text.header, text.body.textA, text.body.attrA));
  }
  const std::uint8_t settings[] = {12,   2, 1, 1, 2, 7, 3, 192, 168, 0, 10, 0x13,
                                   0x88, 1, 1, 1, 0, 1, 0, 0,   0,   0, 1};
  std::copy(std::begin(settings), std::end(settings), p.begin() + store::kSettingsOffset);
  return p;
}

}  // namespace sample
