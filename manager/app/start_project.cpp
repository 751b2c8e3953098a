#include "manager/app/start_project.h"

#include <QDir>
#include <QFileInfo>

#include "manager/app/brellion_view.h"
#include "qtshared/message_box.h"

bool OpenStartProject(CBrellionView& view, const QString& path) {
  if (!QFileInfo::exists(path)) {
    ShowMessage(&view,
                QStringLiteral("%1\n파일이 없습니다. 작업 파일로 시작합니다.")
                    .arg(QDir::toNativeSeparators(path)),
                QStringLiteral("파일없음"), MsgButtons::Ok, MsgIcon::Warning);
    return false;
  }
  return view.LoadProject(path);
}
