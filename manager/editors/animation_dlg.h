#pragma once
// "애니메이션": a GIF file played in the preview every 50 ms, its speed and the display
// window. Kind 4; the full path in quarter A, the logical screen in header bytes 16-19 and
// the frame count in byte 20. OK without a file leaves quarter A empty, and the list adds
// nothing.

#include <QTimer>

#include "manager/editors/core/picture_items.h"
#include "manager/editors/editor_controls.h"
#include "manager/editors/picture_dlg_parts.h"

class CAnimationDlg : public CTextItemDlg {
  Q_OBJECT
 public:
  // Preview frame rate: fixed, frame delays are not used.
  static constexpr int kFrameIntervalMs = 50;

  explicit CAnimationDlg(QWidget* parent = nullptr);

  // "열기": asks for a file and loads it.
  void openFile();
  const std::string& path() const { return file_.path; }
  int frameCount() const { return file_.frames; }
  const PictureControls& controls() const { return controls_; }
  bool isPlaying() const { return timer_.isActive(); }
  // Draws the next frame into the preview, as each timer tick does.
  void showNextFrame();

  void accept() override;
  // Playback stops when the dialog closes, whatever closes it.
  void done(int result) override;

 protected:
  void restore(const item::ItemHeader& header, const item::ItemBody& body) override;

 private:
  // Loads and starts playback, or shows the refusal and drops the path.
  void load(const std::string& cp949Path);
  void dropFile();

  editors::AnimationValues file_;  // path, size and frames; the speed list holds its code
  encode::GifDecoder gif_;
  editors::FramePlayer player_{gif_};
  QTimer timer_;
  PictureControls controls_;
  QComboBox* speed_;
};
