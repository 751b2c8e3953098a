// Live-field items: the date-and-time clock and the D-day count, which the board computes
// itself from its clock.

#include <algorithm>
#include <cstring>
#include <string>

#include "sign/playback_engine.h"

namespace sign {

namespace {

// The one-tier clock's separator shows in the second half of every period of blink frames.
constexpr int kBlinkFrames = 60;

}  // namespace

bool PlaybackEngine::PrepareClock() {
  holdTicks_ = HoldTicks(HoldSecondsOf(item_.header[item::hdr::kHold]));
  SetSpeedLevel(kStillSpeedLevel);
  return true;
}

// The count goes after the item's own text on one tier, on the lower line of two tiers;
// it is worked out once, when the item starts.
bool PlaybackEngine::PrepareDDay() {
  const item::ItemHeader& h = item_.header;
  SetSpeedLevel(kStillSpeedLevel);
  const int count = DayCount(clock_.Now(), h.get16(item::hdr::kDDayYear), h[item::hdr::kDDayMonth],
                             h[item::hdr::kDDayDay]);
  const std::string text = DDayText(count, geometry_.twoTier());
  holdTicks_ = kDDayHoldTicks;
  if (!geometry_.twoTier()) {
    // Appended to the item's own text; the attributes already on the page apply.
    TextPage& page = item_.oneLine;
    const auto* begin = page.text.data();
    const std::size_t len =
        static_cast<std::size_t>(std::find(begin, begin + item::kQuarterSize, 0) - begin);
    const std::size_t room = len < item::kQuarterSize ? item::kQuarterSize - 1 - len : 0;
    const std::size_t n = std::min(room, text.size());
    std::memcpy(page.text.data() + len, text.data(), n);
    if (len + n < item::kQuarterSize) page.text[len + n] = 0;
    PrepareStill(one_, page, EffectFamily::kOneLine16);
    ddayFits_ = one_.width <= geometry_.width;
    return true;
  }
  ddayUpper_ = item_.oneLine;
  ddayLower_ = TextPage{};
  std::memcpy(ddayLower_.text.data(), text.data(), text.size());
  PrepareStill(upper_, ddayUpper_, EffectFamily::kUpperLine);
  ddayFits_ = upper_.width <= geometry_.width;
  PrepareStill(lower_, ddayLower_, EffectFamily::kLowerLine);
  return true;
}

void PlaybackEngine::StepClock() {
  if (holdTicks_ <= 0) {
    NextItem(false);
    return;
  }
  DrawClock(work_, fonts_, geometry_, clock_.Now(), blink_ >= kBlinkFrames / 2);
  if (!geometry_.twoTier()) blink_ = (blink_ + 1) % kBlinkFrames;
  CopyRows(Back(), 0, geometry_.rows);
  Publish();
  --holdTicks_;
}

// A text that fits stands for its hold; a wider one passes through once (on two tiers the
// count below stays where it is).
void PlaybackEngine::StepDDay() {
  Line& text = geometry_.twoTier() ? upper_ : one_;
  bool done = false;
  if (ddayFits_) {
    if (holdTicks_ <= 0) {
      NextItem(false);
      return;
    }
    DrawText(text, text.restX);
    --holdTicks_;
  } else {
    done = ScrollStep(text, false);
  }
  if (geometry_.twoTier()) DrawText(lower_, lower_.restX);
  CopyRows(Back(), 0, geometry_.rows);
  Publish();
  if (done) NextItem(false);
}

}  // namespace sign
