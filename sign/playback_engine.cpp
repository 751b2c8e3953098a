#include "sign/playback_engine.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "shared/board_memory.h"
#include "sign/logo_screen.h"

namespace sign {

namespace {

constexpr std::uint8_t kForeColours[4] = {kDotRed, kDotGreen, kDotYellow, kDotOff};
constexpr std::uint8_t kBackColours[4] = {kDotOff, kDotRed, kDotGreen, kDotYellow};

// Colours and style of one character from its attribute byte.
void SetPen(FontPen& pen, std::uint8_t attr) {
  pen.fore = kForeColours[attr >> 6];
  pen.back = kBackColours[(attr >> 4) & 3];
  pen.style = (attr >> 2) & 3;
}

int ClampEntry(int code) {
  return code > 16 ? 0 : code;
}
int ClampExit(int code) {
  return code > 15 ? 0 : code;
}
int ClampLevel(int code) {
  return std::min(code + 2, 5);
}
int ClampHold(int code) {
  return std::min(code + 1, 10);
}

// One character of a text page.
struct PageChar {
  std::uint16_t code = 0;
  std::uint8_t attr = 0;
  int next = 0;       // index of the following character
  bool last = false;  // the text ends after this character
};

bool AtEnd(const TextPage& page, int i) {
  return i >= static_cast<int>(item::kQuarterSize) || page.text[static_cast<std::size_t>(i)] == 0;
}

// Reads the character at i (not at the end). A lead byte whose trail is the NUL or lies
// beyond the page is a two-byte character that ends the text, as the measuring does.
PageChar CharAt(const TextPage& page, int i) {
  const auto at = static_cast<std::size_t>(i);
  PageChar c;
  const std::uint8_t lead = page.text[at];
  c.attr = page.attr[at];
  if (lead < 0x80) {
    c.code = lead;
    c.next = i + 1;
    return c;
  }
  const std::uint8_t trail = at + 1 < item::kQuarterSize ? page.text[at + 1] : 0;
  c.code = static_cast<std::uint16_t>(lead << 8 | trail);
  c.next = i + 2;
  c.last = trail == 0;
  return c;
}

int PageWidth(const TextPage& page, int size) {
  return MeasureText(
      std::string_view(reinterpret_cast<const char*>(page.text.data()), page.text.size()), size);
}

int RestingX(int width, int w) {
  return width < w ? (w - width) / 2 : 0;
}

}  // namespace

PlaybackEngine::PlaybackEngine(const FlashImage& image, const FontSet& fonts,
                               const LocalClock& clock)
    : image_(image), fonts_(fonts), clock_(clock) {}

void PlaybackEngine::Start() {
  for (FrameBuffer& b : buffers_) b.clear();
  work_.clear();
  front_ = 0;
  frameReady_ = false;
  speedLevel_ = kDefaultSpeedLevel;
  geometry_ = DecodeGeometry(image_);
  StartProgram();
}

void PlaybackEngine::StartProgram() {
  blink_ = 0;
  itemStarts_ = 0;
  programLoops_ = 0;
  if (geometry_.itemCount == 0) {
    EnterLogo();
    return;
  }
  logo_ = false;
  work_.clear();
  index_ = 0;
  StartItem();
}

void PlaybackEngine::EnterLogo() {
  logo_ = true;
}

int PlaybackEngine::NextIndex(int index) const {
  return index + 1 >= geometry_.itemCount ? 0 : index + 1;
}

void PlaybackEngine::StartItem() {
  // Items that cannot be shown are passed over; when none can be, the logo stands in
  // rather than stepping for ever without a frame.
  for (int tries = 0; tries < geometry_.itemCount; ++tries) {
    if (LoadItem(image_, geometry_.itemCount, index_, item_) == LoadResult::Loaded && Prepare()) {
      ++itemStarts_;
      return;
    }
    const int next = NextIndex(index_);
    if (next == 0) ++programLoops_;
    index_ = next;
  }
  EnterLogo();
}

void PlaybackEngine::NextItem(bool keepWork) {
  if (!keepWork) work_.clear();
  const int next = NextIndex(index_);
  if (next == 0) ++programLoops_;
  index_ = next;
  StartItem();
}

void PlaybackEngine::SetSpeedLevel(int level) {
  speedLevel_ = std::clamp(level, 2, 6);
}

void PlaybackEngine::CopyRows(FrameBuffer& back, int top, int count) const {
  std::memcpy(back.row(top), work_.row(top), static_cast<std::size_t>(count) * kFrameColumns);
}

void PlaybackEngine::Publish() {
  front_ = 1 - front_;
  frameReady_ = true;
}

bool PlaybackEngine::Step() {
  frameReady_ = false;
  if (logo_) {
    StepLogo();
    return frameReady_;
  }
  switch (item_.header.kind()) {
    case 0:
      StepOneLine();
      break;
    case 1:
      StepTwoLine();
      break;
    case 2:
      StepTitle();
      break;
    case 3:
      StepBitmap();
      break;
    case 4:
      StepAnimation();
      break;
    case 5:
      StepClock();
      break;
    case 6:
      StepDDay();
      break;
    default:  // never prepared; move on
      NextItem(false);
      break;
  }
  return frameReady_;
}

// --- Starting items -----------------------------------------------------------------------

bool PlaybackEngine::Prepare() {
  const item::ItemHeader& h = item_.header;
  const int w = geometry_.width;
  lookAhead_ = LookAhead{};
  switch (h.kind()) {
    case 0:
      PrepareOneLine();
      return true;
    case 1: {
      SetSpeedLevel(ClampLevel(h[item::hdr::kTwoLineSpeed]));
      PrepareLine(upper_, item_.upper, EffectFamily::kUpperLine,
                  ClampEntry(h[item::hdr::kUpperEntry]), speedLevel_,
                  ClampHold(h[item::hdr::kUpperHold]), ClampExit(h[item::hdr::kUpperExit]));
      PrepareLine(lower_, item_.lower, EffectFamily::kLowerLine,
                  ClampEntry(h[item::hdr::kLowerEntry]), speedLevel_,
                  ClampHold(h[item::hdr::kLowerHold]), ClampExit(h[item::hdr::kLowerExit]));
      return true;
    }
    case 2: {
      SetSpeedLevel(ClampLevel(h[item::hdr::kSentenceSpeed]));
      upper_ = Line{};
      upper_.page = &item_.upper;
      upper_.family = EffectFamily::kUpperLine;
      upper_.width = PageWidth(item_.upper, 16);
      upper_.restX = RestingX(upper_.width, w);
      PrepareLine(lower_, item_.lower, EffectFamily::kLowerLine,
                  ClampEntry(h[item::hdr::kLowerEntry]), speedLevel_,
                  ClampHold(h[item::hdr::kLowerHold]), ClampExit(h[item::hdr::kLowerExit]));
      return true;
    }
    case 3: {
      if (geometry_.connection) lookAhead_ = ReadLookAhead(image_, NextIndex(index_));
      bitmapMode_ = h[item::hdr::kBitmapMode] == 1 ? 1 : 0;
      LoadPicture(h.imageAddress(), picture_);
      if (bitmapMode_ == 1) {
        scrollPos_ = w - 1;
        SetSpeedLevel(ClampLevel(h[item::hdr::kSpeed]));
      } else {
        holdTicks_ = HoldTicks(ClampHold(h[item::hdr::kHold]));
        SetSpeedLevel(3);
      }
      return true;
    }
    case 4:
      frameCount_ = h[item::hdr::kFrames];
      if (frameCount_ == 0) return false;  // nothing to show
      frameIndex_ = 0;
      subCounter_ = 0;
      imageAddress_ = h.imageAddress();
      picture_ = Picture{};
      SetSpeedLevel(ClampLevel(h[item::hdr::kSpeed]));
      return true;
    case 5:
      holdTicks_ = HoldTicks(ClampHold(h[item::hdr::kHold]));
      SetSpeedLevel(3);
      return true;
    case 6: {
      SetSpeedLevel(3);
      const int count = DayCount(clock_.Now(), h.get16(item::hdr::kDDayYear),
                                 h[item::hdr::kDDayMonth], h[item::hdr::kDDayDay]);
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
        one_ = Line{};
        one_.page = &page;
        one_.family = EffectFamily::kOneLine16;
        one_.width = PageWidth(page, 16);
        ddayFits_ = one_.width <= w;
        one_.restX = RestingX(one_.width, w);
        one_.scrollPos = w - 1;
        return true;
      }
      ddayUpper_ = item_.oneLine;
      ddayLower_ = TextPage{};
      std::memcpy(ddayLower_.text.data(), text.data(), text.size());
      upper_ = Line{};
      upper_.page = &ddayUpper_;
      upper_.family = EffectFamily::kUpperLine;
      upper_.width = PageWidth(ddayUpper_, 16);
      upper_.restX = RestingX(upper_.width, w);
      upper_.scrollPos = w - 1;
      ddayFits_ = upper_.width <= w;
      lower_ = Line{};
      lower_.page = &ddayLower_;
      lower_.family = EffectFamily::kLowerLine;
      lower_.top = 16;
      lower_.y = 16;
      lower_.width = PageWidth(ddayLower_, 16);
      lower_.restX = RestingX(lower_.width, w);
      return true;
    }
    default:
      return false;  // temperature and unknown kinds are not played
  }
}

void PlaybackEngine::PrepareOneLine() {
  const item::ItemHeader& h = item_.header;
  if (geometry_.connection) lookAhead_ = ReadLookAhead(image_, NextIndex(index_));
  const EffectFamily family =
      geometry_.twoTier() ? EffectFamily::kOneLine32 : EffectFamily::kOneLine16;
  PrepareLine(one_, item_.oneLine, family, ClampEntry(h[item::hdr::kEntry]),
              ClampLevel(h[item::hdr::kSpeed]), ClampHold(h[item::hdr::kHold]),
              ClampExit(h[item::hdr::kExit]));
  one_.chained = one_.passThrough && ChainsIntoNext();
}

bool PlaybackEngine::ChainsIntoNext() const {
  if (!geometry_.connection) return false;
  return (lookAhead_.kind == 0 && ClampEntry(lookAhead_.byte1) == 0) ||
         (lookAhead_.kind == 3 && lookAhead_.byte1 == 1);
}

void PlaybackEngine::PrepareLine(Line& line, const TextPage& page, EffectFamily family, int entry,
                                 int level, int hold, int exit) {
  const int w = geometry_.width;
  line = Line{};
  line.page = &page;
  line.family = family;
  line.top = FamilyTop(family);
  line.rows = family == EffectFamily::kOneLine32 ? 32 : 16;
  line.size = line.rows;
  line.y = line.top;
  line.level = level;
  line.hold = hold;
  line.exit = HasEffectDriver(EffectMode::kExit, exit) ? exit : 15;
  line.width = PageWidth(page, line.size);
  line.restX = RestingX(line.width, w);
  line.holdTicks = HoldTicks(hold);
  if (entry == 0) {
    SetSpeedLevel(level);
    line.passThrough = true;
    line.scrollPos = w - 1;
    return;
  }
  if (entry == 16 || !HasEffectDriver(EffectMode::kEntry, entry)) {
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

// --- Text lines ---------------------------------------------------------------------------

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
    std::memmove(row, row + 1, static_cast<std::size_t>(w - 1));
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
      } else if (line.exit == 15) {
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
      } else if (line.exit == 15) {
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
  CopyRows(back, 0, 16);
  const LineResult r = RunLine(lower_, back);
  if (r.shown != Shown::Back) CopyRows(back, 16, 16);
  Publish();
  if (r.finished) NextItem(false);
}

// --- Pictures -----------------------------------------------------------------------------

void PlaybackEngine::LoadPicture(std::uint32_t address, Picture& pic) const {
  const item::ItemHeader& h = item_.header;
  pic.width = h.pictureWidth();
  pic.height = h.pictureHeight();
  pic.rows = std::min(pic.height, geometry_.rows);
  pic.rowBytes = static_cast<int>(board::PlaneRowBytes(static_cast<std::size_t>(pic.width)));
  const std::size_t rowBytes = static_cast<std::size_t>(pic.rowBytes);
  const std::uint64_t plane = std::uint64_t{rowBytes} * static_cast<std::uint64_t>(pic.height);
  pic.red.assign(rowBytes * static_cast<std::size_t>(pic.rows), 0);
  pic.green.assign(pic.red.size(), 0);
  for (int r = 0; r < pic.rows; ++r) {
    const std::uint64_t at = std::uint64_t{address} + rowBytes * static_cast<std::size_t>(r);
    image_.Read(at, pic.red.data() + rowBytes * static_cast<std::size_t>(r), rowBytes);
    image_.Read(at + plane, pic.green.data() + rowBytes * static_cast<std::size_t>(r), rowBytes);
  }
}

void PlaybackEngine::DrawPictureColumn(const Picture& pic, int byteColumn, int x) {
  const int w = geometry_.width;
  const std::size_t rowBytes = static_cast<std::size_t>(pic.rowBytes);
  for (int r = 0; r < pic.rows; ++r) {
    const std::size_t at =
        rowBytes * static_cast<std::size_t>(r) + static_cast<std::size_t>(byteColumn);
    const std::uint8_t red = pic.red[at];
    const std::uint8_t green = pic.green[at];
    if ((red | green) == 0) continue;
    std::uint8_t* row = work_.row(r);
    for (int k = 0; k < 8; ++k) {
      const int c = x + k;
      if (c >= w) break;
      if (c < 0) continue;
      const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> k);
      if (red & bit) row[c] = kDotRed;
      if (green & bit) row[c] |= kDotGreen;
    }
  }
}

void PlaybackEngine::DrawPicture(const Picture& pic, int x0) {
  for (int b = 0; b < pic.rowBytes && x0 + 8 * b < geometry_.width; ++b) {
    DrawPictureColumn(pic, b, x0 + 8 * b);
  }
}

void PlaybackEngine::StepBitmap() {
  const int w = geometry_.width;
  FrameBuffer& back = Back();
  if (bitmapMode_ == 0) {
    work_.clearRows(0, geometry_.rows);
    DrawPicture(picture_, RestingX(picture_.width, w));
    CopyRows(back, 0, geometry_.rows);
    Publish();
    if (--holdTicks_ <= 0) NextItem(false);
    return;
  }
  ShiftLeft(0, geometry_.rows);
  if (scrollPos_ + picture_.width >= w) {
    // The byte column now at the right edge: the first whose x >= W - 8.
    const int need = w - 8 - scrollPos_;
    const int column = need <= 0 ? 0 : (need + 7) / 8;
    if (column < picture_.rowBytes) DrawPictureColumn(picture_, column, scrollPos_ + 8 * column);
  }
  CopyRows(back, 0, geometry_.rows);
  Publish();
  --scrollPos_;
  const bool chained = ChainsIntoNext();
  const bool done = chained ? scrollPos_ + picture_.width < w : scrollPos_ <= -picture_.width;
  if (done) NextItem(chained);
}

void PlaybackEngine::StepAnimation() {
  FrameBuffer& back = Back();
  if (++subCounter_ < 4) {
    CopyRows(back, 0, geometry_.rows);
    Publish();
    return;
  }
  work_.clearRows(0, geometry_.rows);
  const std::size_t frameBytes =
      board::PictureBytes(item_.header.pictureWidth(), item_.header.pictureHeight());
  LoadPicture(
      static_cast<std::uint32_t>(std::min<std::uint64_t>(
          imageAddress_ + frameBytes * static_cast<std::size_t>(frameIndex_), board::kMemorySize)),
      picture_);
  DrawPicture(picture_, RestingX(picture_.width, geometry_.width));
  CopyRows(back, 0, geometry_.rows);
  Publish();
  subCounter_ = 0;
  if (++frameIndex_ >= frameCount_) NextItem(false);
}

// --- Live fields and the logo -------------------------------------------------------------

void PlaybackEngine::StepClock() {
  if (holdTicks_ <= 0) {
    NextItem(false);
    return;
  }
  DrawClock(work_, fonts_, geometry_, clock_.Now(), blink_ >= 30);
  if (!geometry_.twoTier()) blink_ = (blink_ + 1) % 60;
  FrameBuffer& back = Back();
  CopyRows(back, 0, geometry_.rows);
  Publish();
  --holdTicks_;
}

void PlaybackEngine::StepDDay() {
  FrameBuffer& back = Back();
  Line& text = geometry_.twoTier() ? upper_ : one_;
  if (ddayFits_) {
    if (holdTicks_ <= 0) {
      NextItem(false);
      return;
    }
    DrawText(text, text.restX);
    if (geometry_.twoTier()) DrawText(lower_, lower_.restX);
    --holdTicks_;
  } else {
    const bool done = ScrollStep(text, false);
    if (geometry_.twoTier()) DrawText(lower_, lower_.restX);
    CopyRows(back, 0, geometry_.rows);
    Publish();
    if (done) NextItem(false);
    return;
  }
  CopyRows(back, 0, geometry_.rows);
  Publish();
}

void PlaybackEngine::StepLogo() {
  DrawLogoScreen(work_, geometry_);
  CopyRows(Back(), 0, geometry_.rows);
  Publish();
}

}  // namespace sign
