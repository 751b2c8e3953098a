#pragma once
// A live strip of the board's LED dots that plays a memory image as the sign would: the
// engine is stepped by a timer of the widget's thread at the frame period the playing
// item asks for, and each new frame is painted as 3 x 3-pixel dots. The strip asks for the
// whole board's width, up to what fits on its screen, and scrolls sideways beyond it. Pause
// stops the timer; Step advances to the next new frame.
//
// The fonts and the clock are not owned; they must outlive the strip. Without loaded fonts
// the strip shows nothing but says so.

#include <QImage>
#include <QWidget>
#include <memory>
#include <vector>

#include "sign/flash_image.h"
#include "sign/font_set.h"
#include "sign/live_fields.h"
#include "sign/playback_engine.h"
#include "sign/qt/led_surface.h"

class QLabel;
class QScrollArea;
class QTimer;
class QToolButton;

namespace sign {

class LedStrip : public QWidget {
  Q_OBJECT
 public:
  // fonts may be null (nothing plays); clock null means the computer's time.
  explicit LedStrip(const FontSet* fonts, const LocalClock* clock = nullptr,
                    QWidget* parent = nullptr);
  ~LedStrip() override;

  // Plays image from its first frame (which is painted before this returns); a paused
  // strip stays paused on that frame.
  void Play(std::vector<FlashImage::Segment> image);
  // Shows note on black where a board of width dots and 16 or 32 rows would play, for an
  // item the previewer cannot show; Play replaces it.
  void ShowNote(const QString& note, int width, int rows);
  QString note() const;
  // Stops the timer (true) or lets it run again (false).
  void SetPaused(bool paused);
  bool paused() const { return paused_; }
  // Steps the engine until it places a new frame (bounded) and paints it; false when none
  // came. The timer calls it too.
  bool Advance();

  // The picture on show (3 x 3 pixels a dot) and the frame it was painted from.
  const QImage& image() const { return surface_.image(); }
  const FrameBuffer* frame() const { return engine_ ? &engine_->front() : nullptr; }
  const PlaybackEngine* engine() const { return engine_.get(); }
  long framesPainted() const { return framesPainted_; }
  // Play and ShowNote calls so far.
  long restarts() const { return restarts_; }

 private:
  void ShowImage();
  // Sizes the dots for a board of width dots and rows rows (all black).
  void FitBoard(int width, int rows);
  void OnTick();

  const FontSet* fonts_;
  SystemClock systemClock_;
  const LocalClock* clock_;
  FlashImage image_;
  std::unique_ptr<PlaybackEngine> engine_;
  LedSurface surface_;
  QTimer* timer_;
  QScrollArea* scroll_;
  QLabel* dots_;
  QToolButton* pause_;
  QToolButton* step_;
  bool paused_ = false;
  long framesPainted_ = 0;
  long restarts_ = 0;
};

}  // namespace sign
