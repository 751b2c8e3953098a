#include "manager/textform/project_text.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "manager/events/event_list.h"
#include "manager/list/list_rules.h"
#include "manager/store/work_store.h"
#include "manager/textform/json_fields.h"
#include "manager/textform/record_text.h"
#include "shared/codes.h"

namespace textform {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr int kFormatVersion = 1;
constexpr const char* kVersionKey = "brellion_project";

// ---- Settings. A stored value the manager would not take reads as the value it puts in
// its place (a fresh store's zero width as 6); raw runs keep the stored byte.

constexpr std::array<std::string_view, 2> kWindowModes = {"always", "within_times"};
constexpr std::array<std::string_view, 2> kBrightModes = {"maximum", "day_night"};
constexpr std::array<std::string_view, 2> kTransmits = {"serial", "tcp"};
// The level lists show 10 (the brightest, index 0) down to 1 (index 9).
constexpr int kLevelCount = 10;
constexpr int kDefaultWidth = 6;
constexpr int kMinWidth = 2, kMaxWidth = 20;

std::string Name(std::span<const std::string_view> names, bool second) {
  return std::string(names[second ? 1 : 0]);
}

Json BoardJson(Bytes p) {
  const int width = p[store::kWidth];
  int day = p[store::kLevels], night = p[store::kLevels + 1];
  if (day >= kLevelCount || night >= kLevelCount) day = night = 0;
  return {{"width", width >= kMinWidth && width <= kMaxWidth ? width : kDefaultWidth},
          {"height", p[store::kHeight] == 2 ? 2 : 1},
          {"display_window", Name(kWindowModes, p[store::kWindowMode] == 1)},
          {"brightness", Name(kBrightModes, p[store::kBrightMode] == 1)},
          {"day_level", kLevelCount - day},
          {"night_level", kLevelCount - night},
          {"connection", p[store::kConnection] == 1}};
}

Json LinkJson(Bytes p) {
  const int port = p[store::kSerialPort];
  char ip[16];
  std::snprintf(ip, sizeof ip, "%d.%d.%d.%d", p[store::kIpAddress], p[store::kIpAddress + 1],
                p[store::kIpAddress + 2], p[store::kIpAddress + 3]);
  return {{"transmit", Name(kTransmits, p[store::kTransmit] == 1)},
          {"serial_port", "COM" + std::to_string(port >= 1 && port <= 20 ? port : 1)},
          {"ip", ip},
          {"tcp_port", p[store::kTcpPort] * 256 + p[store::kTcpPort + 1]}};
}

Json NewsJson(Bytes p) {
  Json j = Json::object();
  for (std::size_t i = 0; i < item::kNewsCategoryNames.size(); ++i)
    j[std::string(item::kNewsCategoryNames[i])] = p[store::kNewsFlags + i] != 0;
  return j;
}

// A missing group or member keeps what the manager makes of a fresh store.
void BoardFrom(const Json* v, std::span<std::uint8_t> p) {
  p[store::kWidth] = kDefaultWidth;
  p[store::kHeight] = 1;
  if (v == nullptr) return;
  Fields f(*v, "board");
  const auto number = [&f, &p](const char* key, std::size_t at, int min, int max) {
    if (const Json* m = f.Find(key)) p[at] = std::uint8_t(WholeNumber(*m, f.Place(key), min, max));
  };
  const auto choice = [&f, &p](const char* key, std::size_t at,
                               std::span<const std::string_view> names) {
    if (const Json* m = f.Find(key)) p[at] = std::uint8_t(Choice(*m, f.Place(key), names, key));
  };
  number("width", store::kWidth, kMinWidth, kMaxWidth);
  number("height", store::kHeight, 1, 2);
  choice("display_window", store::kWindowMode, kWindowModes);
  choice("brightness", store::kBrightMode, kBrightModes);
  for (auto [key, at] :
       {std::pair{"day_level", store::kLevels}, std::pair{"night_level", store::kLevels + 1}}) {
    if (const Json* m = f.Find(key))
      p[at] = std::uint8_t(kLevelCount - WholeNumber(*m, f.Place(key), 1, kLevelCount));
  }
  if (const Json* m = f.Find("connection")) p[store::kConnection] = Flag(*m, f.Place("connection"));
  f.NoOthers();
}

std::uint32_t IpFrom(const Json& v, const std::string& place) {
  const std::string s = String(v, place);
  std::uint32_t ip = 0;
  std::size_t start = 0;
  for (int k = 0; k < 4; ++k) {
    const std::size_t dot = k < 3 ? s.find('.', start) : s.size();
    int n = 0;
    if (dot == std::string::npos || dot - start > 3 || !Digits(s.substr(start, dot - start), &n) ||
        n > 255) {
      Fail(place, "must be an IPv4 address \"192.168.0.10\"");
    }
    ip = ip << 8 | std::uint32_t(n);
    start = dot + 1;
  }
  return ip;
}

void LinkFrom(const Json* v, std::span<std::uint8_t> p) {
  p[store::kSerialPort] = 1;
  if (v == nullptr) return;
  Fields f(*v, "link");
  if (const Json* m = f.Find("transmit"))
    p[store::kTransmit] = std::uint8_t(Choice(*m, f.Place("transmit"), kTransmits, "transmit"));
  if (const Json* m = f.Find("serial_port")) {
    const std::string s = String(*m, f.Place("serial_port"));
    int port = 0;
    if (!s.starts_with("COM") || !Digits(s.substr(3), &port) || port < 1 || port > 20)
      Fail(f.Place("serial_port"), "must be \"COM1\" to \"COM20\"");
    p[store::kSerialPort] = std::uint8_t(port);
  }
  if (const Json* m = f.Find("ip")) {
    const std::uint32_t ip = IpFrom(*m, f.Place("ip"));
    for (int k = 0; k < 4; ++k)
      p[store::kIpAddress + std::size_t(k)] = std::uint8_t(ip >> (24 - 8 * k));
  }
  if (const Json* m = f.Find("tcp_port")) {
    const int port = WholeNumber(*m, f.Place("tcp_port"), 0, 0xFFFF);
    p[store::kTcpPort] = std::uint8_t(port >> 8);
    p[store::kTcpPort + 1] = std::uint8_t(port);
  }
  f.NoOthers();
}

void NewsFrom(const Json* v, std::span<std::uint8_t> p) {
  if (v == nullptr) return;
  Fields f(*v, "news");
  for (std::size_t i = 0; i < item::kNewsCategoryNames.size(); ++i) {
    const std::string_view name = item::kNewsCategoryNames[i];
    if (const Json* m = f.Find(name)) p[store::kNewsFlags + i] = Flag(*m, f.Place(name));
  }
  f.NoOthers();
}

// ---- Lists

std::size_t EventCount(Bytes p) {
  std::size_t n = 0;
  while (n < std::size_t(events::kMaxEvents) &&
         p[store::SlotOffset(events::StoreSlot(int(n))) +
           item::QuarterOffset(item::QuarterId::TextA)] != 0) {
    ++n;
  }
  return n;
}

template <typename FromJson>
std::size_t RecordsFrom(Fields& top, const char* key, std::size_t max, int firstSlot,
                        FromJson fromJson, std::span<std::uint8_t> p, Warnings& warnings) {
  const Json* list = top.Find(key);
  if (list == nullptr) return 0;
  Array(*list, key);
  if (list->size() > max) {
    Fail(key, std::to_string(list->size()) + " " + key + "; the list holds at most " +
                  std::to_string(max));
  }
  for (std::size_t i = 0; i < list->size(); ++i) {
    const item::ItemRecord r = fromJson((*list)[i], Element(key, i), warnings);
    item::RecordToBytes(r, p.data() + store::SlotOffset(firstSlot + int(i)));
  }
  return list->size();
}

// Raw runs may change what the manager finds in the slots: the lists it will read must be
// the ones the document lists.
void CheckLists(Bytes p, std::size_t items, std::size_t events) {
  const std::size_t foundItems = ReadItems(p).size(), foundEvents = EventCount(p);
  if (foundItems < items) {
    Fail(Element("items", foundItems),
         "holds no item as the manager reads the list (kinds 0 to 4 need a first text), so the "
         "list would end before it");
  }
  if (foundEvents < events) {
    Fail(Element("events", foundEvents), "has no text, so the event list would end before it");
  }
  if (foundItems > items || foundEvents > events) {
    Fail("raw", foundItems > items ? "puts an item into the slot after the last of \"items\""
                                   : "puts an event into the slot after the last of \"events\"");
  }
}

ProjectBytes Build(const Json& doc, Warnings& warnings) {
  Fields top(doc, "");
  const Json& version = top.Need(kVersionKey);
  if (!version.is_number_integer() || version.get<std::int64_t>() != kFormatVersion) {
    Fail(kVersionKey,
         "must be " + std::to_string(kFormatVersion) + ", the form this program reads");
  }
  ProjectBytes p(store::kFileSize, 0);
  BoardFrom(top.Find("board"), p);
  LinkFrom(top.Find("link"), p);
  NewsFrom(top.Find("news"), p);
  const std::size_t items =
      RecordsFrom(top, "items", msglist::kMaxRows, 0, ItemFromJson, p, warnings);
  const std::size_t events = RecordsFrom(top, "events", events::kMaxEvents, store::kFirstEventSlot,
                                         EventFromJson, p, warnings);
  if (const Json* raw = top.Find("raw")) ApplyRawRuns(*raw, "raw", p);
  top.NoOthers();
  CheckLists(p, items, events);
  return p;
}

// ---- Layout: a run of characters or of raw bytes on a line of its own; anything else one
// member per line, indented by two.

void Lay(const Json& v, int depth, std::string& out) {
  if (!v.is_structured()) {
    out += v.dump(-1, ' ', false, Json::error_handler_t::strict);
    return;
  }
  const bool object = v.is_object();
  const bool oneLine = object && (v.contains("chars") || v.contains("at"));
  const std::string indent(std::size_t(2 * (depth + 1)), ' ');
  out += object ? '{' : '[';
  for (auto it = v.begin(); it != v.end(); ++it) {
    if (it != v.begin()) out += ',';
    if (oneLine) {
      if (it != v.begin()) out += ' ';
    } else {
      out += '\n' + indent;
    }
    if (object) out += Json(it.key()).dump(-1, ' ', false) + ": ";
    Lay(*it, depth + 1, out);
  }
  if (!oneLine && !v.empty()) out += '\n' + std::string(std::size_t(2 * depth), ' ');
  out += object ? '}' : ']';
}

// Refuses a text longer, deeper or with more values than any project's before the parser
// builds anything of it. The form nests six levels (a run of the sentence of an item).
// Opening brackets and commas outside strings count the values closely enough.
void CheckShape(std::string_view json) {
  constexpr int kMaxDepth = 16;
  if (json.size() > kMaxTextBytes)
    Fail("", "JSON text longer than " + std::to_string(kMaxTextBytes) + " bytes");
  int depth = 0;
  std::size_t values = 0;
  bool inString = false, escaped = false;
  for (const char c : json) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
      continue;
    }
    if (c == '"') inString = true;
    if (c == ']' || c == '}') --depth;
    if ((c == '[' || c == '{') && ++depth > kMaxDepth)
      Fail("", "JSON nested deeper than " + std::to_string(kMaxDepth) + " levels");
    if ((c == '[' || c == '{' || c == ',') && ++values > kMaxValues)
      Fail("", "JSON holds more than " + std::to_string(kMaxValues) + " values");
  }
}

}  // namespace

std::vector<item::ItemRecord> ReadItems(Bytes project) {
  std::vector<item::ItemRecord> items;
  for (int k = 0; k < msglist::kMaxRows; ++k) {
    const std::uint8_t* slot = project.data() + store::SlotOffset(k);
    if (!item::HoldsItem(slot[item::hdr::kKind], slot[item::QuarterOffset(item::QuarterId::TextA)]))
      break;
    items.push_back(item::RecordFromBytes(slot));
  }
  return items;
}

std::string ExportProject(Bytes project) {
  Json doc = {{kVersionKey, kFormatVersion}, {"board", BoardJson(project)},
              {"link", LinkJson(project)},   {"news", NewsJson(project)},
              {"items", Json::array()},      {"events", Json::array()}};
  for (const item::ItemRecord& r : ReadItems(project)) doc["items"].push_back(ItemToJson(r));
  for (std::size_t k = 0; k < EventCount(project); ++k) {
    const std::uint8_t* slot = project.data() + store::SlotOffset(events::StoreSlot(int(k)));
    doc["events"].push_back(EventToJson(item::RecordFromBytes(slot)));
  }
  // Whatever the readable parts leave out: slots past the lists, settings the manager would
  // replace, the reserved bytes.
  Warnings ignored;
  Json raw = RawRuns(project, Build(doc, ignored));
  if (!raw.empty()) doc["raw"] = std::move(raw);
  std::string out;
  Lay(doc, 0, out);
  return out + '\n';
}

ImportResult ImportProject(std::string_view json) {
  ImportResult result;
  try {
    CheckShape(json);
    const Json doc = Json::parse(json.begin(), json.end());
    result.project = Build(doc, result.warnings);
  } catch (const Fault& fault) {
    result.error = fault.what();
  } catch (const Json::exception& e) {
    // "[json.exception.parse_error.101] parse error at line 3, column 7: ..."
    std::string what = e.what();
    if (what.starts_with("[json.exception.")) what.erase(0, what.find(']') + 2);
    result.error = "JSON " + what;
  }
  if (!result.project) result.warnings.clear();
  return result;
}

}  // namespace textform
