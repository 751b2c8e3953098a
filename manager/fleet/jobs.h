#pragma once
// The commands that go to many signs, as fan-out jobs: each runs the single-sign sequence
// over the sign's own link and ends with the single-sign command's message.

#include <cstdint>
#include <vector>

#include "manager/fleet/fan_out.h"
#include "shared/item_record.h"

namespace fleet {

// The download of `list` (held by the job). The rows code a sign must already hold is its
// book size's height, or `rowsCode` (1 or 2) for a sign without one.
Job SendProgramJob(std::vector<item::ItemRecord> list, std::uint8_t rowsCode);
// The clock set, with the model check first.
Job ClockJob();
// The event's three blocks and the start command, without a model check.
Job EventJob(item::ItemRecord event);
Job EventCancelJob();
// The read-back comparison of the sign with `list` (held by the job), writing nothing;
// a sign that holds another program fails with the comparison's message.
Job VerifyJob(std::vector<item::ItemRecord> list);
// The model check alone; success reads kModelOkText.
Job ModelCheckJob();

inline constexpr const char* kModelOkText = "전광판 확인OK...";

}  // namespace fleet
