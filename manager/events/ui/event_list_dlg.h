#pragma once
// "이벤트 목록": the prepared events as rows, edited through the event editor and a
// context menu, and sent to or withdrawn from the sign. The rules live in events::EventList;
// this dialog shows its rows and messages.

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "manager/events/event_list.h"

class CEventEditDlg;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace events {
class Progress;
}
namespace signlink {
class SignLink;
}
namespace store {
class WorkStore;
}

class CEventListDlg : public QDialog {
  Q_OBJECT
 public:
  // store and link must outlive the dialog; progress (may be null) shows the send's steps.
  CEventListDlg(store::WorkStore& store, signlink::SignLink& link, events::Progress* progress,
                QWidget* parent = nullptr);
  ~CEventListDlg() override;

  // How the event editor runs: QDialog::exec by default; tests answer it in place.
  // Returns QDialog::Accepted or QDialog::Rejected.
  using EditRunner = std::function<int(CEventEditDlg&)>;
  void setEditRunner(EditRunner runner) { runEditor_ = std::move(runner); }

  QTreeWidget* list() const { return list_; }
  QPushButton* addButton() const { return add_; }
  QPushButton* sendButton() const { return send_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* closeButton() const { return close_; }
  const events::EventList& events() const { return events_; }

  // The "EventList" pop-up as a right-click in the list would open it: null when no row is
  // selected; cut and paste greyed when the list is empty, paste when nothing was cut.
  std::unique_ptr<QMenu> contextMenu();

  void onAdd();
  void onModify();
  void onDelete();
  void onCut();
  void onPaste();
  void onSend();
  void onCancelEvent();

 private:
  std::vector<int> selectedRows() const;
  void showRows();
  void showRow(int row);
  // Shows a refusal; true when there was one.
  bool refused(const events::Refusal& r);
  void showMessage(const events::Message& m, bool failure);
  void setSending(bool sending);

  events::EventList events_;
  signlink::SignLink& link_;
  events::Progress* progress_;
  EditRunner runEditor_;
  bool sending_ = false;
  QTreeWidget* list_;
  QPushButton* add_;
  QPushButton* send_;
  QPushButton* cancel_;
  QPushButton* close_;
};
