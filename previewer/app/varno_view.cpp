#include "previewer/app/varno_view.h"

#include <QPainter>
#include <algorithm>

#include "previewer/app/playback_thread.h"
#include "qtshared/message_box.h"

namespace varno {

CVarnoView::CVarnoView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

CVarnoView::~CVarnoView() {
  Stop();
}

bool CVarnoView::Start(const QString& exeDir, const QString& previewDir) {
  const QString preview =
      (previewDir.isEmpty() ? exeDir : previewDir) + QStringLiteral("preview.tmp");
  if (!image_.Open(preview.toStdString())) {
    ShowMessage(nullptr, QStringLiteral("preview.tmp파일이 없습니다\n실행할수 없습니다"),
                QStringLiteral("파일없음"));
    return false;
  }
  fonts_ = std::make_unique<sign::FontSet>();
  const bool loaded =
      fonts_->Load(exeDir.toStdString(), [](const std::string& text, const std::string& caption) {
        ShowMessage(nullptr, QString::fromStdString(text), QString::fromStdString(caption));
      });
  if (!loaded) {
    ShowMessage(nullptr, QStringLiteral("폰트파일없음\n실행할수 없습니다"),
                QStringLiteral("폰트파일없음"));
    fonts_.reset();
    image_.Close();
    return false;
  }
  thread_ = std::make_unique<PlaybackThread>(image_, *fonts_, clock_,
                                             [this](const QImage& img) { PostFrame(img); });
  thread_->Begin();
  return true;
}

void CVarnoView::Stop() {
  if (thread_) thread_->Finish();
  thread_.reset();
  image_.Close();
  fonts_.reset();
}

bool CVarnoView::playing() const {
  return thread_ && thread_->active();
}

void CVarnoView::PostFrame(const QImage& image) {
  QMutexLocker lock(&mailboxLock_);
  mailbox_ = image.copy();
  if (posted_) return;  // the window has not taken the last one yet: it gets this one instead
  posted_ = true;
  QMetaObject::invokeMethod(this, "TakeFrame", Qt::QueuedConnection);
}

void CVarnoView::TakeFrame() {
  {
    QMutexLocker lock(&mailboxLock_);
    shown_ = mailbox_;
    posted_ = false;
  }
  ++framesShown_;
  update(QRect(QPoint(0, 0), shown_.size()));
}

void CVarnoView::SetDotPixels(int dots) {
  dotPixels_ = (dots >= 1 && dots <= 3) ? dots : kFitDots;
  update();
}

QRect CVarnoView::FrameRect() const {
  if (shown_.isNull()) return {};
  const QSize native = shown_.size();  // 3 pixels a dot
  if (dotPixels_ != kFitDots) return QRect(QPoint(0, 0), native * dotPixels_ / 3);
  const double scale =
      std::min({1.0, double(width()) / native.width(), double(height()) / native.height()});
  return QRect(0, 0, std::max(1, int(native.width() * scale)),
               std::max(1, int(native.height() * scale)));
}

void CVarnoView::paintEvent(QPaintEvent*) {
  if (shown_.isNull()) return;
  QPainter p(this);
  const QRect target = FrameRect();
  if (target.size() == shown_.size()) {
    p.drawImage(0, 0, shown_);
  } else {
    // Nearest sampling: a dot keeps its colour instead of blending with its neighbours.
    p.drawImage(target, shown_.scaled(target.size(), Qt::IgnoreAspectRatio,
                                      Qt::FastTransformation));
  }
}

}  // namespace varno
