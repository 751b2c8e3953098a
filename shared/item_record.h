#pragma once
// The 8224-byte item record: the work-store slot, the board's item table entry plus
// data slot, and what the previewer reads. The byte layout is binding; accessors only
// name the bytes. Multi-byte numbers are big-endian.

#include <array>
#include <cstddef>
#include <cstdint>

namespace item {

inline constexpr std::size_t kItemHeaderSize = 32;
inline constexpr std::size_t kQuarterSize = 2048;
inline constexpr std::size_t kItemBodySize = 4 * kQuarterSize;
inline constexpr std::size_t kItemRecordSize = kItemHeaderSize + kItemBodySize;  // 8224
inline constexpr std::size_t kMaxTextBytes = kQuarterSize - 1;                   // 2047 + NUL

enum class ItemKind : std::uint8_t {
  OneLine = 0,
  TwoLine = 1,
  TitleSentence = 2,
  Bitmap = 3,
  Animation = 4,
  DateTime = 5,
  DDay = 6,
  Temperature = 7,
};
inline constexpr int kItemKindCount = 8;

// Header byte positions. Some bytes mean different things for different kinds.
namespace hdr {
inline constexpr int kKind = 0;
inline constexpr int kEntry = 1;       // one-line entry effect
inline constexpr int kBitmapMode = 1;  // bitmap effect mode
inline constexpr int kSpeed = 2;       // one-line, bitmap, animation
inline constexpr int kHold = 3;        // one-line, bitmap, date/time, temperature
inline constexpr int kExit = 4;        // one-line
inline constexpr int kUpperEntry = 6;
inline constexpr int kTwoLineSpeed = 7;  // one speed for both lines
inline constexpr int kUpperHold = 8;
inline constexpr int kUpperExit = 9;
inline constexpr int kLowerEntry = 11;     // lower line, or the sentence of a title item
inline constexpr int kSentenceSpeed = 12;  // title and sentence only; 0 for two-line items
inline constexpr int kLowerHold = 13;
inline constexpr int kLowerExit = 14;
inline constexpr int kPictureWidth = 16;   // 2 bytes
inline constexpr int kPictureHeight = 18;  // 2 bytes
inline constexpr int kFrames = 20;
inline constexpr int kImageAddress = 21;  // 4 bytes, bitmap and animation
inline constexpr int kDDayYear = 21;      // 2 bytes, D-day
inline constexpr int kDDayMonth = 23;
inline constexpr int kDDayDay = 24;
inline constexpr int kStartHour = 25;
inline constexpr int kStartMinute = 26;
inline constexpr int kEndHour = 27;
inline constexpr int kEndMinute = 28;
}  // namespace hdr

struct ItemHeader {
  std::array<std::uint8_t, kItemHeaderSize> bytes{};

  std::uint8_t operator[](int i) const { return bytes[static_cast<std::size_t>(i)]; }
  std::uint8_t& operator[](int i) { return bytes[static_cast<std::size_t>(i)]; }

  std::uint8_t kind() const { return bytes[hdr::kKind]; }
  void setKind(ItemKind k) { bytes[hdr::kKind] = static_cast<std::uint8_t>(k); }

  std::uint16_t get16(int at) const;
  void set16(int at, std::uint16_t v);
  std::uint32_t get32(int at) const;
  void set32(int at, std::uint32_t v);

  std::uint16_t pictureWidth() const { return get16(hdr::kPictureWidth); }
  std::uint16_t pictureHeight() const { return get16(hdr::kPictureHeight); }
  std::uint32_t imageAddress() const { return get32(hdr::kImageAddress); }
  void setImageAddress(std::uint32_t a) { set32(hdr::kImageAddress, a); }

  // Display window as minutes after midnight, as the editors exchange it.
  int startMinutes() const { return bytes[hdr::kStartHour] * 60 + bytes[hdr::kStartMinute]; }
  int endMinutes() const { return bytes[hdr::kEndHour] * 60 + bytes[hdr::kEndMinute]; }
  void setStartMinutes(int m);
  void setEndMinutes(int m);

  bool operator==(const ItemHeader&) const = default;
};

using Quarter = std::array<std::uint8_t, kQuarterSize>;

// Which quarter of the body; the value is the quarter's index.
enum class QuarterId : int { TextA = 0, AttrA = 1, TextB = 2, AttrB = 3 };

struct ItemBody {
  Quarter textA{};
  Quarter attrA{};
  Quarter textB{};
  Quarter attrB{};

  Quarter& quarter(QuarterId q);
  const Quarter& quarter(QuarterId q) const;
  bool operator==(const ItemBody&) const = default;
};

struct ItemRecord {
  ItemHeader header;
  ItemBody body;

  bool operator==(const ItemRecord&) const = default;
};

static_assert(sizeof(ItemHeader) == kItemHeaderSize);
static_assert(sizeof(ItemBody) == kItemBodySize);
static_assert(sizeof(ItemRecord) == kItemRecordSize);

// Offset of a quarter inside the record (32, 2080, 4128, 6176).
constexpr std::size_t QuarterOffset(QuarterId q) {
  return kItemHeaderSize + static_cast<std::size_t>(q) * kQuarterSize;
}

// Bit set of the quarters a kind writes on add and modify (bit i = QuarterId i).
// Unknown kinds write none.
unsigned QuartersWritten(std::uint8_t kind);
inline bool WritesQuarter(std::uint8_t kind, QuarterId q) {
  return (QuartersWritten(kind) >> static_cast<int>(q)) & 1u;
}

// Presence rule: a slot holds an item when its kind is 5, 6 or 7 or its text A is non-empty.
bool HoldsItem(std::uint8_t kind, std::uint8_t firstTextByte);
inline bool HoldsItem(const ItemRecord& r) {
  return HoldsItem(r.header.kind(), r.body.textA[0]);
}

// The 8224 raw bytes of a record and back; the struct has no padding, but code that
// moves records through files or frames uses these so the layout stays explicit.
void RecordToBytes(const ItemRecord& r, std::uint8_t* out);  // writes kItemRecordSize bytes
ItemRecord RecordFromBytes(const std::uint8_t* in);          // reads kItemRecordSize bytes

}  // namespace item
