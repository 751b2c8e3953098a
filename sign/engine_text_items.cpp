// Text items: one line, two lines, title and sentence. Each line runs the same machine:
// a pass-through scroll, or entry effect, hold, scroll when wider than the board, hold at
// its end, exit effect.

#include <algorithm>
#include <string_view>

#include "sign/playback_engine.h"
#include "sign/text_page.h"

namespace sign {

bool PlaybackEngine::PrepareOneLine() {
  const item::ItemHeader& h = item_.header;
  LookAheadIfConnected();
  const EffectFamily family =
      geometry_.twoTier() ? EffectFamily::kOneLine32 : EffectFamily::kOneLine16;
  PrepareLine(one_, item_.oneLine, family, EntryOf(h[item::hdr::kEntry]),
              SpeedLevelOf(h[item::hdr::kSpeed]), HoldSecondsOf(h[item::hdr::kHold]),
              ExitOf(h[item::hdr::kExit]));
  one_.chained = one_.passThrough && ChainsIntoNext();
  return true;
}

bool PlaybackEngine::PrepareTwoLine() {
  const item::ItemHeader& h = item_.header;
  SetSpeedLevel(SpeedLevelOf(h[item::hdr::kTwoLineSpeed]));
  PrepareLine(upper_, item_.upper, EffectFamily::kUpperLine, EntryOf(h[item::hdr::kUpperEntry]),
              speedLevel_, HoldSecondsOf(h[item::hdr::kUpperHold]),
              ExitOf(h[item::hdr::kUpperExit]));
  PrepareLine(lower_, item_.lower, EffectFamily::kLowerLine, EntryOf(h[item::hdr::kLowerEntry]),
              speedLevel_, HoldSecondsOf(h[item::hdr::kLowerHold]),
              ExitOf(h[item::hdr::kLowerExit]));
  return true;
}

// The title stands in the upper line; the sentence below runs the line machine.
bool PlaybackEngine::PrepareTitle() {
  const item::ItemHeader& h = item_.header;
  SetSpeedLevel(SpeedLevelOf(h[item::hdr::kSentenceSpeed]));
  PrepareStill(upper_, item_.upper, EffectFamily::kUpperLine);
  PrepareLine(lower_, item_.lower, EffectFamily::kLowerLine, EntryOf(h[item::hdr::kLowerEntry]),
              speedLevel_, HoldSecondsOf(h[item::hdr::kLowerHold]),
              ExitOf(h[item::hdr::kLowerExit]));
  return true;
}

void PlaybackEngine::PrepareStill(Line& line, const TextPage& page, EffectFamily family) {
  line = Line{};
  line.page = &page;
  line.family = family;
  line.top = FamilyTop(family);
  line.y = line.top;
  line.width = PageWidth(page, line.size);
  line.restX = RestingX(line.width, geometry_.width);
  line.scrollPos = geometry_.width - 1;
}

void PlaybackEngine::PrepareLine(Line& line, const TextPage& page, EffectFamily family, int entry,
                                 int level, int hold, int exit) {
  const int w = geometry_.width;
  line = Line{};
  line.page = &page;
  line.family = family;
  line.top = FamilyTop(family);
  line.rows = FamilyRowCount(family);
  line.size = line.rows;
  line.y = line.top;
  line.level = level;
  line.hold = hold;
  line.exit = HasEffectDriver(EffectMode::kExit, exit) ? exit : item::kExitNone;
  line.width = PageWidth(page, line.size);
  line.restX = RestingX(line.width, w);
  line.holdTicks = HoldTicks(hold);
  if (entry == item::kEntryPassThrough) {
    SetSpeedLevel(level);
    line.passThrough = true;
    line.scrollPos = w - 1;
    return;
  }
  if (!HasEffectDriver(EffectMode::kEntry, entry)) {  // kEntryNone: the text stands at once
    SetSpeedLevel(level);
    line.phase = LinePhase::Holding;
    return;
  }
  line.phase = LinePhase::Entering;
  DrawText(line, line.restX);
  EffectState& fx = EffectFor(line);
  StartEffect(fx, family, EffectMode::kEntry, entry, level, std::min(line.width, w), line.restX, w);
  FollowEffectSpeed(fx);
}

void PlaybackEngine::FollowEffectSpeed(const EffectState& fx) {
  if (FamilyIsOneLine(fx.family) && EffectSpeedLevel(fx) != 0) {
    SetSpeedLevel(EffectSpeedLevel(fx));
  }
}

void PlaybackEngine::DrawText(const Line& line, int x) {
  work_.clearRows(line.top, line.rows);
  const TextPage& page = *line.page;
  FontPen pen{&work_, geometry_.width, line.size, 0, kDotRed, kDotOff};
  for (int i = 0; !AtEnd(page, i) && x < geometry_.width;) {
    const PageChar c = CharAt(page, i);
    const int advance = CharWidth(c.code, line.size);
    if (x + advance > 0) {
      SetPen(pen, c.attr);
      fonts_.DrawChar(pen, x, line.y, c.code);
    }
    x += advance;
    if (c.last) break;
    i = c.next;
  }
}

void PlaybackEngine::ShiftLeft(int top, int rows) {
  const int w = geometry_.width;
  for (int r = top; r < top + rows; ++r) {
    std::uint8_t* row = work_.row(r);
    std::copy(row + 1, row + w, row);
    row[w - 1] = 0;
  }
}

bool PlaybackEngine::ScrollStep(Line& line, bool chained) {
  const int w = geometry_.width;
  ShiftLeft(line.top, line.rows);
  // Only the character entering at the right edge is drawn; the rest moved with the shift.
  const TextPage& page = *line.page;
  FontPen pen{&work_, w, line.size, 0, kDotRed, kDotOff};
  int x = line.scrollPos;
  bool drawing = false;
  for (int i = 0; !AtEnd(page, i) && x < w;) {
    const PageChar c = CharAt(page, i);
    const int advance = CharWidth(c.code, line.size);
    if (drawing || x >= w - advance) {
      drawing = true;
      SetPen(pen, c.attr);
      fonts_.DrawChar(pen, x, line.y, c.code);
    }
    x += advance;
    if (c.last) break;
    i = c.next;
  }
  --line.scrollPos;
  return chained ? line.scrollPos + line.width < w : line.scrollPos <= -line.width;
}

void PlaybackEngine::BeginLeaving(Line& line) {
  const int w = geometry_.width;
  line.phase = LinePhase::Leaving;
  DrawText(line, line.width > w ? w - line.width : line.restX);
  EffectState& fx = EffectFor(line);
  StartEffect(fx, line.family, EffectMode::kExit, line.exit, line.level, std::min(line.width, w),
              line.restX, w);
  FollowEffectSpeed(fx);
}

PlaybackEngine::LineResult PlaybackEngine::RunLine(Line& line, FrameBuffer& back) {
  const int w = geometry_.width;
  LineResult result;
  if (line.passThrough) {
    result.finished = ScrollStep(line, line.chained);
    result.shown = Shown::Work;
    return result;
  }
  switch (line.phase) {
    case LinePhase::Entering: {
      EffectState& fx = EffectFor(line);
      const bool done = StepEffect(fx, work_, back);
      FollowEffectSpeed(fx);
      result.shown = Shown::Back;
      if (done) {
        if (FamilyIsOneLine(line.family)) SetSpeedLevel(line.level);
        line.phase = LinePhase::Holding;
      }
      return result;
    }
    case LinePhase::Holding:
      if (line.holdTicks > 0) {
        DrawText(line, line.restX);
        --line.holdTicks;
        result.shown = Shown::Work;
      } else if (line.width > w) {
        line.phase = LinePhase::Scrolling;
        if (FamilyIsOneLine(line.family)) SetSpeedLevel(line.level);
        // The picture stands at restX; the first step already draws one dot further left,
        // so the shifted picture and the entering character line up.
        line.scrollPos = line.restX - 1;
      } else if (line.exit == item::kExitNone) {
        result.finished = true;
      } else {
        BeginLeaving(line);
      }
      return result;
    case LinePhase::Scrolling:
      if (ScrollStep(line, true)) {
        line.phase = LinePhase::HoldingEnd;
        if (FamilyIsOneLine(line.family)) SetSpeedLevel(line.level);
        line.holdTicks = HoldTicks(line.hold);
      }
      result.shown = Shown::Work;
      return result;
    case LinePhase::HoldingEnd:
      if (line.holdTicks > 0) {
        DrawText(line, w - line.width);
        --line.holdTicks;
        result.shown = Shown::Work;
      } else if (line.exit == item::kExitNone) {
        result.finished = true;
      } else {
        BeginLeaving(line);
      }
      return result;
    case LinePhase::Leaving: {
      EffectState& fx = EffectFor(line);
      result.finished = StepEffect(fx, work_, back);
      FollowEffectSpeed(fx);
      result.shown = Shown::Back;
      return result;
    }
  }
  return result;
}

void PlaybackEngine::StepOneLine() {
  FrameBuffer& back = Back();
  const LineResult r = RunLine(one_, back);
  if (r.shown == Shown::Work) CopyRows(back, one_.top, one_.rows);
  if (r.shown != Shown::None) Publish();
  if (r.finished) NextItem(one_.passThrough && one_.chained);
}

void PlaybackEngine::StepTwoLine() {
  FrameBuffer& back = Back();
  for (Line* line : {&upper_, &lower_}) {
    if (line->done) {
      back.clearRows(line->top, line->rows);
      continue;
    }
    const LineResult r = RunLine(*line, back);
    // A line that only changed phase shows its work rows as they stand.
    if (r.shown != Shown::Back) CopyRows(back, line->top, line->rows);
    if (r.finished) line->done = true;
  }
  Publish();
  if (upper_.done && lower_.done) NextItem(false);
}

void PlaybackEngine::StepTitle() {
  FrameBuffer& back = Back();
  DrawText(upper_, upper_.restX);
  CopyRows(back, upper_.top, upper_.rows);
  const LineResult r = RunLine(lower_, back);
  if (r.shown != Shown::Back) CopyRows(back, lower_.top, lower_.rows);
  Publish();
  if (r.finished) NextItem(false);
}

}  // namespace sign
