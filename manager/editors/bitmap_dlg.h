#pragma once
// "비트맵": a BMP file, its effect mode, speed, hold time and the display window. Kind 3;
// the full path in quarter A, the picture's size in header bytes 16-19. OK without a file
// leaves quarter A empty, and the list adds nothing.

#include "manager/editors/core/picture_items.h"
#include "manager/editors/editor_controls.h"
#include "manager/editors/picture_dlg_parts.h"

class CBitmapDlg : public CTextItemDlg {
  Q_OBJECT
 public:
  explicit CBitmapDlg(QWidget* parent = nullptr);

  // "열 기": asks for a file and checks it as a newly chosen one (up to 800 x 160).
  void openFile();
  // The chosen or stored file (CP949, empty for none) and its size as read.
  const std::string& path() const { return file_.path; }
  const PictureControls& controls() const { return controls_; }

  void accept() override;

 protected:
  void restore(const item::ItemHeader& header, const item::ItemBody& body) override;

 private:
  // Checks the file and shows it; a refusal shows its message and, for a new file,
  // drops the path.
  void load(const std::string& cp949Path, encode::BitmapOpen how);
  void dropFile();

  editors::BitmapValues file_;  // path, width and height; the lists hold the codes
  PictureControls controls_;
  QComboBox* mode_;
  QComboBox* speed_;
  QComboBox* hold_;
};
