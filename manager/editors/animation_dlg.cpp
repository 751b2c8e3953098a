#include "manager/editors/animation_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "manager/editors/file_chooser.h"
#include "manager/editors/led_preview.h"

CAnimationDlg::CAnimationDlg(QWidget* parent)
    : CTextItemDlg(item::ItemKind::Animation, QStringLiteral("애니메이션"), parent) {
  controls_ = AddPictureControls(this, column_, QStringLiteral("열기"));
  connect(controls_.open, &QPushButton::clicked, this, &CAnimationDlg::openFile);
  speed_ = addSpeedList(item::hdr::kSpeed);
  addDisplayWindow();
  column_->addLayout(grid({speed_}, true));
  addOkCancel();
  timer_.setInterval(kFrameIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &CAnimationDlg::showNextFrame);
}

void CAnimationDlg::openFile() {
  const auto path = ChoosePictureFile(
      {this, QStringLiteral("gif파일(*.gif);;모든파일(*.*)"), QStringLiteral("gif")});
  if (!path) return;  // cancelled: what was chosen before stays
  if (path->empty()) {
    dropFile();
  } else {
    load(*path);
  }
}

void CAnimationDlg::load(const std::string& cp949Path) {
  timer_.stop();
  const encode::ImportResult r = editors::OpenAnimationFile(cp949Path, gif_);
  if (r != encode::ImportResult::Ok) {
    ShowRefusal(this, r);
    dropFile();
    return;
  }
  file_.path = cp949Path;
  file_.width = gif_.width();
  file_.height = gif_.height();
  file_.frames = gif_.FrameCount();
  controls_.fileName->setText(FileNameOf(cp949Path));
  player_.Restart();
  showNextFrame();  // frame 0 at once, not a tick later
  timer_.start();
  itemChanged();
}

void CAnimationDlg::dropFile() {
  timer_.stop();
  gif_.LoadBytes({});
  file_.path.clear();
  file_.width = file_.height = file_.frames = 0;
  controls_.fileName->clear();
  controls_.preview->clear();
  itemChanged();
}

void CAnimationDlg::showNextFrame() {
  if (std::optional<encode::Planes> planes = player_.Step()) {
    controls_.preview->setPlanes(std::move(*planes));
  } else {
    timer_.stop();
  }
}

void CAnimationDlg::restore(const item::ItemHeader& header, const item::ItemBody& body) {
  file_ = editors::ReadAnimationItem(header, body);
  speed_->setCurrentIndex(file_.speed);
  setWindowMinutes(file_.window.startMinutes, file_.window.endMinutes);
  if (!file_.path.empty()) load(file_.path);
}

void CAnimationDlg::accept() {
  const item::ItemRecord r = currentItem();
  finish(r.header, r.body);
}

item::ItemRecord CAnimationDlg::currentItem() const {
  editors::AnimationValues v = file_;
  v.speed = speed_->currentIndex();
  v.window = {startMinutes(), endMinutes()};
  return editors::BuildAnimationItem(v);
}

void CAnimationDlg::done(int result) {
  timer_.stop();
  CTextItemDlg::done(result);
}
