#pragma once
// An item header's playing fields as the board takes them: a code out of its range is
// replaced when the item starts, never reported.

#include <algorithm>
#include <cstdint>

#include "shared/codes.h"

namespace sign {

// Bitmap effect modes (header byte 1 of a bitmap item); any other value holds.
inline constexpr int kBitmapHold = 0;
inline constexpr int kBitmapScroll = 1;

// The fastest speed level an item may ask for: speed code 4 (level 6) plays as level 5.
inline constexpr int kMaxItemSpeedLevel = 5;
// Held pictures, the clock and the D-day count play at this level (20 ms a frame) whatever
// their speed code.
inline constexpr int kStillSpeedLevel = 3;

// Entry effect code; beyond the list it is a pass-through.
constexpr int EntryOf(std::uint8_t code) {
  return code >= item::kEntryEffectCount ? item::kEntryPassThrough : code;
}
// Exit effect code; beyond the list it is exit 0.
constexpr int ExitOf(std::uint8_t code) {
  return code >= item::kExitEffectCount ? 0 : code;
}
// Speed level 2-5 of a speed code.
constexpr int SpeedLevelOf(std::uint8_t code) {
  return std::min(code + 2, kMaxItemSpeedLevel);
}
// Hold in seconds, 1-10, of a hold code.
constexpr int HoldSecondsOf(std::uint8_t code) {
  return std::min(code + 1, item::kHoldCount);
}
constexpr int BitmapModeOf(std::uint8_t code) {
  return code == kBitmapScroll ? kBitmapScroll : kBitmapHold;
}

}  // namespace sign
