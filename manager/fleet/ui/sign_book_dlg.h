#pragma once
// "전광판 목록": the sign book as rows (name, link, size, groups, check result), with add,
// change and delete, and the model check of the selected signs, whose result shows in
// their rows. "확인" writes the book file.

#include <QDialog>
#include <QPointer>
#include <string>

#include "manager/fleet/sign_book.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class CFleetRun;

class CSignBookDlg : public QDialog {
  Q_OBJECT
 public:
  // read: the book as read from `path`, whose problems are shown above the rows.
  CSignBookDlg(fleet::BookRead read, std::string path, QWidget* parent = nullptr);
  ~CSignBookDlg() override;

  const fleet::SignBook& Book() const { return book_; }
  QTreeWidget* Rows() const { return rows_; }

  // The buttons' work. Add and change run the sign dialog (through RunDialog).
  void AddSign();
  void ChangeSign();
  void DeleteSigns();
  // The model check of the selected signs, each over its own link, all at once.
  void CheckSigns();
  // Writes the book; a file that cannot be written is reported and the dialog stays open.
  // Over a file with wrong lines it asks first, since those signs are not kept.
  void accept() override;

 private:
  std::vector<int> SelectedRows() const;
  void ShowRows();
  void ShowCheck(const std::string& name, const QString& text, bool failed);
  bool EditSign(int row, fleet::Sign sign);

  fleet::SignBook book_;
  std::string path_;
  bool hadProblems_;
  QTreeWidget* rows_;
  QPushButton* change_;
  QPushButton* delete_;
  QPushButton* check_;
  QPointer<CFleetRun> checkRun_;
};
