#include "manager/link/board_commands.h"

#include <ctime>

#include "shared/board_memory.h"

namespace signlink {

namespace {

constexpr const char* kSendFailed = "전송실패";
constexpr const char* kOkCaption = "OK...";

Outcome Failed(Result r, const char* caption = kSendFailed) {
  return {false, ResultText(r), caption};
}

// A memory write of the bytes at `address`, then the apply command.
Outcome WriteAndApply(SignLink& link, std::uint32_t address, const std::uint8_t* bytes,
                      std::size_t n, const char* okText) {
  if (auto failure = ModelCheckFailure(link)) return *failure;
  if (const Result r = link.SendAndWait(BuildMemoryWrite(address, bytes, n)); r != Result::kOk)
    return Failed(r);
  if (const Result r = link.SendAndWait(BuildApply()); r != Result::kOk) return Failed(r);
  return {true, okText, kOkCaption};
}

}  // namespace

std::optional<Outcome> ModelCheckFailure(SignLink& link) {
  switch (CheckModel(link)) {
    case ModelCheck::kRightModel:
      return std::nullopt;
    case ModelCheck::kUnreachable:
      return Outcome{false, "전광판과의 연결상태를 확인해주세요!...", kSendFailed};
    case ModelCheck::kOtherModel:
      break;
  }
  return Outcome{false, "전광판모델이 다릅니다", kSendFailed};
}

Outcome SendBrightness(SignLink& link, std::uint8_t mode, std::uint8_t day, std::uint8_t night) {
  if (auto failure = ModelCheckFailure(link)) return *failure;
  const std::uint8_t data[3] = {mode, day, night};
  if (const Result r = link.SendAndWait(BuildMemoryWrite(board::kBrightMode, data, 3));
      r != Result::kOk)
    return Failed(r);
  return {true, "LED밝기 적용OK...", kOkCaption};
}

ClockTime LocalNow() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

Outcome SendClock(SignLink& link, const std::function<ClockTime()>& now) {
  if (auto failure = ModelCheckFailure(link)) return *failure;
  const ClockTime c = now();
  const Result r =
      link.SendAndWait(BuildClockSet(c.year, c.month, c.day, c.hour, c.minute, c.second));
  if (r != Result::kOk) return Failed(r, "설정실패");
  return {true, "시각설정 완료", "설정완료"};
}

Outcome SendWindowMode(SignLink& link, std::uint8_t mode) {
  return WriteAndApply(link, board::kWindowMode, &mode, 1, "표출시간설정 OK...");
}

Outcome SendBoardSize(SignLink& link, std::uint8_t width, std::uint8_t height) {
  const std::uint8_t data[2] = {width, height};
  return WriteAndApply(link, board::kWidth, data, 2, "규격 적용OK...");
}

Outcome SendConnection(SignLink& link, std::uint8_t flag) {
  return WriteAndApply(link, board::kConnection, &flag, 1, "연결설정 OK...");
}

Outcome SendNews(SignLink& link, const std::array<std::uint8_t, 8>& flags) {
  std::uint8_t sent[8];
  for (std::size_t i = 0; i < 8; ++i) sent[i] = flags[i] != 0 ? 1 : 0;
  if (link.SendAndWait(BuildNews(sent)) != Result::kOk)
    return {false, "뉴스항목설정 FAIL...", kSendFailed};
  return {true, "뉴스항목설정 OK...", "전송완료"};
}

}  // namespace signlink
