#pragma once
// "여러 전광판으로 전송" and its kin: one command to the chosen signs at once. The signs of
// the book are rows with check boxes, the groups a list whose boxes check their signs;
// each chosen sign's row shows its progress and, at the end, the command's own message.
// Cancel stops every sign; "실패한 전광판 다시 전송" goes again to those that did not
// succeed. The window is not modal and never waits for a sign.

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "manager/fleet/fan_out.h"

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class CFleetRun;

class CFleetDlg : public QDialog {
  Q_OBJECT
 public:
  // One form of the command: its name in the chooser beside the buttons (none when the
  // names are empty) and the job, made when a run starts.
  struct Choice {
    QString label;
    std::function<fleet::Job()> job;
  };
  // read: the sign book as read from bookPath (its problems are shown); startText: the
  // start button's text.
  CFleetDlg(const fleet::BookRead& read, const std::string& bookPath, const QString& title,
            const QString& startText, std::vector<Choice> choices, QWidget* parent = nullptr);
  // Cancels a run and waits for it.
  ~CFleetDlg() override;

  // Checks (or unchecks) every sign of the group.
  void ChooseGroup(const QString& group, bool chosen);
  // Runs the command on the checked signs; with none, says so.
  void Start();
  // Stops every sign: those waiting never start, the running ones before their next frame.
  void Cancel();
  // Checks only the signs whose last run did not succeed and starts.
  void ResendFailed();
  bool Running() const { return run_ != nullptr; }

  QTreeWidget* Rows() const { return rows_; }
  QListWidget* GroupList() const { return groups_; }
  QComboBox* ChoiceBox() const { return choice_; }

  // Closing while a run goes on cancels it, and the window goes once every sign stopped.
  void reject() override;

 signals:
  // Before the first sign starts: the serial devices (fleet::DeviceKey) the run opens.
  void RunStarting(const QStringList& devices);
  void RunFinished();

 private:
  void OnUpdate(const fleet::Update& update);
  void OnFinished();
  void UpdateButtons();

  std::vector<fleet::Sign> signs_;      // the book's, one per row
  std::vector<fleet::SignState> last_;  // each row's state in the last run
  std::vector<int> runRows_;            // the row of each sign of the run
  std::vector<Choice> choices_;
  QTreeWidget* rows_;
  QListWidget* groups_;
  QComboBox* choice_;
  QPushButton* start_;
  QPushButton* cancel_;
  QPushButton* resend_;
  CFleetRun* run_ = nullptr;
  bool closeWhenDone_ = false;
};
