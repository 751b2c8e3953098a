#pragma once
// Pushing an event onto the sign and withdrawing it. The event goes as three event blocks
// (header, text quarter, attribute quarter) and the start command, each acknowledged
// before the next; the first failure ends the sequence. No model check comes first.

#include <array>

#include "manager/events/event_list.h"
#include "manager/link/sign_link.h"
#include "shared/item_record.h"

namespace events {

inline constexpr int kSendSteps = 3;  // one progress step per acknowledged block

// Where a send reports its progress (the main frame's progress display).
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void Begin(int total) = 0;
  virtual void Step() = 0;
  virtual void End() = 0;
};

// Block 0 (the 32-byte header, 39 bytes), blocks 1 and 2 (text and attribute quarters,
// 2055 bytes each) and the start frame, in sending order.
std::array<signlink::Frame, 4> EventFrames(const item::ItemRecord& event);
signlink::Frame CancelFrame();

struct Outcome {
  signlink::Result result = signlink::Result::kOk;
  Message message;  // what to show, success or failure
};

// Sends the event's frames through link.SendAndWait. Progress (may be null) begins with
// kSendSteps, steps after each acknowledged block and ends in every case.
Outcome SendEvent(signlink::SignLink& link, const item::ItemRecord& event, Progress* progress);
// Ends event mode on the sign.
Outcome CancelEvent(signlink::SignLink& link);

}  // namespace events
