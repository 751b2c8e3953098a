#include "qtshared/message_box.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace {
MessageHandler& Handler() {
  static MessageHandler handler;
  return handler;
}

// Room a title bar takes besides the caption: the window icon, three buttons and padding.
constexpr int kTitleBarChrome = 160;

QMessageBox::Icon ToQt(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Warning:
      return QMessageBox::Warning;
    case MsgIcon::Critical:
      return QMessageBox::Critical;
    case MsgIcon::Question:
      return QMessageBox::Question;
    case MsgIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

MsgResult ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                      MsgButtons buttons, MsgIcon icon) {
  MessageRequest request{owner, text, caption, buttons, icon};
  if (Handler()) return Handler()(request);

  const QString title = caption.isEmpty() ? QApplication::applicationName() : caption;
  QMessageBox box(
      ToQt(icon), title, text,
      buttons == MsgButtons::YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, owner);
  // The box sizes itself to its text; a short text would leave the caption cut in the
  // title bar, which window managers draw in a bold face.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarChrome;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  const int answer = box.exec();
  if (buttons == MsgButtons::Ok) return MsgResult::Ok;
  return answer == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
}

MessageHandler SetMessageHandler(MessageHandler handler) {
  MessageHandler previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}

MessageRecorder::MessageRecorder(MsgResult answer) : answer_(answer) {
  previous_ = SetMessageHandler([this](const MessageRequest& r) {
    messages_.append(r);
    if (r.buttons == MsgButtons::Ok) return MsgResult::Ok;
    return answer_;
  });
}

MessageRecorder::~MessageRecorder() {
  SetMessageHandler(std::move(previous_));
}
