#include "manager/textform/record_text.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <optional>

#include "manager/editors/core/pane_text.h"
#include "manager/editors/core/picture_items.h"
#include "manager/encode/gif_reader.h"
#include "manager/encode/import_checks.h"
#include "manager/events/event_list.h"
#include "manager/list/list_rules.h"
#include "shared/codes.h"
#include "shared/cp949.h"

namespace textform {

namespace {

namespace hdr = item::hdr;
using item::ItemKind;
using item::ItemRecord;
using item::QuarterId;
using RecordBytes = std::array<std::uint8_t, item::kItemRecordSize>;

// ---- Option lists: a name where the editor's list shows one, else the number it shows.

enum class ListId { Entry, Exit, Hold, Speed, BitmapMode };

struct ListInfo {
  std::span<const std::string_view> names;  // empty: the list shows 1 to count
  int count;
  int fallback;  // a new item's choice
  std::string_view what;
};

ListInfo Info(ListId id) {
  switch (id) {
    case ListId::Entry:
      return {item::kEntryEffectTexts, item::kEntryEffectCount, 0, "entry effect"};
    case ListId::Exit:
      return {item::kExitEffectTexts, item::kExitEffectCount, 0, "exit effect"};
    case ListId::Hold:
      return {{}, item::kHoldCount, editors::kDefaultHoldCode, "hold time"};
    case ListId::Speed:
      return {{}, item::kSpeedCount, 0, "speed"};
    case ListId::BitmapMode:
      return {item::kBitmapModeTexts, item::kBitmapModeCount, 0, "bitmap effect"};
  }
  return {};
}

// A code beyond its list stands as the new item's choice; raw runs keep the stored byte.
Json CodeJson(ListId id, int code) {
  const ListInfo l = Info(id);
  if (code >= l.count) code = l.fallback;
  if (l.names.empty()) return code + 1;
  return std::string(l.names[static_cast<std::size_t>(code)]);
}

std::uint8_t CodeFrom(Fields& f, std::string_view key, ListId id) {
  const ListInfo l = Info(id);
  const Json* v = f.Find(key);
  if (v == nullptr) return static_cast<std::uint8_t>(l.fallback);
  if (l.names.empty())
    return static_cast<std::uint8_t>(WholeNumber(*v, f.Place(key), 1, l.count) - 1);
  return static_cast<std::uint8_t>(Choice(*v, f.Place(key), l.names, l.what));
}

// ---- Times and dates

// A time past 23:59 reads as 00:00, as the editors read it.
int MinutesAt(const item::ItemHeader& h, int hourAt) {
  const int hour = h[hourAt], minute = h[hourAt + 1];
  return hour < 24 && minute < 60 ? hour * 60 + minute : 0;
}

void PutWindow(Json& j, const item::ItemHeader& h) {
  for (auto [key, at] : {std::pair{"start", hdr::kStartHour}, std::pair{"end", hdr::kEndHour}}) {
    char text[8];
    const int m = MinutesAt(h, at);
    std::snprintf(text, sizeof text, "%02d:%02d", m / 60, m % 60);
    j[key] = text;
  }
}

int TimeFrom(Fields& f, std::string_view key) {
  const Json* v = f.Find(key);
  if (v == nullptr) return 0;
  const std::string s = String(*v, f.Place(key));
  int hour = 0, minute = 0;
  if (s.size() != 5 || s[2] != ':' || !Digits(s.substr(0, 2), &hour) ||
      !Digits(s.substr(3), &minute) || hour > 23 || minute > 59) {
    Fail(f.Place(key), "must be a time \"HH:MM\" from 00:00 to 23:59");
  }
  return hour * 60 + minute;
}

editors::DisplayWindow WindowFrom(Fields& f) {
  const int start = TimeFrom(f, "start");
  return {start, TimeFrom(f, "end")};
}

// The D-day editor's date picker spans these days.
constexpr std::chrono::year_month_day kFirstDay{std::chrono::year{1752}, std::chrono::month{9},
                                                std::chrono::day{14}};
constexpr std::chrono::year_month_day kLastDay{std::chrono::year{9999}, std::chrono::month{12},
                                               std::chrono::day{31}};

bool Pickable(const std::chrono::year_month_day& d) {
  return d.ok() && d >= kFirstDay && d <= kLastDay;
}

// A date the picker cannot show stands as 2000-01-01; raw runs keep the stored bytes.
std::string DateJson(const item::ItemHeader& h) {
  int year = h.get16(hdr::kDDayYear), month = h[hdr::kDDayMonth], day = h[hdr::kDDayDay];
  if (!Pickable({std::chrono::year{year}, std::chrono::month(unsigned(month)),
                 std::chrono::day(unsigned(day))})) {
    year = 2000, month = 1, day = 1;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

void DateFrom(Fields& f, item::ItemHeader& h) {
  const std::string s = String(f.Need("date"), f.Place("date"));
  int year = 0, month = 0, day = 0;
  if (s.size() != 10 || s[4] != '-' || s[7] != '-' || !Digits(s.substr(0, 4), &year) ||
      !Digits(s.substr(5, 2), &month) || !Digits(s.substr(8), &day) ||
      !Pickable({std::chrono::year{year}, std::chrono::month(unsigned(month)),
                 std::chrono::day(unsigned(day))})) {
    Fail(f.Place("date"), "must be a date \"YYYY-MM-DD\" from 1752-09-14 to 9999-12-31");
  }
  h.set16(hdr::kDDayYear, static_cast<std::uint16_t>(year));
  h[hdr::kDDayMonth] = static_cast<std::uint8_t>(month);
  h[hdr::kDDayDay] = static_cast<std::uint8_t>(day);
}

// ---- Text panes

struct Pane {
  std::string_view key;  // empty: its fields stand in the item itself
  QuarterId text;        // its attributes are in the next quarter
  std::size_t limit;     // code page 949 bytes
  bool effects;          // entry, hold and exit lists of its own, at these header bytes
  int entryAt = 0, holdAt = 0, exitAt = 0;
};

struct TextLayout {
  ItemKind kind;
  int paneCount;
  std::array<Pane, 2> panes;
  int speedAt = -1;  // -1: no speed list
  bool date = false;
  bool event = false;  // no "kind" and no display window
};

constexpr TextLayout kOneLine{.kind = ItemKind::OneLine,
                              .paneCount = 1,
                              .panes = {Pane{"", QuarterId::TextA, kOneLineLimitBytes, true,
                                             hdr::kEntry, hdr::kHold, hdr::kExit}},
                              .speedAt = hdr::kSpeed};
constexpr TextLayout kTwoLine{.kind = ItemKind::TwoLine,
                              .paneCount = 2,
                              .panes = {Pane{"upper", QuarterId::TextA, item::kMaxTextBytes, true,
                                             hdr::kUpperEntry, hdr::kUpperHold, hdr::kUpperExit},
                                        Pane{"lower", QuarterId::TextB, item::kMaxTextBytes, true,
                                             hdr::kLowerEntry, hdr::kLowerHold, hdr::kLowerExit}},
                              .speedAt = hdr::kTwoLineSpeed};
constexpr TextLayout kTitleSentence{
    .kind = ItemKind::TitleSentence,
    .paneCount = 2,
    .panes = {Pane{"title", QuarterId::TextA, item::kMaxTextBytes, false},
              Pane{"sentence", QuarterId::TextB, item::kMaxTextBytes, true, hdr::kLowerEntry,
                   hdr::kLowerHold, hdr::kLowerExit}},
    .speedAt = hdr::kSentenceSpeed};
constexpr TextLayout kDDay{.kind = ItemKind::DDay,
                           .paneCount = 1,
                           .panes = {Pane{"", QuarterId::TextA, kDDayLimitBytes, false}},
                           .date = true};
// The event editor sets no text limit: its text is cut at the quarter's 2047 bytes.
constexpr TextLayout kEvent{.kind = ItemKind::OneLine,
                            .paneCount = 1,
                            .panes = {Pane{"", QuarterId::TextA, item::kMaxTextBytes, true,
                                           hdr::kEntry, hdr::kHold, hdr::kExit}},
                            .speedAt = hdr::kSpeed,
                            .event = true};

// A text's attributes are in the quarter after it.
QuarterId AttrsOf(QuarterId text) {
  return QuarterId(static_cast<int>(text) + 1);
}

// The characters of a stored text as the JSON form can carry them, at most `limit` bytes. A
// byte sequence that is not one character of code page 949, or a character a text may not
// hold, stands as '?' or '？' of the same width, so what follows keeps its bytes and raw
// runs restore the stand-in's.
StyledText ReadableText(const item::Quarter& text, const item::Quarter& attrs, std::size_t limit) {
  StyledText chars = ReadPaneQuarters(text, attrs);
  const std::string bytes = text::ReadTextQuarter(text);
  std::size_t at = 0, kept = 0;
  for (; kept < chars.size(); ++kept) {
    StyledChar& c = chars[kept];
    const bool lead = text::IsLeadByte(static_cast<std::uint8_t>(bytes[at]));
    const std::size_t width = lead && at + 1 < bytes.size() ? 2 : 1;
    if (at + width > limit) break;
    if (Cp949Width(c.ch) != width || SingleLineChar(c.ch) != c.ch) c.ch = width == 2 ? U'？' : U'?';
    at += width;
  }
  chars.resize(kept);
  return chars;
}

std::string Utf8Of(const StyledText& chars) {
  std::string out;
  for (const StyledChar& c : chars) AppendUtf8(out, c.ch);
  return out;
}

void PutPane(Json& j, const ItemRecord& r, const Pane& p) {
  const StyledText chars =
      ReadableText(r.body.quarter(p.text), r.body.quarter(AttrsOf(p.text)), p.limit);
  j["text"] = Utf8Of(chars);
  // Red on black in the first font throughout needs no runs.
  if (std::any_of(chars.begin(), chars.end(),
                  [](const StyledChar& c) { return c.attr != item::TextAttribute{}; })) {
    Json runs = Json::array();
    for (std::size_t i = 0; i < chars.size();) {
      std::size_t end = i + 1;
      while (end < chars.size() && chars[end].attr == chars[i].attr) ++end;
      const item::TextAttribute a = chars[i].attr;
      runs.push_back(Json{{"chars", end - i},
                          {"colour", item::kTextColourNames[std::size_t(a.text)]},
                          {"background", item::kBackColourNames[std::size_t(a.back)]},
                          {"font", item::kBoardFontNames[std::size_t(a.font)]}});
      i = end;
    }
    j["runs"] = std::move(runs);
  }
  if (p.effects) {
    j["entry"] = CodeJson(ListId::Entry, r.header[p.entryAt]);
    j["hold"] = CodeJson(ListId::Hold, r.header[p.holdAt]);
    j["exit"] = CodeJson(ListId::Exit, r.header[p.exitAt]);
  }
}

// Runs of characters with one attribute, in order, covering the text; none: red on black
// in the first font throughout.
StyledText RunsFrom(Fields& f, const std::u32string& chars) {
  StyledText out;
  const Json* runs = f.Find("runs");
  if (runs == nullptr) {
    for (char32_t c : chars) out.push_back({c, {}});
    return out;
  }
  const std::string place = f.Place("runs");
  Array(*runs, place);
  for (std::size_t i = 0; i < runs->size(); ++i) {
    Fields run((*runs)[i], Element(place, i));
    const std::size_t left = chars.size() - out.size();
    if (left == 0) Fail(Element(place, i), "the runs before it cover the whole text already");
    const int n = WholeNumber(run.Need("chars"), run.Place("chars"), 1,
                              static_cast<int>(std::min<std::size_t>(left, item::kQuarterSize)));
    item::TextAttribute a;
    if (const Json* v = run.Find("colour"))
      a.text = item::TextColour(Choice(*v, run.Place("colour"), item::kTextColourNames, "colour"));
    if (const Json* v = run.Find("background"))
      a.back = item::BackColour(
          Choice(*v, run.Place("background"), item::kBackColourNames, "background"));
    if (const Json* v = run.Find("font"))
      a.font = item::BoardFont(Choice(*v, run.Place("font"), item::kBoardFontNames, "font"));
    run.NoOthers();
    for (int k = 0; k < n; ++k) out.push_back({chars[out.size()], a});
  }
  if (out.size() != chars.size()) {
    Fail(place, "the runs cover " + std::to_string(out.size()) + " of the text's " +
                    std::to_string(chars.size()) + " characters");
  }
  return out;
}

void PaneFrom(Fields& f, const Pane& p, ItemRecord& r, Warnings& warnings) {
  const std::string place = f.Place("text");
  const Json* v = f.Find("text");
  const std::u32string chars = DecodeUtf8(v ? String(*v, place) : std::string());
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const bool encodable = Cp949Width(chars[i]) != 0;
    if (encodable && SingleLineChar(chars[i]) == chars[i]) continue;
    Fail(place, Quoted(chars[i]) + ", character " + std::to_string(i + 1) + ", " +
                    (encodable ? "is a control character; a text is one line"
                               : "cannot be written in code page 949"));
  }
  const std::size_t bytes = Cp949Bytes(chars);
  if (bytes > p.limit) {
    Fail(place, std::to_string(bytes) + " bytes in code page 949, over the limit of " +
                    std::to_string(p.limit));
  }
  const std::u32string blank = BlankOnBoard(chars);
  if (!blank.empty()) {
    constexpr std::size_t kNamed = 8;  // a line's worth
    std::string list;
    for (std::size_t i = 0; i < std::min(blank.size(), kNamed); ++i)
      list += (i ? ", " : "") + Quoted(blank[i]);
    if (blank.size() > kNamed) list += " and " + std::to_string(blank.size() - kNamed) + " more";
    warnings.push_back(place + ": the board fonts have no " + list +
                       "; the sign shows a blank there");
  }
  const StyledText styled = RunsFrom(f, chars);
  WritePaneQuarters(styled, r.body.quarter(p.text), r.body.quarter(AttrsOf(p.text)));
  if (p.effects) {
    r.header[p.entryAt] = CodeFrom(f, "entry", ListId::Entry);
    r.header[p.holdAt] = CodeFrom(f, "hold", ListId::Hold);
    r.header[p.exitAt] = CodeFrom(f, "exit", ListId::Exit);
  }
}

Json TextJson(const ItemRecord& r, const TextLayout& l) {
  Json j = Json::object();
  if (!l.event) j["kind"] = std::string(item::KindLabel(r.header.kind()));
  for (int i = 0; i < l.paneCount; ++i) {
    const Pane& p = l.panes[static_cast<std::size_t>(i)];
    PutPane(p.key.empty() ? j : (j[std::string(p.key)] = Json::object()), r, p);
  }
  if (l.speedAt >= 0) j["speed"] = CodeJson(ListId::Speed, r.header[l.speedAt]);
  if (l.date) j["date"] = DateJson(r.header);
  if (!l.event) PutWindow(j, r.header);
  return j;
}

ItemRecord TextFrom(Fields& f, const TextLayout& l, Warnings& warnings) {
  ItemRecord r;
  r.header.setKind(l.kind);
  for (int i = 0; i < l.paneCount; ++i) {
    const Pane& p = l.panes[static_cast<std::size_t>(i)];
    if (p.key.empty()) {
      PaneFrom(f, p, r, warnings);
      continue;
    }
    Fields nested(f.Need(p.key), f.Place(p.key));
    PaneFrom(nested, p, r, warnings);
    nested.NoOthers();
  }
  if (l.speedAt >= 0) r.header[l.speedAt] = CodeFrom(f, "speed", ListId::Speed);
  if (l.date) DateFrom(f, r.header);
  if (!l.event) {
    const editors::DisplayWindow w = WindowFrom(f);
    r.header.setStartMinutes(w.startMinutes);
    r.header.setEndMinutes(w.endMinutes);
  }
  return r;
}

// ---- Pictures and the items without text

std::string EditorMessage(encode::ImportResult result) {
  std::string text(encode::MessageFor(result).text);
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

std::string PathFrom(Fields& f) {
  const Json* v = f.Find("file");
  const editors::StoredPath path = editors::PathForItem(v ? String(*v, f.Place("file")) : "");
  if (path.result != encode::ImportResult::Ok) Fail(f.Place("file"), EditorMessage(path.result));
  return path.cp949;
}

// Sizes the JSON leaves out are measured from the file, as the editor measures them; given
// ones are taken as they stand, within the editor's limits.
ItemRecord BitmapFrom(Fields& f) {
  editors::BitmapValues v;
  v.path = PathFrom(f);
  v.mode = CodeFrom(f, "effect", ListId::BitmapMode);
  v.speed = CodeFrom(f, "speed", ListId::Speed);
  v.hold = CodeFrom(f, "hold", ListId::Hold);
  const Json* width = f.Find("width");
  const Json* height = f.Find("height");
  if (width && height) {
    v.width = WholeNumber(*width, f.Place("width"), 1, encode::kNewBitmapMaxWidth);
    v.height = WholeNumber(*height, f.Place("height"), 1, encode::kBitmapMaxHeight);
  } else if (width || height) {
    Fail(f.Place(width ? "height" : "width"),
         "missing; give both sizes, or neither to measure the file");
  } else if (!v.path.empty()) {
    const editors::BitmapFile file = editors::OpenBitmapFile(v.path, encode::BitmapOpen::New);
    if (file.result != encode::ImportResult::Ok) Fail(f.Place("file"), EditorMessage(file.result));
    v.width = file.width;
    v.height = file.height;
  }
  v.window = WindowFrom(f);
  return editors::BuildBitmapItem(v);
}

// The animation editor refuses a GIF whose logical screen holds more pixels.
constexpr int kMaxScreenPixels = int(encode::GifDecoder::kMaxScreenPixels);

ItemRecord AnimationFrom(Fields& f) {
  editors::AnimationValues v;
  v.path = PathFrom(f);
  v.speed = CodeFrom(f, "speed", ListId::Speed);
  const std::array<const Json*, 3> sizes = {f.Find("width"), f.Find("height"), f.Find("frames")};
  const auto missing = std::count(sizes.begin(), sizes.end(), nullptr);
  if (missing == 0) {
    v.width = WholeNumber(*sizes[0], f.Place("width"), 1, 0xFFFF);
    v.height = WholeNumber(*sizes[1], f.Place("height"), 1, kMaxScreenPixels / v.width);
    v.frames = WholeNumber(*sizes[2], f.Place("frames"), 1, encode::kMaxAnimationFrames);
  } else if (missing != 3) {
    Fail(f.Place(!sizes[0]   ? "width"
                 : !sizes[1] ? "height"
                             : "frames"),
         "missing; give width, height and frames, or none to measure the file");
  } else if (!v.path.empty()) {
    encode::GifDecoder gif;
    const encode::ImportResult result = editors::OpenAnimationFile(v.path, gif);
    if (result != encode::ImportResult::Ok) Fail(f.Place("file"), EditorMessage(result));
    v.width = gif.width();
    v.height = gif.height();
    v.frames = gif.FrameCount();
  }
  v.window = WindowFrom(f);
  return editors::BuildAnimationItem(v);
}

Json PictureJson(const ItemRecord& r) {
  const item::ItemHeader& h = r.header;
  Json j = {{"kind", std::string(item::KindLabel(h.kind()))},
            {"file", Utf8Of(ReadableText(r.body.textA, r.body.attrA, item::kMaxTextBytes))}};
  if (h.kind() == std::uint8_t(ItemKind::Bitmap)) {
    j["effect"] = CodeJson(ListId::BitmapMode, h[hdr::kBitmapMode]);
    j["speed"] = CodeJson(ListId::Speed, h[hdr::kSpeed]);
    j["hold"] = CodeJson(ListId::Hold, h[hdr::kHold]);
    j["width"] = std::clamp<int>(h.pictureWidth(), 1, encode::kNewBitmapMaxWidth);
    j["height"] = std::clamp<int>(h.pictureHeight(), 1, encode::kBitmapMaxHeight);
  } else {
    j["speed"] = CodeJson(ListId::Speed, h[hdr::kSpeed]);
    const int width = std::max<int>(h.pictureWidth(), 1);
    j["width"] = width;
    j["height"] = std::clamp<int>(h.pictureHeight(), 1, kMaxScreenPixels / width);
    j["frames"] = std::max<int>(h[hdr::kFrames], 1);
  }
  PutWindow(j, h);
  return j;
}

ItemRecord HoldTimeFrom(Fields& f, bool temperature) {
  editors::HoldTimeValues v;
  v.temperature = temperature;
  v.hold = CodeFrom(f, "hold", ListId::Hold);
  v.window = WindowFrom(f);
  ItemRecord r;
  r.header = editors::BuildHoldTimeHeader(v);
  return r;
}

Json HoldTimeJson(const ItemRecord& r) {
  Json j = {{"kind", std::string(item::KindLabel(r.header.kind()))},
            {"hold", CodeJson(ListId::Hold, r.header[hdr::kHold])}};
  PutWindow(j, r.header);
  return j;
}

// ---- Whole records

// The layout of a text kind; null for the others.
const TextLayout* TextLayoutOf(std::uint8_t kind) {
  for (const TextLayout* l : {&kOneLine, &kTwoLine, &kTitleSentence, &kDDay})
    if (std::uint8_t(l->kind) == kind) return l;
  return nullptr;
}

bool IsPicture(std::uint8_t kind) {
  return kind == std::uint8_t(ItemKind::Bitmap) || kind == std::uint8_t(ItemKind::Animation);
}

std::optional<Json> ReadableItem(const ItemRecord& r) {
  const std::uint8_t kind = r.header.kind();
  if (const TextLayout* l = TextLayoutOf(kind)) return TextJson(r, *l);
  if (IsPicture(kind)) return PictureJson(r);
  if (kind == std::uint8_t(ItemKind::DateTime) || kind == std::uint8_t(ItemKind::Temperature))
    return HoldTimeJson(r);
  return std::nullopt;
}

// Which text the list's content check found empty.
std::string_view EmptyField(const ItemRecord& r) {
  const bool hasA = r.body.textA[0] != 0;
  switch (ItemKind(r.header.kind())) {
    case ItemKind::TwoLine:
      return hasA ? "lower.text" : "upper.text";
    case ItemKind::TitleSentence:
      return hasA ? "sentence.text" : "title.text";
    case ItemKind::Bitmap:
    case ItemKind::Animation:
      return "file";
    default:
      return "text";
  }
}

ItemRecord ReadableItemFrom(Fields& f, Warnings& warnings) {
  static const std::array<std::string_view, item::kItemKindCount> kKinds = [] {
    std::array<std::string_view, item::kItemKindCount> names;
    for (int k = 0; k < item::kItemKindCount; ++k)
      names[std::size_t(k)] = item::KindLabel(std::uint8_t(k));
    return names;
  }();
  const auto kind = std::uint8_t(Choice(f.Need("kind"), f.Place("kind"), kKinds, "kind"));
  const TextLayout* layout = TextLayoutOf(kind);
  const ItemRecord r = layout                                   ? TextFrom(f, *layout, warnings)
                       : kind == std::uint8_t(ItemKind::Bitmap) ? BitmapFrom(f)
                       : IsPicture(kind)
                           ? AnimationFrom(f)
                           : HoldTimeFrom(f, kind == std::uint8_t(ItemKind::Temperature));
  if (!msglist::HasContent(r)) {
    Fail(f.Place(EmptyField(r)), "is empty; the manager adds no " +
                                     std::string(item::KindLabel(r.header.kind())) +
                                     " item without it");
  }
  return r;
}

ItemRecord ReadableEventFrom(Fields& f, Warnings& warnings) {
  const ItemRecord r = TextFrom(f, kEvent, warnings);
  if (r.body.textA[0] == 0)
    Fail(f.Place("text"), "is empty; the event list keeps no event without text");
  return events::MakeEvent(r.header, r.body.textA, r.body.attrA);
}

// A record given as raw runs alone starts from zeros; otherwise they go over the fields.
template <typename Readable>
ItemRecord RecordFrom(const Json& value, const std::string& place, Readable readable) {
  Fields f(value, place);
  ItemRecord r = f.Only("raw") ? ItemRecord{} : readable(f);
  if (const Json* raw = f.Find("raw")) {
    RecordBytes bytes;
    item::RecordToBytes(r, bytes.data());
    ApplyRawRuns(*raw, f.Place("raw"), bytes);
    r = item::RecordFromBytes(bytes.data());
  }
  f.NoOthers();
  return r;
}

template <typename FromJson>
Json Exact(const ItemRecord& r, std::optional<Json> readable, FromJson fromJson) {
  RecordBytes want;
  item::RecordToBytes(r, want.data());
  if (readable) {
    try {
      Warnings ignored;
      RecordBytes have;
      item::RecordToBytes(fromJson(*readable, std::string(), ignored), have.data());
      Json raw = RawRuns(want, have);
      if (!raw.empty()) (*readable)["raw"] = std::move(raw);
      return std::move(*readable);
    } catch (const Fault&) {
      // Content no editor stores (a two-line item without its lower line): raw alone.
    }
  }
  const RecordBytes zeros{};
  return Json{{"raw", RawRuns(want, zeros)}};
}

}  // namespace

Json ItemToJson(const ItemRecord& record) {
  return Exact(record, ReadableItem(record), ItemFromJson);
}

Json EventToJson(const ItemRecord& record) {
  return Exact(record, TextJson(record, kEvent), EventFromJson);
}

ItemRecord ItemFromJson(const Json& value, const std::string& place, Warnings& warnings) {
  return RecordFrom(value, place, [&](Fields& f) { return ReadableItemFrom(f, warnings); });
}

ItemRecord EventFromJson(const Json& value, const std::string& place, Warnings& warnings) {
  return RecordFrom(value, place, [&](Fields& f) { return ReadableEventFrom(f, warnings); });
}

}  // namespace textform
