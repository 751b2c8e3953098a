// The program's flow: items in table order, looping; each kind is played by its own
// prepare and step (engine_*_items.cpp), found in one table by kind.

#include "sign/playback_engine.h"

#include <algorithm>
#include <cstring>

#include "sign/logo_screen.h"

namespace sign {

struct PlaybackEngine::KindPlayer {
  item::ItemKind kind;
  bool (PlaybackEngine::*prepare)();  // false: the item cannot be shown and is passed over
  void (PlaybackEngine::*step)();
};

const PlaybackEngine::KindPlayer* PlaybackEngine::PlayerOf(std::uint8_t kind) {
  using item::ItemKind;
  // In kind order. The temperature display (and any unknown kind) is not emulated.
  static constexpr KindPlayer kPlayers[] = {
      {ItemKind::OneLine, &PlaybackEngine::PrepareOneLine, &PlaybackEngine::StepOneLine},
      {ItemKind::TwoLine, &PlaybackEngine::PrepareTwoLine, &PlaybackEngine::StepTwoLine},
      {ItemKind::TitleSentence, &PlaybackEngine::PrepareTitle, &PlaybackEngine::StepTitle},
      {ItemKind::Bitmap, &PlaybackEngine::PrepareBitmap, &PlaybackEngine::StepBitmap},
      {ItemKind::Animation, &PlaybackEngine::PrepareAnimation, &PlaybackEngine::StepAnimation},
      {ItemKind::DateTime, &PlaybackEngine::PrepareClock, &PlaybackEngine::StepClock},
      {ItemKind::DDay, &PlaybackEngine::PrepareDDay, &PlaybackEngine::StepDDay},
  };
  static_assert(std::ranges::all_of(kPlayers, [](const KindPlayer& p) {
    return &p == &kPlayers[static_cast<std::size_t>(p.kind)];
  }));
  return kind < std::size(kPlayers) ? &kPlayers[kind] : nullptr;
}

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
    logo_ = true;
    return;
  }
  logo_ = false;
  work_.clear();
  index_ = 0;
  StartItem();
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
  logo_ = true;
}

void PlaybackEngine::NextItem(bool keepWork) {
  if (!keepWork) work_.clear();
  const int next = NextIndex(index_);
  if (next == 0) ++programLoops_;
  index_ = next;
  StartItem();
}

bool PlaybackEngine::Prepare() {
  lookAhead_ = LookAhead{};
  const KindPlayer* player = PlayerOf(item_.header.kind());
  return player != nullptr && (this->*player->prepare)();
}

void PlaybackEngine::LookAheadIfConnected() {
  if (geometry_.connection) lookAhead_ = ReadLookAhead(image_, NextIndex(index_));
}

// A scroll runs straight into the next item when that one scrolls in too.
bool PlaybackEngine::ChainsIntoNext() const {
  if (!geometry_.connection) return false;
  return (lookAhead_.kind == static_cast<std::uint8_t>(item::ItemKind::OneLine) &&
          EntryOf(lookAhead_.byte1) == item::kEntryPassThrough) ||
         (lookAhead_.kind == static_cast<std::uint8_t>(item::ItemKind::Bitmap) &&
          lookAhead_.byte1 == kBitmapScroll);
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
  } else if (const KindPlayer* player = PlayerOf(item_.header.kind())) {
    (this->*player->step)();
  } else {
    NextItem(false);  // never prepared; move on
  }
  return frameReady_;
}

void PlaybackEngine::StepLogo() {
  DrawLogoScreen(work_, geometry_);
  CopyRows(Back(), 0, geometry_.rows);
  Publish();
}

}  // namespace sign
