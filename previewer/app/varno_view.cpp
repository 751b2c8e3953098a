#include "previewer/app/varno_view.h"

#include <QPainter>

#include "previewer/app/playback_thread.h"
#include "qtshared/message_box.h"

namespace varno {

CVarnoView::CVarnoView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

CVarnoView::~CVarnoView() {
  Stop();
}

bool CVarnoView::Start(const QString& exeDir) {
  const QString preview = exeDir + QStringLiteral("preview.tmp");
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

void CVarnoView::paintEvent(QPaintEvent*) {
  if (shown_.isNull()) return;
  QPainter p(this);
  p.drawImage(0, 0, shown_);
}

}  // namespace varno
