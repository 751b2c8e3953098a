#pragma once
// The manager's main view: the message list and the send button. It owns the command
// actions and the copies of the settings, and runs the start-up repairs.

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "manager/app/view_seams.h"
#include "manager/fleet/ui/fleet_dlg.h"
#include "manager/list/history.h"
#include "manager/list/list_rules.h"
#include "manager/list/project.h"
#include "manager/store/settings.h"
#include "shared/item_record.h"

class QAction;
class QMenu;
class QPushButton;
class QTreeWidget;
class CMainFrame;
class SignLinks;
namespace signlink {
class SignLink;
}
namespace transfer {
struct Progress;
}

class CBrellionView : public QWidget {
  Q_OBJECT
 public:
  explicit CBrellionView(CMainFrame* frame, QWidget* parent = nullptr);
  ~CBrellionView() override;

  // Program directory with a trailing '/'; set before OnInitialUpdate (the application
  // passes the executable's folder). The previewer is started from its PREVIEW folder.
  void SetProgramDirectory(const QString& dir);
  const QString& ProgramDirectory() const { return programDir_; }
  // Where "data.tmp" and "PREVIEW/preview.tmp" live, with a trailing '/': the program
  // directory, or the user's data folder when that cannot be written (WorkFolder). Set by
  // OnInitialUpdate.
  const QString& WorkDirectory() const { return workDir_; }

  // Opens the work store beside the program, clears the item slots and loads and repairs
  // the settings. False when the store can be neither opened nor created: the fatal
  // message has been shown and the caller must end the process with status 0.
  bool OnInitialUpdate();
  // After a project was loaded or begun anew: settings and link again from the store.
  void ReloadSettings();

  QAction* Action(int commandId) const { return actions_.value(commandId); }

  // Runs a command as its menu item, toolbar button or key would (when it is enabled).
  void OnCommand(int id);
  // Recomputes every command's enabled and checked state.
  void UpdateCommandStates();

  // True while an exchange with the sign runs; commands that talk to the sign are
  // disabled meanwhile, since the exchanges keep the window responsive.
  bool SignBusy() const { return signBusy_ > 0; }
  // Asks a running download, and a run to many signs, to stop before the next frame;
  // nothing when none runs.
  void CancelTransfer();
  bool Transferring() const { return transferring_; }
  // The PREVIEW folder of the work directory, which holds the preview file, ending with '/'.
  // The previewer itself is started from the PREVIEW folder beside the program; the two are
  // one folder unless the program is installed where it may not write (WorkFolder).
  QString PreviewFolder() const;
  QTreeWidget* List() const { return list_; }
  QPushButton* SendButton() const { return send_; }
  // The open window of a command to many signs, or null.
  CFleetDlg* FleetDialog() const { return fleetDlg_; }

  int SerialPortNumber() const { return serialPort_; }
  // 0 RS-232, 1 TCP/IP (a stored value above 1 reads as 0).
  int TransmitOption() const;
  const store::BoardSettings& Settings() const { return settings_; }
  bool CutPresent() const { return cut_.present; }
  // The link every command talks to the sign over: the one the transmit option selects,
  // frame by frame. Links() is its owner, for bringing the links up and down.
  signlink::SignLink& Link();
  SignLinks& Links() { return *links_; }

  // The message list (view_list.cpp). The rows are read back from the store after every
  // edit; RefreshList makes them match the store's list.
  void RefreshList();
  std::vector<int> SelectedRows() const;
  void SelectRows(const std::vector<int>& rows);
  // Two quick clicks: modify the first selected row (no messages; kinds above 7 open nothing).
  void ActivateSelection();
  // The "ListCtrl" menu for the current selection, greyed by its rules; null when it does
  // not open. The caller owns it.
  QMenu* CreateListContextMenu();
  // Moves the selected rows before row `target` (0 .. rows), as dropping them there does.
  void MoveSelectionTo(int target);

  // Project files (view_project.cpp). SavePrompt offers to save a scratch list that is not
  // empty; the shutdown calls it too. LoadProject makes an existing or new ".dat" file the
  // store as "불러오기" does, without the save prompt; false when it was refused.
  void SavePrompt();
  bool LoadProject(const QString& path);
  // The main window is closing: the save prompt, which cannot cancel it.
  void OnFrameClosing();

  // Replace the modal windows, for tests.
  void SetItemEditors(std::unique_ptr<ItemEditors> editors) { editors_ = std::move(editors); }
  void SetProjectDialogs(std::unique_ptr<ProjectDialogs> dialogs) {
    projectDialogs_ = std::move(dialogs);
  }

 protected:
  // Rows dropped on the list move through the store, like every edit.
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  void ExitRequested();
  // The last sign exchange in progress has ended.
  void SignIdle();

 private:
  // What a command does and when it may run. Each feature installs its own commands
  // (in its own view_*.cpp); a command without a handler stays disabled.
  struct Command {
    std::function<void()> run = {};
    std::function<bool()> enabled = {};  // empty: always
    std::function<bool()> checked = {};  // empty: not checkable
    bool talksToSign = false;            // disabled while SignBusy()
  };
  void Install(int id, Command command);
  void InstallEventCommands();
  // The sign book and the commands to many signs (view_fleet.cpp).
  void InstallFleetCommands();
  // A sign book with wrong lines is reported once at start; the manager starts anyway.
  void ReportSignBookProblems();
  // Opens the window of a command to many signs (one at a time) and follows its runs;
  // choices: see CFleetDlg (none: there is no event to send).
  void OpenFleet(const QString& title, const QString& startText,
                 std::vector<CFleetDlg::Choice> choices);
  // A run to many signs began (with the serial devices it opens) or ended.
  void FleetRunning(bool running, const QStringList& devices = {});

  // Marks the sign busy for its lifetime.
  class SignScope {
   public:
    explicit SignScope(CBrellionView* view);
    ~SignScope();
    SignScope(const SignScope&) = delete;
    SignScope& operator=(const SignScope&) = delete;

   private:
    CBrellionView* view_;
  };

  void CreateActions();
  // Board settings, link settings and news (view_settings.cpp).
  void InstallSettingsCommands();
  // The download and the preview (view_transfer.cpp).
  void InstallTransferCommands();
  void OnSend();
  void OnPreview();
  void UpdateSendButton();
  // A download or a pull runs: the progress display of the frame, and the send button and
  // Escape as its cancel, until EndTransfer.
  transfer::Progress BeginTransfer();
  void EndTransfer();
  // 전광판에서 가져오기 (view_pull.cpp).
  void InstallPullCommand();
  void OnPull();

  void InstallListCommands();
  void InstallProjectCommands();

  // List edits (view_list.cpp).
  msglist::ListState ListStateNow() const;
  void OnAdd(item::ItemKind kind);
  void OnModify(bool fromActivation);
  void OnModifyFromMenu() { OnModify(false); }
  void OnDelete();
  void OnCut();
  void OnPaste();
  void OnCopy();
  void ShowListContextMenu(const QPoint& globalPos);
  // Runs a plan's store operations with the edited record as one undo step, then shows
  // the store's rows; a store that cannot be written is reported.
  void RunPlan(const msglist::Plan& plan, const item::ItemRecord& edited = {});
  // After an undo or redo (nullopt: it could not be written): the store's rows, selected.
  void ShowReplayed(const std::optional<std::vector<int>>& select);
  // The row a drop at a viewport point puts the dragged rows before (0 .. rows).
  int DropRow(const QPoint& pos) const;
  void Show(const msglist::Message& message);
  bool AskYesNo(const msglist::Message& message);  // true for Yes

  // Project files (view_project.cpp).
  void OnLoad();
  void OnSave();
  void OnNew();
  QString DialogDirectory() const;
  // True when the store switched; otherwise its message was shown (and a lost store has
  // ended the program).
  bool Switched(msglist::StoreCommand command, const msglist::Switch& outcome);

  void ShowLinkText();
  // Opens COM`port` at `baud`; warns the operator when it does not open.
  void OpenSerial(int port, int baud);
  // The "경고" box of a serial port that did not open.
  void WarnPortNotOpen();
  // Connects the TCP/IP link to the stored address and port.
  void ConnectStoredTcp();

  CMainFrame* frame_;
  QTreeWidget* list_ = nullptr;
  QPushButton* send_ = nullptr;
  QHash<int, QAction*> actions_;
  QHash<int, Command> commands_;
  int signBusy_ = 0;
  bool transferring_ = false;  // a download or a pull runs: the send button cancels it
  bool cancelTransfer_ = false;
  bool verifyAfterSend_ = false;  // "전송 후 확인", kept between runs

  QString programDir_;
  QString workDir_;
  int serialPort_ = 1;
  store::BoardSettings settings_;
  item::ItemRecord working_;
  msglist::CutBuffer cut_;
  msglist::EditHistory history_;  // of the open store
  std::string scratchPath_;       // the store of the start, "data.tmp"
  std::unique_ptr<ItemEditors> editors_;
  std::unique_ptr<ProjectDialogs> projectDialogs_;
  bool storeOpen_ = false;
  SignLinks* links_ = nullptr;  // child of the view
  QPointer<CFleetDlg> fleetDlg_;
  bool serialLent_ = false;  // our serial port was closed for a run to many signs
};
