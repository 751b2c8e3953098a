#include "manager/events/event_send.h"

namespace events {

std::array<signlink::Frame, 4> EventFrames(const item::ItemRecord& event) {
  return {signlink::BuildEventBlock(0, event.header.bytes.data(), item::kItemHeaderSize),
          signlink::BuildEventBlock(1, event.body.textA.data(), item::kQuarterSize),
          signlink::BuildEventBlock(2, event.body.attrA.data(), item::kQuarterSize),
          signlink::BuildEventStart()};
}

signlink::Frame CancelFrame() {
  return signlink::BuildEventCancel();
}

Outcome SendEvent(signlink::SignLink& link, const item::ItemRecord& event, Progress* progress) {
  if (progress) progress->Begin(kSendSteps);
  const std::array<signlink::Frame, 4> frames = EventFrames(event);
  signlink::Result rc = signlink::Result::kOk;
  for (std::size_t i = 0; i < frames.size() && rc == signlink::Result::kOk; ++i) {
    rc = link.SendAndWait(frames[i]);
    if (rc == signlink::Result::kOk && i < kSendSteps && progress) progress->Step();
  }
  if (progress) progress->End();
  if (rc != signlink::Result::kOk) return {rc, {signlink::ResultText(rc), "Event전송실패"}};
  return {rc, {"Event 전송완료했습니다", "Event전송완료"}};
}

Outcome CancelEvent(signlink::SignLink& link) {
  const signlink::Result rc = link.SendAndWait(CancelFrame());
  if (rc != signlink::Result::kOk) return {rc, {signlink::ResultText(rc), "통신실패"}};
  return {rc, {"이벤트모드 취소OK...", "이벤트 취소"}};
}

}  // namespace events
