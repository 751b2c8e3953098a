// 파일 -> "전광판에서 가져오기...": the sign's program read back into a new project, which
// then becomes the store as 불러오기 makes one. Reading, rebuilding and writing the files are
// the transfer core's; this file asks, shows and opens.
#include <QFile>

#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
#include "manager/list/project.h"
#include "manager/store/work_store.h"
#include "manager/transfer/pull.h"
#include "qtshared/message_box.h"

void CBrellionView::InstallPullCommand() {
  Install(cmd::kPullFromSign, {.run = [this] { OnPull(); }, .talksToSign = true});
}

void CBrellionView::OnPull() {
  const QString failed = QStringLiteral("가져오기실패");
  SavePrompt();
  const std::optional<QString> path = projectDialogs_->SavePath(this, DialogDirectory());
  if (!path) return;
  const std::string local = QFile::encodeName(*path).toStdString();
  // Only the name counts: the file is to be replaced. The store's own file cannot be, while
  // the store holds it.
  if (auto refusal = msglist::CheckProjectToLoad(local, store::FileKind{})) {
    Show(*refusal);
    return;
  }
  if (store::TheWorkStore().IsOwnFile(local)) {
    ShowMessage(frame_, QStringLiteral("지금 작업 중인 프로젝트에는 가져올 수 없습니다"), failed);
    return;
  }
  const std::string folder = transfer::DefaultPictureFolder(local);
  if (const std::string problem = transfer::PictureFolderProblem(folder); !problem.empty()) {
    ShowMessage(frame_, QString::fromStdString(problem), failed);
    return;
  }

  transfer::PulledProgram program;
  {
    SignScope scope(this);
    program = transfer::ReadSignProgram(Link(), BeginTransfer());
    EndTransfer();
  }
  const transfer::Message m = transfer::MessageFor(program);
  if (program.outcome != transfer::PullOutcome::kDone) {
    ShowMessage(frame_, QString::fromStdString(m.text), QString::fromStdString(m.caption));
    return;
  }
  // The project keeps the link it was read over.
  store::WorkStore& current = store::TheWorkStore();
  const transfer::LinkSlots readOver{.transmit = static_cast<std::uint8_t>(TransmitOption()),
                                     .ipAddress = current.IpAddress(),
                                     .tcpPort = current.TcpPort(),
                                     .serialPort = static_cast<std::uint8_t>(serialPort_)};
  const transfer::WriteFailure failure =
      transfer::WritePulledProject(program, readOver, local, folder);
  if (failure.error != 0) {
    msglist::Message m = msglist::WriteFailed(failure.error);
    m.text += "\n" + failure.path;
    Show(m);
    return;
  }
  if (LoadProject(*path))
    ShowMessage(frame_, QString::fromStdString(m.text), QString::fromStdString(m.caption));
}
