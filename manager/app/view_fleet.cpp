// "여러 전광판": the sign book dialog, and the send, clock set, event send and event cancel
// to many signs at once. The runs go on in the fleet window while this one stays free;
// commands that talk to a sign wait until they end.
#include <QStringList>
#include <cerrno>

#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/events/event_list.h"
#include "manager/fleet/jobs.h"
#include "manager/fleet/ui/fleet_dlg.h"
#include "manager/fleet/ui/sign_book_dlg.h"
#include "manager/link/qt/sign_links.h"
#include "manager/settings/run_dialog.h"
#include "manager/store/work_store.h"
#include "manager/transfer/download.h"
#include "qtshared/message_box.h"
#include "shared/cp949.h"

namespace {

const QString kBookTitle = QStringLiteral("전광판 목록");

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// The book, or nothing after telling the operator why it cannot be used (a file that
// exists but cannot be read: editing it would replace it).
std::optional<fleet::BookRead> ReadBook(QWidget* owner, const std::string& path) {
  fleet::BookRead read = fleet::ReadSignBook(path);
  if (read.error != 0 && read.error != ENOENT) {
    ShowMessage(owner, Q(fleet::ReadFailureText(path, read)), kBookTitle, MsgButtons::Ok,
                MsgIcon::Warning);
    return std::nullopt;
  }
  return read;
}

}  // namespace

void CBrellionView::InstallFleetCommands() {
  Install(cmd::kSignBook, {.run = [this] {
            const std::string path = fleet::SignBookPath();
            if (auto read = ReadBook(this, path)) {
              CSignBookDlg dlg(std::move(*read), path, this);
              RunDialog(dlg);
            }
          }});
  // Each window runs its command on the signs chosen there: with the list and the height
  // as they are when its run starts, the events as they were when it opened.
  using Choices = std::vector<CFleetDlg::Choice>;
  const auto install = [this](int id, const char* title, const char* start,
                              std::function<Choices()> choices) {
    Install(id, {.run =
                     [=, this] {
                       OpenFleet(QString::fromUtf8(title), QString::fromUtf8(start), choices());
                     },
                 .talksToSign = true});
  };
  const auto one = [](std::function<fleet::Job()> job) {
    return [job] { return Choices{{QString(), job}}; };
  };
  install(cmd::kFleetSend, "여러 전광판으로 전송", "전   송", one([this] {
            return fleet::SendProgramJob(transfer::ReadProgram(store::TheWorkStore()),
                                         static_cast<std::uint8_t>(settings_.height));
          }));
  install(cmd::kFleetClock, "여러 전광판 시각설정", "설정하기", one(fleet::ClockJob));
  install(cmd::kFleetEvent, "여러 전광판 이벤트 적용", "이벤트 적용", [] {
    Choices choices;
    for (const item::ItemRecord& e : events::ReadEvents(store::TheWorkStore())) {
      const std::string text = text::Cp949ToUtf8(text::ReadTextQuarter(e.body.textA));
      choices.push_back({Q(text), [e] { return fleet::EventJob(e); }});
    }
    return choices;
  });
  install(cmd::kFleetEventCancel, "여러 전광판 이벤트 취소", "이벤트 취소",
          one(fleet::EventCancelJob));
}

void CBrellionView::OpenFleet(const QString& title, const QString& start,
                              std::vector<CFleetDlg::Choice> choices) {
  if (choices.empty()) {
    ShowMessage(this, QStringLiteral("보낼 이벤트가 없습니다\n이벤트 추가에서 먼저 만드십시오"),
                title);
    return;
  }
  const std::string path = fleet::SignBookPath();
  const auto read = ReadBook(this, path);
  if (!read) return;
  if (read->book.signs.empty()) {
    ShowMessage(
        this, QStringLiteral("전광판 목록에 전광판이 없습니다\n전광판 목록에서 먼저 추가하십시오"),
        title);
    return;
  }
  // The one open before is idle (the commands wait while a run goes on).
  delete fleetDlg_;
  auto* dlg = new CFleetDlg(*read, path, title, start, std::move(choices), this);
  fleetDlg_ = dlg;
  dlg->setAttribute(Qt::WA_DeleteOnClose);
  connect(dlg, &CFleetDlg::RunStarting, this,
          [this](const QStringList& devices) { FleetRunning(true, devices); });
  connect(dlg, &CFleetDlg::RunFinished, this, [this] { FleetRunning(false); });
  dlg->show();
}

void CBrellionView::FleetRunning(bool running, const QStringList& devices) {
  if (running) {
    ++signBusy_;
    // This window keeps its serial port open; a sign of the run on that device needs it.
    fleet::SignAddress own;
    own.kind = fleet::SignAddress::Kind::kSerial;
    own.device = "COM" + std::to_string(serialPort_);
    serialLent_ = links_->SerialOpen() && devices.contains(Q(fleet::DeviceKey(own)));
    if (serialLent_) links_->CloseSerial();
  } else {
    if (std::exchange(serialLent_, false) && !links_->ReopenSerial(serialPort_)) WarnPortNotOpen();
    --signBusy_;
  }
  ShowLinkText();
  UpdateCommandStates();
  if (signBusy_ == 0) emit SignIdle();
}

void CBrellionView::CancelTransfer() {
  cancelTransfer_ = transferring_;
  if (fleetDlg_) fleetDlg_->Cancel();
}

void CBrellionView::ReportSignBookProblems() {
  const std::string path = fleet::SignBookPath();
  const fleet::BookRead read = fleet::ReadSignBook(path);
  if (read.error == ENOENT) return;
  if (const std::string why = fleet::ReadFailureText(path, read); !why.empty())
    ShowMessage(this, Q(why), kBookTitle, MsgButtons::Ok, MsgIcon::Warning);
}
