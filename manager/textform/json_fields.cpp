#include "manager/textform/json_fields.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace textform {

namespace {

// Equal bytes between two differing ones that still join them into one run: a run costs
// about twenty characters of JSON, a byte two.
constexpr std::size_t kJoinGap = 8;

bool SameWithoutSpaces(std::string_view a, std::string_view b) {
  std::size_t i = 0, k = 0;
  for (;; ++i, ++k) {
    while (i < a.size() && a[i] == ' ') ++i;
    while (k < b.size() && b[k] == ' ') ++k;
    if (i == a.size() || k == b.size()) return i == a.size() && k == b.size();
    if (a[i] != b[k]) return false;
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

void Fail(const std::string& place, const std::string& what) {
  throw Fault(place, what);
}

std::string Member(const std::string& place, std::string_view key) {
  return place.empty() ? std::string(key) : place + "." + std::string(key);
}

std::string Element(const std::string& place, std::size_t index) {
  return place + "[" + std::to_string(index) + "]";
}

Fields::Fields(const Json& value, std::string place) : value_(value), place_(std::move(place)) {
  if (!value_.is_object())
    Fail(place_,
         place_.empty() ? "the text must be one JSON object {...}" : "must be an object {...}");
}

const Json* Fields::Find(std::string_view key) {
  asked_.emplace_back(key);
  const auto it = value_.find(std::string(key));
  return it == value_.end() ? nullptr : &*it;
}

const Json& Fields::Need(std::string_view key) {
  const Json* v = Find(key);
  if (v == nullptr) Fail(Place(key), "missing");
  return *v;
}

void Fields::NoOthers() const {
  for (const auto& member : value_.items()) {
    if (std::find(asked_.begin(), asked_.end(), member.key()) != asked_.end()) continue;
    std::string known;
    for (const std::string& k : asked_) known += (known.empty() ? "" : ", ") + k;
    Fail(Place(member.key()), "unknown field (known here: " + known + ")");
  }
}

bool Fields::Only(std::string_view key) const {
  return value_.size() == 1 && value_.contains(std::string(key));
}

int WholeNumber(const Json& v, const std::string& place, int min, int max) {
  const std::string range =
      "must be a whole number from " + std::to_string(min) + " to " + std::to_string(max);
  if (!v.is_number_integer()) Fail(place, range);
  const bool fits = v.is_number_unsigned() ? v.get<std::uint64_t>() <= std::uint64_t(max)
                                           : v.get<std::int64_t>() <= max;
  if (!fits || v.get<std::int64_t>() < min) Fail(place, range + ", not " + v.dump());
  return v.get<int>();
}

const std::string& String(const Json& v, const std::string& place) {
  if (!v.is_string()) Fail(place, "must be a string \"...\"");
  return v.get_ref<const std::string&>();
}

bool Flag(const Json& v, const std::string& place) {
  if (!v.is_boolean()) Fail(place, "must be true or false");
  return v.get<bool>();
}

const Json& Array(const Json& v, const std::string& place) {
  if (!v.is_array()) Fail(place, "must be a list [...]");
  return v;
}

int Choice(const Json& v, const std::string& place, std::span<const std::string_view> names,
           std::string_view what) {
  const std::string& name = String(v, place);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (SameWithoutSpaces(names[i], name)) return static_cast<int>(i);
  }
  std::string known;
  for (std::string_view n : names) known += (known.empty() ? "\"" : ", \"") + std::string(n) + "\"";
  Fail(place, "unknown " + std::string(what) + " " + v.dump(-1, ' ', false) + "; one of " + known);
}

bool Digits(std::string_view s, int* out) {
  if (s.empty() || s.size() > 9) return false;
  *out = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    *out = *out * 10 + (c - '0');
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t ch) {
  const auto put = [&out](unsigned b) { out += static_cast<char>(b); };
  if (ch < 0x80) {
    put(ch);
  } else if (ch < 0x800) {
    put(0xC0 | (ch >> 6));
    put(0x80 | (ch & 0x3F));
  } else if (ch < 0x10000) {
    put(0xE0 | (ch >> 12));
    put(0x80 | ((ch >> 6) & 0x3F));
    put(0x80 | (ch & 0x3F));
  } else {
    put(0xF0 | (ch >> 18));
    put(0x80 | ((ch >> 12) & 0x3F));
    put(0x80 | ((ch >> 6) & 0x3F));
    put(0x80 | (ch & 0x3F));
  }
}

std::string Quoted(char32_t ch) {
  std::string out = "'";
  if (ch >= 0x20) AppendUtf8(out, ch);  // a control character would break the message line
  char code[16];
  std::snprintf(code, sizeof code, "' (U+%04X)", static_cast<unsigned>(ch));
  return out + code;
}

Json RawRuns(std::span<const std::uint8_t> want, std::span<const std::uint8_t> have) {
  static constexpr char kDigits[] = "0123456789abcdef";
  // Equal blocks are passed by memcmp: a project is mostly equal to what its fields build.
  constexpr std::size_t kBlock = 256;
  Json runs = Json::array();
  for (std::size_t i = 0; i < want.size(); ++i) {
    while (i + kBlock <= want.size() && std::memcmp(&want[i], &have[i], kBlock) == 0) i += kBlock;
    if (i == want.size() || want[i] == have[i]) continue;
    std::size_t end = i + 1;
    for (std::size_t k = end; k < want.size() && k <= end + kJoinGap; ++k)
      if (want[k] != have[k]) end = k + 1;
    std::string hex;
    hex.reserve(2 * (end - i));
    for (std::size_t k = i; k < end; ++k) {
      hex += kDigits[want[k] >> 4];
      hex += kDigits[want[k] & 15];
    }
    runs.push_back(Json{{"at", i}, {"bytes", std::move(hex)}});
    i = end - 1;
  }
  return runs;
}

void ApplyRawRuns(const Json& runs, const std::string& place, std::span<std::uint8_t> bytes) {
  Array(runs, place);
  for (std::size_t i = 0; i < runs.size(); ++i) {
    Fields run(runs[i], Element(place, i));
    const std::size_t at = WholeNumber(run.Need("at"), run.Place("at"), 0, int(bytes.size()) - 1);
    const std::string hex = String(run.Need("bytes"), run.Place("bytes"));
    run.NoOthers();
    const std::size_t count = hex.size() / 2;
    if (hex.empty() || hex.size() % 2 ||
        std::any_of(hex.begin(), hex.end(), [](char c) { return HexDigit(c) < 0; })) {
      Fail(run.Place("bytes"), "must be pairs of hex digits, one pair a byte");
    }
    if (count > bytes.size() - at) {
      Fail(run.Place("bytes"), std::to_string(count) + " bytes at " + std::to_string(at) +
                                   " do not fit the " + std::to_string(bytes.size()) + " bytes");
    }
    for (std::size_t k = 0; k < count; ++k)
      bytes[at + k] =
          static_cast<std::uint8_t>(HexDigit(hex[2 * k]) * 16 + HexDigit(hex[2 * k + 1]));
  }
}

}  // namespace textform
