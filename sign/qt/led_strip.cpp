#include "sign/qt/led_strip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include "sign/led_pixels.h"

namespace sign {

namespace {
// Engine steps that may pass without a new frame (item changes, a hidden item) before
// Advance gives up; a playing item shows a frame every step or two.
constexpr int kMaxStepsPerFrame = 64;
// Room a dialog around the strip takes beside the dots and the buttons: its margins, its
// frame and the gap to the buttons.
constexpr int kWindowAllowance = 56;
// Narrowest the dots get on a screen too small for anything more.
constexpr int kMinDotsWidth = 240;

const QString kPauseText = QStringLiteral("일시정지");
const QString kPlayText = QStringLiteral("재생");
}  // namespace

LedStrip::LedStrip(const FontSet* fonts, const LocalClock* clock, QWidget* parent)
    : QWidget(parent),
      fonts_(fonts && fonts->loaded() ? fonts : nullptr),
      clock_(clock ? clock : &systemClock_),
      timer_(new QTimer(this)),
      scroll_(new QScrollArea(this)),
      dots_(new QLabel),
      pause_(new QToolButton(this)),
      step_(new QToolButton(this)) {
  setObjectName("ledStrip");
  timer_->setTimerType(Qt::PreciseTimer);
  connect(timer_, &QTimer::timeout, this, &LedStrip::OnTick);

  dots_->setAlignment(Qt::AlignCenter);
  dots_->setStyleSheet("background: black; color: #c0c0c0;");
  scroll_->setWidget(dots_);
  scroll_->setWidgetResizable(true);
  scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  scroll_->setFrameShape(QFrame::NoFrame);

  pause_->setObjectName("ledPause");
  pause_->setCheckable(true);
  pause_->setText(kPauseText);
  pause_->setMinimumWidth(pause_->sizeHint().width());  // the longer label: no jump on a click
  pause_->setToolTip(QStringLiteral("미리보기를 멈춥니다"));
  connect(pause_, &QToolButton::toggled, this, &LedStrip::SetPaused);
  step_->setObjectName("ledStep");
  step_->setText(QStringLiteral("한 장씩"));
  step_->setToolTip(QStringLiteral("멈춘 채 다음 장면으로"));
  step_->setEnabled(false);
  connect(step_, &QToolButton::clicked, this, [this] { Advance(); });

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(pause_);
  buttons->addWidget(step_);
  buttons->addStretch(1);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(scroll_, 1);
  row->addLayout(buttons);
  if (!fonts_) dots_->setText(QStringLiteral("글꼴이 없어 미리보기를 할 수 없습니다."));
}

LedStrip::~LedStrip() = default;

void LedStrip::Play(std::vector<FlashImage::Segment> image) {
  timer_->stop();
  ++restarts_;
  if (!fonts_) return;
  engine_.reset();  // it holds a reference to the image it is about to lose
  image_.OpenMemory(std::move(image));
  engine_ = std::make_unique<PlaybackEngine>(image_, *fonts_, *clock_);
  engine_->Start();
  FitBoard(engine_->geometry().width, engine_->geometry().rows);
  dots_->clear();
  pause_->setEnabled(true);
  step_->setEnabled(paused_);
  Advance();
  if (!paused_) timer_->start(engine_->framePeriodMs());
}

void LedStrip::ShowNote(const QString& note, int width, int rows) {
  timer_->stop();
  ++restarts_;
  engine_.reset();
  FitBoard(width, rows);
  dots_->setText(note);
  pause_->setEnabled(false);  // nothing plays
  step_->setEnabled(false);
}

QString LedStrip::note() const {
  return dots_->text();
}

void LedStrip::FitBoard(int width, int rows) {
  const QSize size(width * kDotPixels, rows * kDotPixels);
  if (surface_.image().size() == size) return;
  surface_.Create(width, rows);
  dots_->setMinimumSize(size);
  const int room =
      screen()->availableGeometry().width() - kWindowAllowance - pause_->minimumWidth();
  scroll_->setMinimumWidth(std::min(size.width(), std::max(room, kMinDotsWidth)));
  scroll_->setFixedHeight(size.height() + scroll_->horizontalScrollBar()->sizeHint().height() + 2);
}

void LedStrip::SetPaused(bool paused) {
  paused_ = paused;
  if (pause_->isChecked() != paused) pause_->setChecked(paused);
  pause_->setText(paused ? kPlayText : kPauseText);
  step_->setEnabled(paused && engine_);
  if (paused) {
    timer_->stop();
  } else if (engine_) {
    timer_->start(engine_->framePeriodMs());
  }
}

bool LedStrip::Advance() {
  if (!engine_) return false;
  for (int i = 0; i < kMaxStepsPerFrame; ++i) {
    if (engine_->Step() || engine_->frameReady()) {
      surface_.Paint(engine_->front());
      engine_->ClearFrameReady();
      ++framesPainted_;
      ShowImage();
      return true;
    }
  }
  return false;
}

void LedStrip::ShowImage() {
  dots_->setPixmap(QPixmap::fromImage(surface_.image()));
}

void LedStrip::OnTick() {
  Advance();
  // The item playing now sets the pace (its speed, or the default between items).
  if (engine_ && timer_->interval() != engine_->framePeriodMs()) {
    timer_->setInterval(engine_->framePeriodMs());
  }
}

}  // namespace sign
