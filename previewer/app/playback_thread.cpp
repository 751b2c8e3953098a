#include "previewer/app/playback_thread.h"

#include <thread>

#include "sign/playback_engine.h"
#include "sign/qt/led_surface.h"

namespace varno {

PlaybackThread::PlaybackThread(const sign::FlashImage& image, const sign::FontSet& fonts,
                               const sign::LocalClock& clock, FrameSink sink, QObject* parent)
    : QThread(parent), image_(image), fonts_(fonts), clock_(clock), sink_(std::move(sink)) {}

PlaybackThread::~PlaybackThread() {
  Finish();
}

void PlaybackThread::Begin() {
  run_ = true;
  start(QThread::LowestPriority);
}

void PlaybackThread::Finish() {
  run_ = false;
  wait();
}

void PlaybackThread::run() {
  using Clock = std::chrono::steady_clock;
  active_ = true;
  sign::PlaybackEngine engine(image_, fonts_, clock_);
  engine.Start();
  sign::LedSurface surface;
  surface.Create(engine.geometry().width, engine.geometry().rows);
  sink_(surface.image());

  auto deadline = Clock::now() + std::chrono::milliseconds(engine.framePeriodMs());
  while (run_) {
    std::this_thread::sleep_for(kPause);
    // One step per painted frame: once a frame waits, only the deadline is awaited.
    if (!engine.frameReady()) engine.Step();
    const auto now = Clock::now();
    if (now > deadline) {
      if (engine.frameReady()) sink_(surface.Paint(engine.front()));
      engine.ClearFrameReady();
      deadline = now + std::chrono::milliseconds(engine.framePeriodMs());
    }
  }
  active_ = false;
}

}  // namespace varno
