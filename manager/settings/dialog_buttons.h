#pragma once
// OK and cancel buttons with the dialogs' own texts, wired to accept and reject.

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

inline QDialogButtonBox* DialogButtons(QDialog* dialog, const QString& ok, const QString& cancel) {
  auto* box = new QDialogButtonBox(dialog);
  box->addButton(ok, QDialogButtonBox::AcceptRole)->setDefault(true);
  box->addButton(cancel, QDialogButtonBox::RejectRole);
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}
