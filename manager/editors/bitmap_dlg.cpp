#include "manager/editors/bitmap_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "manager/editors/file_chooser.h"
#include "manager/editors/led_preview.h"
#include "shared/codes.h"

CBitmapDlg::CBitmapDlg(QWidget* parent)
    : CTextItemDlg(item::ItemKind::Bitmap, QStringLiteral("비트맵"), parent) {
  controls_ = AddPictureControls(this, column_, QStringLiteral("열 기"));
  connect(controls_.open, &QPushButton::clicked, this, &CBitmapDlg::openFile);
  mode_ = addList(item::kBitmapModeTexts.data(), item::kBitmapModeCount, 0, "mode",
                  QStringLiteral("효과:"), item::hdr::kBitmapMode);
  speed_ = addSpeedList(item::hdr::kSpeed);
  hold_ = addList(item::kHoldTexts.data(), item::kHoldCount, editors::kDefaultHoldCode, "hold",
                  QStringLiteral("유지시간:"), item::hdr::kHold);
  addDisplayWindow();
  column_->addLayout(grid({mode_, speed_, hold_}, true));
  addOkCancel();
}

void CBitmapDlg::openFile() {
  const auto path = ChoosePictureFile(
      {this, QStringLiteral("bmp파일(*.bmp);;모든파일(*.*)"), QStringLiteral("bmp")});
  if (!path) return;  // cancelled: what was chosen before stays
  if (path->empty()) {
    dropFile();
  } else {
    load(*path, encode::BitmapOpen::New);
  }
}

void CBitmapDlg::load(const std::string& cp949Path, encode::BitmapOpen how) {
  const editors::BitmapFile f = editors::OpenBitmapFile(cp949Path, how);
  if (f.result != encode::ImportResult::Ok) {
    ShowRefusal(this, f.result);
    if (encode::ClearsPath(f.result, how)) dropFile();
    controls_.preview->clear();
    return;
  }
  file_.path = cp949Path;
  file_.width = f.width;
  file_.height = f.height;
  controls_.fileName->setText(FileNameOf(cp949Path));
  controls_.preview->setPlanes(f.planes);
  itemChanged();
}

void CBitmapDlg::dropFile() {
  file_.path.clear();
  file_.width = file_.height = 0;
  controls_.fileName->clear();
  controls_.preview->clear();
  itemChanged();
}

void CBitmapDlg::restore(const item::ItemHeader& header, const item::ItemBody& body) {
  file_ = editors::ReadBitmapItem(header, body);
  mode_->setCurrentIndex(file_.mode);
  speed_->setCurrentIndex(file_.speed);
  hold_->setCurrentIndex(file_.hold);
  setWindowMinutes(file_.window.startMinutes, file_.window.endMinutes);
  controls_.fileName->setText(FileNameOf(file_.path));
  // A stored picture that no longer passes keeps its path and size: the item stays as it
  // was unless another file is chosen.
  if (!file_.path.empty()) load(file_.path, encode::BitmapOpen::Reopened);
}

void CBitmapDlg::accept() {
  const item::ItemRecord r = currentItem();
  finish(r.header, r.body);
}

item::ItemRecord CBitmapDlg::currentItem() const {
  editors::BitmapValues v = file_;
  v.mode = mode_->currentIndex();
  v.speed = speed_->currentIndex();
  v.hold = hold_->currentIndex();
  v.window = {startMinutes(), endMinutes()};
  return editors::BuildBitmapItem(v);
}
