#pragma once
// The previewer's view: opens the preview file and the fonts beside the executable, runs
// the playback thread and shows the pictures it hands over. It owns the image and the
// fonts; the thread has left its loop before either is released.

#include <QImage>
#include <QRect>
#include <QMutex>
#include <QWidget>
#include <memory>

#include "sign/flash_image.h"
#include "sign/font_set.h"
#include "sign/live_fields.h"

namespace varno {

class PlaybackThread;

class CVarnoView : public QWidget {
  Q_OBJECT

 public:
  explicit CVarnoView(QWidget* parent = nullptr);
  ~CVarnoView() override;

  // Opens previewDir + "preview.tmp" (empty previewDir: exeDir) and loads the fonts from
  // exeDir + "font/" (both end in '/'), reporting a failure in a message box; false means
  // the program must end. On success the playback thread is running.
  bool Start(const QString& exeDir, const QString& previewDir = QString());
  // Stops the thread, then closes the image and frees the fonts.
  void Stop();

  bool playing() const;
  bool fontsLoaded() const { return fonts_ && fonts_->loaded(); }
  bool imageOpen() const { return image_.isOpen(); }
  // The picture shown now (null before the first one).
  QImage shownFrame() const { return shown_; }
  long framesShown() const { return framesShown_; }

  // Pixels a dot takes on screen: 1, 2 or 3, or kFitDots to scale the whole board into the
  // view (never above 3). Frames are painted at 3 pixels a dot and sampled down, so every
  // dot stays one solid square.
  static constexpr int kFitDots = 0;
  void SetDotPixels(int dots);
  int dotPixels() const { return dotPixels_; }
  // Where the frame is drawn in the view now (empty before the first frame).
  QRect FrameRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PostFrame(const QImage& image);  // playback thread
  Q_INVOKABLE void TakeFrame();         // GUI thread

  sign::FlashImage image_;
  std::unique_ptr<sign::FontSet> fonts_;
  sign::SystemClock clock_;
  std::unique_ptr<PlaybackThread> thread_;

  QMutex mailboxLock_;
  QImage mailbox_;
  bool posted_ = false;
  QImage shown_;
  long framesShown_ = 0;
  int dotPixels_ = 3;
};

}  // namespace varno
