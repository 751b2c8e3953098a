#include "manager/transfer/verify.h"

#include <algorithm>

#include "manager/link/frame.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"

namespace transfer {

namespace {

using signlink::Result;

VerifyOutcome PictureFailure(encode::ItemStatus status) {
  return status == encode::ItemStatus::AreaFull ? VerifyOutcome::kPictureTooLarge
                                                : VerifyOutcome::kPictureUnreadable;
}

void SetPictureFailure(VerifyReport& report, encode::ItemStatus status, int item,
                       const item::ItemRecord& record) {
  report.outcome = PictureFailure(status);
  report.item = item;
  report.picturePath = text::Cp949ToUtf8(text::ReadTextQuarter(record.body.textA));
}

}  // namespace

VerifyReport Verify(signlink::SignLink& link, std::span<const item::ItemRecord> list,
                    const VerifyOptions& options, const Progress& progress,
                    encode::PictureSource& pictures) {
  VerifyReport report;
  const std::size_t n = std::min(list.size(), static_cast<std::size_t>(board::kMaxItems));
  list = list.first(n);
  report.itemCount = static_cast<int>(n);

  const Plan plan = PlanDownload(list, pictures);
  if (plan.badItem >= 0) {
    SetPictureFailure(report, plan.badStatus, plan.badItem,
                      list[static_cast<std::size_t>(plan.badItem)]);
    return report;
  }
  if (options.checkModel) {
    switch (signlink::CheckModel(link)) {
      case signlink::ModelCheck::kRightModel:
        break;
      case signlink::ModelCheck::kUnreachable:
        report.outcome = VerifyOutcome::kUnreachable;
        return report;
      case signlink::ModelCheck::kOtherModel:
        report.outcome = VerifyOutcome::kOtherModel;
        return report;
    }
  }

  if (n > 0 && progress.begin) progress.begin(plan.total);
  struct EndProgress {
    const Progress& p;
    bool begun;
    ~EndProgress() {
      if (begun && p.end) p.end();
    }
  } endProgress{progress, n > 0};
  const auto cancelled = [&] {
    if (!progress.cancelled || !progress.cancelled()) return false;
    report.outcome = VerifyOutcome::kCancelled;
    return true;
  };

  std::vector<std::uint8_t> got(board::kMaxWriteBytes);
  encode::ProgramLayout layout(pictures);
  for (std::size_t i = 0; i < n; ++i) {
    const int index = static_cast<int>(i);
    const encode::ItemLayout item = layout.Next(list[i]);
    if (item.status == encode::ItemStatus::UnknownKind) continue;  // a download sends nothing
    if (item.status != encode::ItemStatus::Ok) {  // the file changed since it was planned
      SetPictureFailure(report, item.status, index, list[i]);
      return report;
    }
    bool differs = false;
    const bool whole = encode::ForEachWrite(item, [&](const encode::MemoryWrite& w) {
      if (cancelled()) return false;
      const auto size = static_cast<std::uint16_t>(w.bytes.size());
      report.code = link.SendAndRead(signlink::BuildMemoryRead(w.address, size), got.data(), size);
      if (report.code != Result::kOk) {
        report.outcome = VerifyOutcome::kReadFailed;
        return false;
      }
      const auto mine = std::mismatch(w.bytes.begin(), w.bytes.end(), got.begin()).first;
      if (mine != w.bytes.end()) {
        // The rest of the item cannot make it the same again.
        report.differences.push_back(
            {index, item.header.kind(),
             w.address + static_cast<std::uint32_t>(mine - w.bytes.begin())});
        differs = true;
        return false;
      }
      if (w.step && progress.step) progress.step(index);
      return true;
    });
    if (!whole && !differs) return report;
    if (differs && options.stopAtFirst) {
      report.outcome = VerifyOutcome::kDiffers;
      return report;
    }
  }

  if (cancelled()) return report;
  std::uint8_t count[2] = {};
  report.code = link.SendAndRead(signlink::BuildMemoryRead(board::kItemCount, 2), count, 2);
  if (report.code != Result::kOk) {
    report.outcome = VerifyOutcome::kReadFailed;
    return report;
  }
  report.signCount = board::Get16(count);
  report.countDiffers = report.signCount != n;
  report.outcome = report.differences.empty() && !report.countDiffers ? VerifyOutcome::kSame
                                                                      : VerifyOutcome::kDiffers;
  return report;
}

Message MessageFor(const VerifyReport& r) {
  const std::string failed = "확인실패";
  const std::string nth = std::to_string(r.item + 1) + "번째 항목";
  switch (r.outcome) {
    case VerifyOutcome::kSame:
      return {"전광판이 프로젝트와 같습니다", "확인완료"};
    case VerifyOutcome::kDiffers:
      return {"전광판이 프로젝트와 다릅니다", "확인완료"};
    case VerifyOutcome::kUnreachable:
      return {"전광판과의 연결상태를 확인해주세요!...", failed};
    case VerifyOutcome::kOtherModel:
      return {"전광판모델이 다릅니다", failed};
    case VerifyOutcome::kReadFailed:
      return {"전광판에서 읽지 못했습니다\n" + signlink::ResultText(r.code), failed};
    case VerifyOutcome::kPictureUnreadable:
      return {nth + "의 그림 파일을 읽을 수 없습니다\n" + r.picturePath, failed};
    case VerifyOutcome::kPictureTooLarge:
      return {nth + "의 그림이 전광판 메모리에 들어가지 않습니다\n" + r.picturePath, failed};
    case VerifyOutcome::kCancelled:
      return {"확인을 취소했습니다", "확인취소"};
  }
  return {"전광판에서 읽지 못했습니다", failed};
}

}  // namespace transfer
