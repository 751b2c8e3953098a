#pragma once
// Plays the program held in a preview image the way the board does: item after item in
// table order, looping for ever, one frame per Step. Frames are composed in a work buffer
// and shown through a front/back pair; whoever paints reads front() when frameReady() and
// then clears the flag. Time of day comes from the injected LocalClock.

#include <array>
#include <cstdint>
#include <vector>

#include "sign/board_geometry.h"
#include "sign/effects.h"
#include "sign/flash_image.h"
#include "sign/font_set.h"
#include "sign/frame_buffer.h"
#include "sign/item_fields.h"
#include "sign/item_loader.h"
#include "sign/live_fields.h"

namespace sign {

enum class LinePhase : std::uint8_t { Entering, Holding, Scrolling, HoldingEnd, Leaving };

inline constexpr int kTickMs = 16;  // 1000 / 60 in integer arithmetic
inline constexpr int kDDayHoldTicks = 5000 / kTickMs;
inline constexpr int kDefaultSpeedLevel = 4;  // 30 ms

// Frames a hold of `seconds` lasts.
constexpr int HoldTicks(int seconds) {
  return seconds * 1000 / kTickMs;
}
// Milliseconds per frame of a speed level; levels below 2 count as 2, above 6 as 6.
constexpr int FramePeriod(int level) {
  return (level < 2 ? 2 : level > 6 ? 6 : level) * 10 - 10;
}

class PlaybackEngine {
 public:
  // The image, fonts and clock are not owned and must outlive the engine.
  PlaybackEngine(const FlashImage& image, const FontSet& fonts, const LocalClock& clock);

  // Clears the buffers, sets the defaults, decodes the geometry and starts the program:
  // the logo with no items (or when no item can be shown), otherwise item 0.
  void Start();
  // One frame slot. Returns true when it placed a new frame in front() (frame-ready set);
  // a step that only moves on to the next item returns false.
  bool Step();

  const FrameBuffer& front() const { return buffers_[static_cast<std::size_t>(front_)]; }
  bool frameReady() const { return frameReady_; }
  void ClearFrameReady() { frameReady_ = false; }
  int framePeriodMs() const { return FramePeriod(speedLevel_); }

  const BoardGeometry& geometry() const { return geometry_; }
  bool showingLogo() const { return logo_; }
  int itemIndex() const { return index_; }
  int itemStarts() const { return itemStarts_; }      // items started so far
  int programLoops() const { return programLoops_; }  // wraps from the last item to item 0

 private:
  // How the engine plays one item kind (playback_engine.cpp holds the table).
  struct KindPlayer;
  static const KindPlayer* PlayerOf(std::uint8_t kind);

  enum class Shown : std::uint8_t { None, Work, Back };
  struct LineResult {
    Shown shown = Shown::None;
    bool finished = false;  // the line's machine would start the next item
  };

  // One line of text and where its machine stands.
  struct Line {
    const TextPage* page = nullptr;
    EffectFamily family = EffectFamily::kOneLine16;
    int top = 0;  // first work row
    int rows = 16;
    int size = 16;  // font size
    int y = 0;      // row of the characters' top
    LinePhase phase = LinePhase::Holding;
    bool done = false;
    bool passThrough = false;
    bool chained = false;  // pass-through ends once its end is in view
    int level = kDefaultSpeedLevel;
    int hold = 1;
    int holdTicks = 0;
    int exit = item::kExitNone;
    int width = 0;
    int restX = 0;
    int scrollPos = 0;
  };

  struct Picture {
    int width = 0, height = 0, rows = 0, rowBytes = 0;
    std::vector<std::uint8_t> red, green;  // rows x rowBytes each
  };

  // Program flow (playback_engine.cpp).
  FrameBuffer& Back() { return buffers_[static_cast<std::size_t>(1 - front_)]; }
  void CopyRows(FrameBuffer& back, int top, int count) const;
  void Publish();
  void SetSpeedLevel(int level);
  void StartProgram();
  void StartItem();
  void NextItem(bool keepWork);
  int NextIndex(int index) const;
  bool Prepare();
  void LookAheadIfConnected();
  bool ChainsIntoNext() const;
  void StepLogo();

  // Text items: one-line, two-line, title and sentence (engine_text_items.cpp).
  bool PrepareOneLine();
  bool PrepareTwoLine();
  bool PrepareTitle();
  void PrepareLine(Line& line, const TextPage& page, EffectFamily family, int entry, int level,
                   int hold, int exit);
  // A line that never moves: measured and centred, held by its item.
  void PrepareStill(Line& line, const TextPage& page, EffectFamily family);
  void StepOneLine();
  void StepTwoLine();
  void StepTitle();
  // Text of a line at column x into the work rows of the line (cleared first).
  void DrawText(const Line& line, int x);
  void ShiftLeft(int top, int rows);
  bool ScrollStep(Line& line, bool chained);
  LineResult RunLine(Line& line, FrameBuffer& back);
  void BeginLeaving(Line& line);
  EffectState& EffectFor(const Line& line) { return effects_.For(line.family); }
  void FollowEffectSpeed(const EffectState& fx);

  // Picture items: bitmap and animation (engine_picture_items.cpp).
  bool PrepareBitmap();
  bool PrepareAnimation();
  void StepBitmap();
  void StepAnimation();
  void LoadPicture(std::uint32_t address, Picture& pic) const;
  void DrawPicture(const Picture& pic, int x0);
  void DrawPictureColumn(const Picture& pic, int byteColumn, int x);

  // Live-field items: date and time, D-day (engine_live_items.cpp).
  bool PrepareClock();
  bool PrepareDDay();
  void StepClock();
  void StepDDay();

  const FlashImage& image_;
  const FontSet& fonts_;
  const LocalClock& clock_;

  BoardGeometry geometry_;
  std::array<FrameBuffer, 2> buffers_{};
  FrameBuffer work_{};
  int front_ = 0;
  bool frameReady_ = false;
  int speedLevel_ = kDefaultSpeedLevel;

  bool logo_ = false;
  int index_ = 0;
  int itemStarts_ = 0;
  int programLoops_ = 0;
  LoadedItem item_;
  LookAhead lookAhead_;

  // Text items.
  Line one_, upper_, lower_;
  EffectStates effects_;

  // Picture items.
  Picture picture_;
  int bitmapMode_ = kBitmapHold;
  int scrollPos_ = 0;
  std::uint32_t imageAddress_ = 0;
  int frameCount_ = 0;
  int frameIndex_ = 0;
  int subCounter_ = 0;

  // Held items (held bitmaps, the clock, a D-day that fits) count their frames here.
  int holdTicks_ = 0;

  // Live-field items.
  int blink_ = 0;
  TextPage ddayUpper_, ddayLower_;
  bool ddayFits_ = true;
};

}  // namespace sign
