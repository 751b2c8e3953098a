#pragma once
// The one seam every message box of both programs goes through, so tests can capture
// the text, caption and buttons and answer the box without a display.

#include <QList>
#include <QString>
#include <functional>

class QWidget;

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Information, Warning, Critical, Question };
enum class MsgResult { Ok, Yes, No };

struct MessageRequest {
  QWidget* owner = nullptr;  // not owned; may be null
  QString text;
  QString caption;
  MsgButtons buttons = MsgButtons::Ok;
  MsgIcon icon = MsgIcon::None;
};

using MessageHandler = std::function<MsgResult(const MessageRequest&)>;

// Shows a modal box (or hands it to the installed handler) and returns the answer.
// An empty caption shows the application's name; the box is wide enough for its caption in
// the title bar. The buttons take Qt's Korean texts (LoadKoreanTranslations).
MsgResult ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                      MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);

// Replaces the real boxes with handler (null restores them); returns the previous handler.
MessageHandler SetMessageHandler(MessageHandler handler);

// Test helper: records every box and answers each with a fixed result.
class MessageRecorder {
 public:
  explicit MessageRecorder(MsgResult answer = MsgResult::Ok);
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  const QList<MessageRequest>& messages() const { return messages_; }
  void setAnswer(MsgResult answer) { answer_ = answer; }
  void clear() { messages_.clear(); }

 private:
  QList<MessageRequest> messages_;
  MsgResult answer_;
  MessageHandler previous_;
};
