#include "manager/editors/file_chooser.h"

#include <QFileDialog>

namespace {

FileChooser& Installed() {
  static FileChooser chooser;
  return chooser;
}

QString AskWithDialog(const FileRequest& r) {
  QFileDialog dialog(r.owner);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(r.filter);
  dialog.setDefaultSuffix(r.defaultSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace

QString ChooseOpenFile(const FileRequest& request) {
  return Installed() ? Installed()(request) : AskWithDialog(request);
}

FileChooser SetFileChooser(FileChooser chooser) {
  FileChooser previous = std::move(Installed());
  Installed() = std::move(chooser);
  return previous;
}
