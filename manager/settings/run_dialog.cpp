#include "manager/settings/run_dialog.h"

#include <QDialog>

namespace {
DialogRunner& Runner() {
  static DialogRunner runner;
  return runner;
}
}  // namespace

bool RunDialog(QDialog& dialog) {
  if (Runner()) return Runner()(dialog);
  return dialog.exec() == QDialog::Accepted;
}

DialogRunner SetDialogRunner(DialogRunner runner) {
  DialogRunner previous = std::move(Runner());
  Runner() = std::move(runner);
  return previous;
}
