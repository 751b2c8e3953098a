#include "manager/transfer/download.h"

#include <algorithm>

#include "manager/link/frame.h"
#include "manager/store/work_store.h"
#include "manager/transfer/picture_cache.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"

namespace transfer {

namespace {

using signlink::Result;

std::string PicturePath(const item::ItemRecord& record) {
  return text::Cp949ToUtf8(text::ReadTextQuarter(record.body.textA));
}

Outcome PictureOutcome(encode::ItemStatus status) {
  return status == encode::ItemStatus::AreaFull ? Outcome::kPictureTooLarge
                                                : Outcome::kPictureUnreadable;
}

class Run {
 public:
  Run(signlink::SignLink& link, const Progress& progress) : link_(link), progress_(progress) {}

  Report report;

  bool Cancelled() {
    if (progress_.cancelled && progress_.cancelled()) {
      report.outcome = Outcome::kCancelled;
      return true;
    }
    return false;
  }

  Result Write(const encode::MemoryWrite& w) {
    ++report.frames;
    return link_.SendAndWait(signlink::BuildMemoryWrite(w.address, w.bytes.data(), w.bytes.size()));
  }

  Result Send(const signlink::Frame& frame) {
    ++report.frames;
    return link_.SendAndWait(frame);
  }

  Result Read(const signlink::Frame& frame, std::uint8_t* out, std::size_t n) {
    ++report.frames;
    return link_.SendAndRead(frame, out, n);
  }

  void Step(int item) {
    ++report.steps;
    if (progress_.step) progress_.step(item);
  }

 private:
  signlink::SignLink& link_;
  const Progress& progress_;
};

}  // namespace

Plan PlanDownload(std::span<const item::ItemRecord> list, encode::PictureSource& pictures) {
  Plan plan;
  encode::ProgramLayout layout(pictures);
  const std::size_t n = std::min(list.size(), static_cast<std::size_t>(board::kMaxItems));
  for (std::size_t i = 0; i < n; ++i) {
    const encode::ItemLayout item = layout.Next(list[i]);
    if (item.status == encode::ItemStatus::UnknownKind) continue;
    if (item.status != encode::ItemStatus::Ok && plan.badItem < 0) {
      plan.badItem = static_cast<int>(i);
      plan.badStatus = item.status;
    }
    plan.total += encode::DownloadSteps(item);
  }
  return plan;
}

Report Download(signlink::SignLink& link, std::span<const item::ItemRecord> list,
                std::uint8_t rowsCode, const Progress& progress, encode::PictureSource& source) {
  PictureCache pictures(source);
  Run run(link, progress);
  Report& report = run.report;
  const std::size_t n = std::min(list.size(), static_cast<std::size_t>(board::kMaxItems));
  list = list.first(n);

  // Every picture is read before the sign is touched: a file gone missing fails the
  // download with nothing sent, never with a header that names a wrong address.
  const Plan plan = PlanDownload(list, pictures);
  if (plan.badItem >= 0) {
    report.outcome = PictureOutcome(plan.badStatus);
    report.item = plan.badItem;
    report.picturePath = PicturePath(list[static_cast<std::size_t>(plan.badItem)]);
    return report;
  }

  ++report.frames;
  switch (signlink::CheckModel(link)) {
    case signlink::ModelCheck::kRightModel:
      break;
    case signlink::ModelCheck::kUnreachable:
      report.outcome = Outcome::kUnreachable;
      return report;
    case signlink::ModelCheck::kOtherModel:
      report.outcome = Outcome::kOtherModel;
      return report;
  }

  std::uint8_t rows = 0;
  report.code = run.Read(signlink::BuildMemoryRead(board::kRowsCode, 1), &rows, 1);
  if (report.code != Result::kOk) {
    report.outcome = Outcome::kHeightUnreadable;
    return report;
  }
  if (rows != rowsCode) {
    report.outcome = Outcome::kHeightMismatch;
    return report;
  }

  report.total = plan.total;
  if (n > 0 && progress.begin) progress.begin(plan.total);
  struct EndProgress {
    const Progress& p;
    ~EndProgress() {
      if (p.end) p.end();
    }
  } endProgress{progress};

  encode::ProgramLayout layout(pictures);
  for (std::size_t i = 0; i < n; ++i) {
    const int index = static_cast<int>(i);
    const encode::ItemLayout item = layout.Next(list[i]);
    if (item.status == encode::ItemStatus::UnknownKind) continue;  // nothing is sent for it
    if (item.status != encode::ItemStatus::Ok) {  // the file changed since it was planned
      report.outcome = PictureOutcome(item.status);
      report.item = index;
      report.picturePath = PicturePath(list[i]);
      return report;
    }
    const bool sent = encode::ForEachWrite(item, [&](const encode::MemoryWrite& w) {
      if (run.Cancelled()) return false;
      report.code = run.Write(w);
      if (report.code != Result::kOk) {
        report.outcome = Outcome::kItemFailed;
        return false;
      }
      // An animation frame of several writes steps once, after its last one.
      if (w.step) run.Step(index);
      return true;
    });
    if (!sent) {
      report.item = index;
      return report;
    }
  }

  if (run.Cancelled()) return report;
  report.code = run.Write(encode::CountWrite(static_cast<int>(n)));
  if (report.code != Result::kOk) {
    report.outcome = Outcome::kCountFailed;
    return report;
  }
  if (run.Cancelled()) return report;
  report.code = run.Send(signlink::BuildApply());
  if (report.code != Result::kOk) {
    report.outcome = Outcome::kApplyFailed;
    return report;
  }
  report.outcome = Outcome::kDone;
  return report;
}

Report Download(signlink::SignLink& link, std::span<const item::ItemRecord> list,
                std::uint8_t rowsCode, const Progress& progress) {
  encode::FilePictures files;
  return Download(link, list, rowsCode, progress, files);
}

std::vector<item::ItemRecord> ReadProgram(store::WorkStore& store) {
  const std::size_t n = store.ReadList().size();
  std::vector<item::ItemRecord> list;
  list.reserve(n);
  for (std::size_t i = 0; i < n; ++i) list.push_back(store.ReadRecord(static_cast<int>(i)));
  return list;
}

Message MessageFor(const Report& r) {
  const std::string failed = "전송 실패 했습니다";
  const std::string nth = std::to_string(r.item + 1) + "번째 항목";
  switch (r.outcome) {
    case Outcome::kDone:
      return {"전송 완료 했습니다", "전송완료"};
    case Outcome::kUnreachable:
      return {"전광판과의 연결상태를 확인해주세요!...", "전송실패"};
    case Outcome::kOtherModel:
      return {"전광판모델이 다릅니다", "전송실패"};
    case Outcome::kHeightUnreadable:
      return {"단말기와 통신할수 없습니다", "통신실패"};
    case Outcome::kHeightMismatch:
      return {"단말기와 높이가맞지않습니다\n높이를 맞춘후에 전송해주세요", "높이틀림"};
    case Outcome::kItemFailed:
      return {failed, "전송실패"};
    case Outcome::kPictureUnreadable:
      return {failed + "\n" + nth + "의 그림 파일을 읽을 수 없습니다\n" + r.picturePath, "전송실패"};
    case Outcome::kPictureTooLarge:
      return {failed + "\n" + nth + "의 그림이 전광판 메모리에 들어가지 않습니다\n" + r.picturePath,
              "전송실패"};
    case Outcome::kCountFailed:
    case Outcome::kApplyFailed:
      return {signlink::ResultText(r.code), "전송실패"};
    case Outcome::kCancelled:
      return {"전송을 취소했습니다\n전광판의 항목 수는 바뀌지 않았습니다", "전송취소"};
  }
  return {failed, "전송실패"};
}

}  // namespace transfer
