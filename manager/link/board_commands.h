#pragma once
// The board settings commands as sequences over the link: each checks the sign's model
// first (except the news), sends its frames, stops at the first failure and returns the
// message box the operator is to see. Texts are UTF-8.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "manager/link/sign_link.h"

namespace signlink {

// What a command ends with: the message and its caption; ok when the sign acknowledged
// every frame.
struct Outcome {
  bool ok = false;
  std::string text;
  std::string caption;
};

// The opening of every sending command and of the download: nothing when a sign of this
// model answers, otherwise the "전송실패" message to show (and nothing more is sent).
std::optional<Outcome> ModelCheckFailure(SignLink& link);

// Brightness mode and the day and night level indices, written at 0x02000B; no apply.
Outcome SendBrightness(SignLink& link, std::uint8_t mode, std::uint8_t day, std::uint8_t night);

// The PC's local date and time: year, month 1-12, day 1-31, hour 0-23, minute, second.
struct ClockTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
ClockTime LocalNow();
// The clock set command with the time `now` gives, read once after the model check.
Outcome SendClock(SignLink& link, const std::function<ClockTime()>& now = LocalNow);

// Display-window mode at 0x02000A, then apply.
Outcome SendWindowMode(SignLink& link, std::uint8_t mode);
// Width (modules) and height (tiers) at 0x020008, then apply.
Outcome SendBoardSize(SignLink& link, std::uint8_t width, std::uint8_t height);
// Connection flag at 0x020011, then apply.
Outcome SendConnection(SignLink& link, std::uint8_t flag);
// The eight news flags as stored (each sent as 0 or 1); no model check.
Outcome SendNews(SignLink& link, const std::array<std::uint8_t, 8>& flags);

}  // namespace signlink
