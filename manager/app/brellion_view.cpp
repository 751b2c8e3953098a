#include "manager/app/brellion_view.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "manager/app/about_dlg.h"
#include "manager/app/brellion_app.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
#include "manager/link/link_text.h"
#include "manager/link/qt/sign_links.h"
#include "manager/list/row_text.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"
#include "qtshared/program_folders.h"

CBrellionView::CBrellionView(CMainFrame* frame, QWidget* parent) : QWidget(parent), frame_(frame) {
  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("messageList"));
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setAllColumnsShowFocus(true);

  send_ = new QPushButton(QStringLiteral("전   송"), this);
  send_->setObjectName(QStringLiteral("sendButton"));
  send_->setMinimumSize(68, 36);
  connect(send_, &QPushButton::clicked, this, [this] {
    if (transferring_)
      CancelTransfer();
    else
      OnCommand(cmd::kSendButton);
  });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(send_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);

  editors_ = MakeDialogEditors();
  projectDialogs_ = MakeFileDialogs();
  links_ = new SignLinks(this);
  connect(links_, &SignLinks::LinkTextChanged, this, [this] { ShowLinkText(); });
  CreateActions();
  InstallSettingsCommands();
  InstallListCommands();
  InstallProjectCommands();
  InstallPullCommand();
  InstallTransferCommands();
  UpdateSendButton();
  InstallEventCommands();
  InstallFleetCommands();
}

CBrellionView::~CBrellionView() {
  if (storeOpen_) store::CloseWorkStore();
}

void CBrellionView::SetProgramDirectory(const QString& dir) {
  programDir_ = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

void CBrellionView::CreateActions() {
  for (const CommandInfo& c : kCommands) {
    auto* a = new QAction(QString::fromUtf8(c.text), this);
    a->setData(c.id);
    if (!c.tooltip.empty()) a->setToolTip(QString::fromUtf8(c.tooltip));
    a->setStatusTip(QString::fromUtf8(c.prompt));
    if (c.id == cmd::kExit) a->setMenuRole(QAction::QuitRole);
    if (c.id == cmd::kAbout) a->setMenuRole(QAction::AboutRole);
    connect(a, &QAction::triggered, this, [this, id = c.id] { OnCommand(id); });
    actions_.insert(c.id, a);
  }
  Install(cmd::kExit, {.run = [this] { emit ExitRequested(); }});
  Install(cmd::kAbout, {.run = [this] {
            CAboutDlg about(this);
            about.exec();
          }});
}

void CBrellionView::Install(int id, Command command) {
  commands_.insert(id, std::move(command));
  if (QAction* a = actions_.value(id)) a->setCheckable(bool(commands_[id].checked));
}

void CBrellionView::OnCommand(int id) {
  const auto it = commands_.constFind(id);
  if (it == commands_.constEnd()) return;
  if (it->talksToSign && SignBusy()) return;
  if (it->enabled && !it->enabled()) return;
  const std::function<void()> run = it->run;  // the handler may reinstall commands
  run();
  UpdateCommandStates();
}

void CBrellionView::UpdateCommandStates() {
  for (QAction* a : actions_) {
    const auto it = commands_.constFind(a->data().toInt());
    const bool known = it != commands_.constEnd();
    a->setEnabled(known && !(it->talksToSign && SignBusy()) && (!it->enabled || it->enabled()));
    if (known && it->checked) a->setChecked(it->checked());
  }
  UpdateSendButton();
}

CBrellionView::SignScope::SignScope(CBrellionView* view) : view_(view) {
  ++view_->signBusy_;
  view_->UpdateCommandStates();
}

CBrellionView::SignScope::~SignScope() {
  --view_->signBusy_;
  view_->UpdateCommandStates();
  if (view_->signBusy_ == 0) emit view_->SignIdle();
}

bool CBrellionView::OnInitialUpdate() {
  QStringList titles;
  for (const msglist::ColumnInfo& c : msglist::kColumns) {
    titles << QString::fromUtf8(c.title.data(), qsizetype(c.title.size()));
  }
  list_->setHeaderLabels(titles);
  for (int i = 0; i < list_->columnCount(); ++i) {
    list_->setColumnWidth(i, msglist::kColumns[std::size_t(i)].width);
  }
  list_->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  if (programDir_.isEmpty()) SetProgramDirectory(QStringLiteral("."));
  workDir_ = WorkFolder(programDir_);
  store::WorkStore& store = store::TheWorkStore();
  store.SetPath((workDir_ + QStringLiteral("data.tmp")).toStdString());
  scratchPath_ = store.Path();  // where 새로만들기 returns to
  // Another manager's store is left exactly as it is: nothing below runs.
  if (const int opened = store::OpenWorkStore(); opened != store::kOpened) {
    Show(msglist::StartFailure(opened));
    return false;
  }
  storeOpen_ = true;
  store::ClearItemSlots();
  RefreshList();
  list_->setFocus();

  serialPort_ = store::LoadSerialPort(store);
  // The port opens at 57600 baud whatever was chosen in an earlier run.
  OpenSerial(serialPort_, 57600);
  links_->SetTransmit(signlink::TransmitFromStored(store.Transmit()));
  // A connection that fails is not reported here; the first exchange reports it.
  if (links_->transmit() == signlink::Transmit::kTcp) ConnectStoredTcp();
  ShowLinkText();
  settings_ = store::LoadBoardSettings(store);
  settings_.connection = store::LoadConnection(store);
  cut_.present = false;
  UpdateCommandStates();
  ReportSignBookProblems();
  return true;
}

void CBrellionView::ReloadSettings() {
  store::WorkStore& store = store::TheWorkStore();
  const int connection = settings_.connection;
  settings_ = store::LoadBoardSettings(store);
  settings_.connection = connection;
  links_->SetTransmit(signlink::TransmitFromStored(store.Transmit()));
  if (links_->transmit() == signlink::Transmit::kTcp) {
    ConnectStoredTcp();
  } else {
    serialPort_ = store::LoadSerialPort(store);
    if (!links_->ReopenSerial(serialPort_)) WarnPortNotOpen();
  }
  ShowLinkText();
  settings_.connection = store::LoadConnection(store);
  cut_.present = false;
  UpdateCommandStates();
}

signlink::SignLink& CBrellionView::Link() {
  return *links_;
}

int CBrellionView::TransmitOption() const {
  return links_->transmit() == signlink::Transmit::kTcp ? 1 : 0;
}

void CBrellionView::OpenSerial(int port, int baud) {
  if (!links_->OpenSerial(port, baud)) WarnPortNotOpen();
}

void CBrellionView::WarnPortNotOpen() {
  ShowMessage(this, QString::fromUtf8(signlink::kPortOpenFailedText),
              QString::fromUtf8(signlink::kWarningCaption), MsgButtons::Ok, MsgIcon::Warning);
}

void CBrellionView::ConnectStoredTcp() {
  store::WorkStore& store = store::TheWorkStore();
  links_->ConnectTcp(store.IpAddress(), store.TcpPort());
}

void CBrellionView::ShowLinkText() {
  if (frame_) frame_->SetLinkText(QString::fromStdString(links_->LinkText()));
}
