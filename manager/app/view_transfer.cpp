// The send button (the download of the list to the sign, read back after it when
// "전송 후 확인" is checked) and 미리보기 -> 보기 (the preview file and the previewer). The
// sequences live in the transfer core; this file shows them.

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>

#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
#include "manager/app/preview_progress_dlg.h"
#include "manager/store/work_store.h"
#include "manager/transfer/download.h"
#include "manager/transfer/preview_file.h"
#include "qtshared/message_box.h"

namespace {
// An operator's habit rather than a project's setting, so it is kept with the user.
QSettings Preferences() {
  return QSettings(QStringLiteral("Brellion"), QStringLiteral("Brellion"));
}
const QString kVerifyKey = QStringLiteral("transfer/verifyAfterSend");
}  // namespace

void CBrellionView::InstallTransferCommands() {
  Install(cmd::kSendButton, {.run = [this] { OnSend(); }, .talksToSign = true});
  Install(cmd::kPreview, {.run = [this] { OnPreview(); }});
  verifyAfterSend_ = Preferences().value(kVerifyKey, false).toBool();
  Install(cmd::kVerifyAfterSend, {.run =
                                      [this] {
                                        verifyAfterSend_ = !verifyAfterSend_;
                                        Preferences().setValue(kVerifyKey, verifyAfterSend_);
                                      },
                                  .checked = [this] { return verifyAfterSend_; }});
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, [this] { CancelTransfer(); });
}

QString CBrellionView::PreviewFolder() const {
  return QString::fromStdString(transfer::PreviewFolder(workDir_.toStdString()));
}

// While a download runs the button is its cancel; otherwise it follows the sign guard.
void CBrellionView::UpdateSendButton() {
  if (!send_) return;
  send_->setText(transferring_ ? QStringLiteral("취   소") : QStringLiteral("전   송"));
  send_->setEnabled(transferring_ ? !cancelTransfer_ : !SignBusy());
}

transfer::Progress CBrellionView::BeginTransfer() {
  transferring_ = true;
  cancelTransfer_ = false;
  UpdateSendButton();
  return {
      .begin = [this](int total) { frame_->BeginProgress(total); },
      .step = [this](int) { frame_->StepProgress(); },
      .end = [this] { frame_->EndProgress(); },
      .cancelled =
          [this] {
            // Lets the window answer between frames over links that do not wait.
            QCoreApplication::processEvents();
            UpdateSendButton();
            return cancelTransfer_;
          },
  };
}

void CBrellionView::EndTransfer() {
  transferring_ = false;
  cancelTransfer_ = false;
  UpdateSendButton();
}

void CBrellionView::OnSend() {
  SignScope scope(this);
  const std::vector<item::ItemRecord> list = transfer::ReadProgram(store::TheWorkStore());
  const transfer::Report report =
      transfer::Download(Link(), list, static_cast<std::uint8_t>(settings_.height),
                         BeginTransfer(), verifyAfterSend_);
  EndTransfer();
  const transfer::Message m = transfer::MessageFor(report);
  ShowMessage(frame_, QString::fromStdString(m.text), QString::fromStdString(m.caption));
}

void CBrellionView::OnPreview() {
  const std::vector<item::ItemRecord> list = transfer::ReadProgram(store::TheWorkStore());
  const QString folder = PreviewFolder();
  QDir().mkpath(folder);
  CPreviewProgressDlg dlg(this);
  const transfer::PreviewProgress progress{
      .begin = [&dlg](int total) { dlg.Create(total); },
      .step = [&dlg] { dlg.Step(); },
      .end = [&dlg] { dlg.close(); },
  };
  const transfer::PreviewSettings settings{
      .width = static_cast<std::uint8_t>(settings_.width),
      .rowsCode = static_cast<std::uint8_t>(settings_.height),
      .connection = static_cast<std::uint8_t>(settings_.connection),
  };
  const transfer::PreviewReport report = transfer::WritePreview(
      (folder + QString::fromLatin1(transfer::kPreviewFileName)).toStdString(), list, settings,
      progress);
  // A preview file that could not be written is not shown: the previewer would play
  // whatever an earlier preview left.
  const QString previewer =
      QString::fromStdString(transfer::PreviewFolder(programDir_.toStdString()));
  if (!report.written ||
      !QProcess::startDetached(previewer + QString::fromLatin1(transfer::kPreviewerName), {},
                               previewer)) {
    ShowMessage(frame_, QStringLiteral("미리보기실패"), QStringLiteral("미리보기"));
  }
}
