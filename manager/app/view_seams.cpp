#include "manager/app/view_seams.h"

#include <QFileDialog>
#include <functional>
#include <map>

#include "manager/editors/animation_dlg.h"
#include "manager/editors/bitmap_dlg.h"
#include "manager/editors/dday_dlg.h"
#include "manager/editors/hold_time_dlg.h"
#include "manager/editors/one_line_dlg.h"
#include "manager/editors/title_sentence_dlg.h"
#include "manager/editors/two_line_dlg.h"
#include "manager/list/project.h"

namespace {

using EditorRun =
    std::function<std::optional<item::ItemRecord>(QWidget* parent, const item::ItemRecord*)>;

// Every editor dialog is built with its arguments and the parent, takes an existing item
// through setModify, and leaves the finished header and body after OK.
template <class Dialog, class... Args>
EditorRun Editor(Args... args) {
  return [=](QWidget* parent, const item::ItemRecord* existing) -> std::optional<item::ItemRecord> {
    Dialog dialog(args..., parent);
    if (existing) dialog.setModify(existing->header, existing->body);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return item::ItemRecord{dialog.header(), dialog.body()};
  };
}

class DialogEditors : public ItemEditors {
 public:
  DialogEditors()
      : editors_{
            {item::ItemKind::OneLine, Editor<COneLineDlg>()},
            {item::ItemKind::TwoLine, Editor<CTwoLineDlg>()},
            {item::ItemKind::TitleSentence, Editor<CTitleSentenceDlg>()},
            {item::ItemKind::Bitmap, Editor<CBitmapDlg>()},
            {item::ItemKind::Animation, Editor<CAnimationDlg>()},
            {item::ItemKind::DateTime, Editor<CHoldTimeDlg>(false)},
            {item::ItemKind::DDay, Editor<CDDayDlg>()},
            {item::ItemKind::Temperature, Editor<CHoldTimeDlg>(true)},
        } {}

  bool Handles(item::ItemKind kind) const override { return editors_.count(kind) != 0; }

  std::optional<item::ItemRecord> Edit(item::ItemKind kind, const item::ItemRecord* existing,
                                       QWidget* parent) override {
    const auto it = editors_.find(kind);
    if (it == editors_.end()) return std::nullopt;
    return it->second(parent, existing);
  }

 private:
  std::map<item::ItemKind, EditorRun> editors_;
};

QString Filters() {
  return QString::fromUtf8(msglist::kProjectFilters.data(),
                           static_cast<qsizetype>(msglist::kProjectFilters.size()));
}

class FileDialogs : public ProjectDialogs {
 public:
  std::optional<QString> OpenPath(QWidget* parent, const QString& directory) override {
    const QString path = QFileDialog::getOpenFileName(parent, QString(), directory, Filters());
    if (path.isEmpty()) return std::nullopt;
    return path;
  }

  std::optional<QString> SavePath(QWidget* parent, const QString& directory) override {
    QFileDialog dialog(parent, QString(), directory, Filters());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("dat"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
  }
};

}  // namespace

std::unique_ptr<ItemEditors> MakeDialogEditors() {
  return std::make_unique<DialogEditors>();
}

std::unique_ptr<ProjectDialogs> MakeFileDialogs() {
  return std::make_unique<FileDialogs>();
}
