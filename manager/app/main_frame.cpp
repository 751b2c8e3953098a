#include "manager/app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/toolbar_icons.h"

namespace {
// The bar's own range is kept within 16 bits; larger totals are scaled onto it so the
// bar still fills in step with the percentage.
constexpr int kBarRange = 65535;
int BarValue(int position, int total) {
  if (total <= kBarRange) return position;
  return static_cast<int>(static_cast<long long>(position) * kBarRange / total);
}
}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("전광판 제어기(128MB)"));
  resize(1040, 800);
  BuildStatusBar();
}

void CMainFrame::SetView(CBrellionView* view) {
  view_ = view;
  setCentralWidget(view);
  connect(view, &CBrellionView::SignIdle, this, [this] {
    if (!closeWhenIdle_) return;
    closeWhenIdle_ = false;
    QTimer::singleShot(0, this, &QWidget::close);  // after the exchange has unwound
  });
  BuildMenus();
  BuildToolBar();
}

void CMainFrame::BuildMenus() {
  QMenu* current = nullptr;
  std::string_view currentTitle;
  for (const CommandInfo& c : kCommands) {
    if (!current || c.menu != currentTitle) {
      current = menuBar()->addMenu(QString::fromUtf8(c.menu));
      currentTitle = c.menu;
    }
    if (c.id == cmd::kExit || c.id == cmd::kAbout || c.id == cmd::kModify || c.id == cmd::kMoveUp) {
      current->addSeparator();
    }
    current->addAction(view_->Action(c.id));
  }
}

void CMainFrame::BuildToolBar() {
  toolBar_ = addToolBar(QStringLiteral("Standard"));
  toolBar_->setObjectName(QStringLiteral("toolBar"));
  toolBar_->setIconSize(QSize(32, 32));
  toolBar_->setMovable(true);
  for (int id : kToolbarLayout) {
    if (id == cmd::kSeparator) {
      toolBar_->addSeparator();
      continue;
    }
    QAction* a = view_->Action(id);
    a->setIcon(ToolbarIcon(id));
    toolBar_->addAction(a);
  }
}

void CMainFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  promptPane_ = new QLabel(QStringLiteral("준비"), bar);
  promptPane_->setMinimumWidth(469);
  bar->addWidget(promptPane_, 1);

  progress_ = new QProgressBar(bar);
  progress_->setObjectName(QStringLiteral("progress"));
  progress_->setTextVisible(false);
  progress_->setRange(0, 0);
  progress_->setValue(0);
  progress_->setFixedWidth(220);
  progress_->setMaximumHeight(18);
  bar->addPermanentWidget(progress_);
  EndProgress();

  percentPane_ = new QLabel(bar);
  percentPane_->setObjectName(QStringLiteral("percent"));
  percentPane_->setAlignment(Qt::AlignCenter);
  percentPane_->setMinimumWidth(
      std::max(30, percentPane_->fontMetrics().horizontalAdvance(QStringLiteral("100 %")) + 8));
  bar->addPermanentWidget(percentPane_);

  linkPane_ = new QLabel(bar);
  linkPane_->setObjectName(QStringLiteral("link"));
  linkPane_->setMinimumWidth(190);
  bar->addPermanentWidget(linkPane_);
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (centred_) return;
  centred_ = true;
  if (QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
  }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (view_ && view_->SignBusy()) {
    view_->CancelTransfer();
    closeWhenIdle_ = true;
    event->ignore();
    return;
  }
  if (view_) view_->OnFrameClosing();
  QMainWindow::closeEvent(event);
}

void CMainFrame::BeginProgress(int total) {
  total_ = total;
  position_ = 0;
  // An empty range would make the bar busy-animate; a zero total shows an empty bar.
  progress_->setRange(0, std::max(1, std::min(total, kBarRange)));
  progress_->setValue(0);
  percentPane_->setText(QStringLiteral("0 %"));
  progress_->repaint();
  percentPane_->repaint();
}

void CMainFrame::StepProgress() {
  if (position_ >= total_) return;
  ++position_;
  progress_->setValue(BarValue(position_, total_));
  const long long percent = static_cast<long long>(position_) * 100 / total_;
  percentPane_->setText(QStringLiteral("%1 %").arg(percent));
  progress_->repaint();
  percentPane_->repaint();
}

void CMainFrame::EndProgress() {
  progress_->setRange(0, 1);
  progress_->setValue(0);
  if (percentPane_) {
    percentPane_->clear();
    percentPane_->repaint();
  }
  progress_->repaint();
}

void CMainFrame::SetLinkText(const QString& text) {
  linkPane_->setText(text);
  linkPane_->repaint();
}

QString CMainFrame::PercentText() const {
  return percentPane_->text();
}
QString CMainFrame::LinkText() const {
  return linkPane_->text();
}
