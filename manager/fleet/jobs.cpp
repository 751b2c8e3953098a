#include "manager/fleet/jobs.h"

#include <memory>

#include "manager/events/event_send.h"
#include "manager/transfer/download.h"
#include "manager/transfer/verify.h"

namespace fleet {

namespace {

signlink::Outcome FromEvents(const events::Outcome& o) {
  return {o.result == signlink::Result::kOk, o.message.text, o.message.caption};
}

// The event send's progress display, onto the job's steps.
class EventSteps : public events::Progress {
 public:
  explicit EventSteps(JobContext& ctx) : ctx_(ctx) {}
  void Begin(int total) override { ctx_.Begin(total); }
  void Step() override { ctx_.Step(-1); }
  void End() override {}

 private:
  JobContext& ctx_;
};

transfer::Progress StepsOf(JobContext& ctx) {
  return {
      .begin = [&ctx](int total) { ctx.Begin(total); },
      .step = [&ctx](int item) { ctx.Step(item); },
      .end = {},
      .cancelled = [&ctx] { return ctx.Cancelled(); },
  };
}

}  // namespace

Job SendProgramJob(std::vector<item::ItemRecord> list, std::uint8_t rowsCode) {
  // Shared read-only by every worker.
  auto program = std::make_shared<const std::vector<item::ItemRecord>>(std::move(list));
  return [program, rowsCode](signlink::SignLink& link, const Sign& sign, JobContext& ctx) {
    const transfer::Progress progress = StepsOf(ctx);
    const std::uint8_t rows = sign.size ? sign.size->height : rowsCode;
    const transfer::Report report = transfer::Download(link, *program, rows, progress);
    const transfer::Message m = transfer::MessageFor(report);
    return signlink::Outcome{report.outcome == transfer::Outcome::kDone, m.text, m.caption};
  };
}

Job VerifyJob(std::vector<item::ItemRecord> list) {
  auto program = std::make_shared<const std::vector<item::ItemRecord>>(std::move(list));
  return [program](signlink::SignLink& link, const Sign&, JobContext& ctx) {
    encode::FilePictures pictures;  // per worker: it is not shared between threads
    const transfer::VerifyReport report =
        transfer::Verify(link, *program, {}, StepsOf(ctx), pictures);
    const transfer::Message m = transfer::MessageFor(report);
    return signlink::Outcome{report.outcome == transfer::VerifyOutcome::kSame, m.text, m.caption};
  };
}

Job ClockJob() {
  return
      [](signlink::SignLink& link, const Sign&, JobContext&) { return signlink::SendClock(link); };
}

Job EventJob(item::ItemRecord event) {
  return [event](signlink::SignLink& link, const Sign&, JobContext& ctx) {
    EventSteps steps(ctx);
    return FromEvents(events::SendEvent(link, event, &steps));
  };
}

Job EventCancelJob() {
  return [](signlink::SignLink& link, const Sign&, JobContext&) {
    return FromEvents(events::CancelEvent(link));
  };
}

Job ModelCheckJob() {
  return [](signlink::SignLink& link, const Sign&, JobContext&) {
    if (auto failure = signlink::ModelCheckFailure(link)) return *failure;
    return signlink::Outcome{true, kModelOkText, "OK..."};
  };
}

}  // namespace fleet
