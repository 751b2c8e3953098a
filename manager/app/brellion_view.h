#pragma once
// The manager's main view: the message list and the send button. It owns the command
// actions and the copies of the settings, and runs the start-up repairs.

#include <QHash>
#include <QString>
#include <QWidget>
#include <functional>

#include "manager/store/settings.h"
#include "shared/item_record.h"

class QAction;
class QPushButton;
class QTreeWidget;
class CMainFrame;
class SignLinks;
namespace signlink {
class SignLink;
}

class CBrellionView : public QWidget {
  Q_OBJECT
 public:
  explicit CBrellionView(CMainFrame* frame, QWidget* parent = nullptr);
  ~CBrellionView() override;

  // Program directory with a trailing '/'; set before OnInitialUpdate (the application
  // passes the executable's folder).
  void SetProgramDirectory(const QString& dir);
  const QString& ProgramDirectory() const { return programDir_; }

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
  QTreeWidget* List() const { return list_; }
  QPushButton* SendButton() const { return send_; }

  int SerialPortNumber() const { return serialPort_; }
  // 0 RS-232, 1 TCP/IP (a stored value above 1 reads as 0).
  int TransmitOption() const;
  const store::BoardSettings& Settings() const { return settings_; }
  bool CutPresent() const { return cutPresent_; }
  // The link every command talks to the sign over: the one the transmit option selects,
  // frame by frame. Links() is its owner, for bringing the links up and down.
  signlink::SignLink& Link();
  SignLinks& Links() { return *links_; }

 signals:
  void ExitRequested();

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

  QString programDir_;
  int serialPort_ = 1;
  store::BoardSettings settings_;
  item::ItemRecord working_;
  item::ItemRecord cut_;
  bool cutPresent_ = false;
  bool storeOpen_ = false;
  SignLinks* links_ = nullptr;  // child of the view
};
