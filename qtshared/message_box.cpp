#include "qtshared/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MessageHandler& Handler() {
  static MessageHandler handler;
  return handler;
}

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
