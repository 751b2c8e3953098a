// Project files: 불러오기, 저장, 새로만들기 and the save prompt they share with the shutdown.
// A project file becomes the work store itself; the rules live in manager/list/project.h.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>

#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/list/project.h"
#include "manager/store/work_store.h"

namespace {

std::string LocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// Not even the previous store could be reopened: there is nothing left to work on.
[[noreturn]] void EndProgram() {
  std::fflush(nullptr);
  std::_Exit(0);
}

}  // namespace

void CBrellionView::InstallProjectCommands() {
  Action(cmd::kLoad)->setShortcut(QKeySequence::Open);
  Action(cmd::kSave)->setShortcut(QKeySequence::Save);
  Action(cmd::kNew)->setShortcut(QKeySequence::New);
  Install(cmd::kLoad, {.run = [this] { OnLoad(); }});
  Install(cmd::kSave, {.run = [this] { OnSave(); }});
  Install(cmd::kNew, {.run = [this] { OnNew(); }});
}

QString CBrellionView::DialogDirectory() const {
  const QString store = QFile::decodeName(store::TheWorkStore().Path().c_str());
  if (msglist::IsProjectPath(store.toStdString())) return QFileInfo(store).absolutePath();
  return programDir_;
}

void CBrellionView::SavePrompt() {
  store::WorkStore& store = store::TheWorkStore();
  if (!store.IsOpen() || !msglist::ShouldOfferSave(store.Path(), list_->topLevelItemCount())) {
    return;
  }
  if (!AskYesNo(msglist::SaveQuestion())) return;
  const std::optional<QString> path = projectDialogs_->SavePath(this, DialogDirectory());
  if (!path) return;
  if (const int error = msglist::WriteStoreCopy(store, LocalPath(*path))) {
    Show(msglist::WriteFailed(error));
  }
}

bool CBrellionView::Switched(msglist::StoreCommand command, const msglist::Switch& outcome) {
  if (outcome.result == msglist::SwitchResult::Switched) return true;
  Show(msglist::SwitchFailure(command, outcome));
  if (outcome.result == msglist::SwitchResult::Lost) EndProgram();
  return false;
}

void CBrellionView::OnFrameClosing() {
  SavePrompt();
}

void CBrellionView::OnLoad() {
  SavePrompt();
  const std::optional<QString> path = projectDialogs_->OpenPath(this, DialogDirectory());
  if (path) LoadProject(*path);
}

bool CBrellionView::LoadProject(const QString& path) {
  const std::string local = LocalPath(path);
  if (auto refusal = msglist::CheckProjectToLoad(local, store::KindOfFile(local))) {
    Show(*refusal);
    return false;
  }
  if (!Switched(msglist::StoreCommand::Load, msglist::SwitchStore(store::TheWorkStore(), local))) {
    return false;
  }
  history_.Clear();
  RefreshList();
  SelectRows({});
  ReloadSettings();
  return true;
}

void CBrellionView::OnSave() {
  store::WorkStore& store = store::TheWorkStore();
  if (msglist::IsProjectPath(store.Path())) return;  // edits already land in the project
  const std::optional<QString> path = projectDialogs_->SavePath(this, DialogDirectory());
  if (!path) return;
  // The history stays: it is the same list, now in the project file.
  Switched(msglist::StoreCommand::Save, msglist::SaveStoreAs(store, LocalPath(*path)));
}

void CBrellionView::OnNew() {
  SavePrompt();
  if (!Switched(msglist::StoreCommand::New,
                msglist::SwitchStore(store::TheWorkStore(), scratchPath_))) {
    return;
  }
  history_.Clear();
  store::ClearItemSlots();
  RefreshList();
  ReloadSettings();
}
