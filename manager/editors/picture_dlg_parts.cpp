#include "manager/editors/picture_dlg_parts.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "manager/editors/core/picture_items.h"
#include "manager/editors/led_preview.h"
#include "qtshared/message_box.h"
#include "shared/cp949.h"

PictureControls AddPictureControls(QWidget* dialog, QBoxLayout* column, const QString& openText) {
  PictureControls c;
  auto* row = new QHBoxLayout;
  c.open = new QPushButton(openText, dialog);
  c.open->setObjectName("open");
  c.open->setAutoDefault(false);  // Enter presses OK, not the file dialog
  c.fileName = new QLabel(dialog);
  c.fileName->setObjectName("fileName");
  c.fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
  row->addWidget(c.open);
  row->addWidget(c.fileName, 1);
  column->addLayout(row);

  auto* box = new QGroupBox(QStringLiteral("미리보기"), dialog);
  auto* inside = new QVBoxLayout(box);
  c.preview = new CLedPreview(box);
  c.preview->setObjectName("preview");
  inside->addWidget(c.preview);
  column->addWidget(box, 1);
  return c;
}

QString FileNameOf(std::string_view cp949Path) {
  const QString path = QString::fromStdString(text::Cp949ToUtf8(cp949Path));
  const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
  return path.mid(cut + 1);
}

void ShowRefusal(QWidget* owner, encode::ImportResult r) {
  const encode::ImportMessage m = encode::MessageFor(r);
  if (m.text.empty()) return;
  ShowMessage(owner, QString::fromUtf8(m.text.data(), qsizetype(m.text.size())),
              QString::fromUtf8(m.caption.data(), qsizetype(m.caption.size())));
}

std::optional<std::string> ChoosePictureFile(const FileRequest& request) {
  const QString chosen = ChooseOpenFile(request);
  if (chosen.isEmpty()) return std::nullopt;
  editors::StoredPath stored = editors::PathForItem(chosen.toStdString());
  if (stored.result == encode::ImportResult::Ok) return std::move(stored.cp949);
  ShowRefusal(request.owner, stored.result);
  return std::string();
}
