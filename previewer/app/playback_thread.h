#pragma once
// The one worker that plays the program: it owns the engine and the surface, steps the
// engine at most once per painted frame and hands each new picture to a sink. Time runs on
// a monotonic clock.

#include <QImage>
#include <QThread>
#include <atomic>
#include <chrono>
#include <functional>

#include "sign/flash_image.h"
#include "sign/font_set.h"
#include "sign/live_fields.h"

namespace varno {

class PlaybackThread : public QThread {
  Q_OBJECT

 public:
  // Called on the playback thread with each new picture (a copy the receiver may keep).
  using FrameSink = std::function<void(const QImage&)>;

  static constexpr std::chrono::milliseconds kPause{5};

  // image, fonts and clock must outlive the thread.
  PlaybackThread(const sign::FlashImage& image, const sign::FontSet& fonts,
                 const sign::LocalClock& clock, FrameSink sink, QObject* parent = nullptr);
  ~PlaybackThread() override;

  // Starts playing at the lowest priority.
  void Begin();
  // Clears the run flag and returns once the loop has been left.
  void Finish();
  bool active() const { return active_.load(); }

 protected:
  void run() override;

 private:
  const sign::FlashImage& image_;
  const sign::FontSet& fonts_;
  const sign::LocalClock& clock_;
  FrameSink sink_;
  std::atomic<bool> run_{false};
  std::atomic<bool> active_{false};
};

}  // namespace varno
