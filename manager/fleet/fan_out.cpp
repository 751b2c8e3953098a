#include "manager/fleet/fan_out.h"

#include <algorithm>

namespace fleet {

// A job's window on the fan-out: its steps become whole percentages, and only a change of
// the percentage is told, so a long download does not flood the listener.
class FanOut::Context : public JobContext {
 public:
  Context(FanOut& owner, std::size_t index) : owner_(owner), index_(index) {}

  void Begin(int total) override {
    total_ = total;
    done_ = 0;
  }
  void Step(int) override {
    ++done_;
    const int percent = total_ > 0 ? static_cast<int>(std::min(done_, total_) * 100LL / total_) : 0;
    if (percent == percent_) return;
    percent_ = percent;
    owner_.Tell({index_, SignState::kRunning, percent, {}});
  }
  bool Cancelled() override {
    std::lock_guard lock(owner_.mutex_);
    return owner_.cancelled_;
  }

 private:
  FanOut& owner_;
  std::size_t index_;
  int total_ = 0;
  int done_ = 0;
  int percent_ = 0;
};

signlink::Outcome NotStarted() {
  return {false, "취소되어 보내지 않았습니다", "취소"};
}

FanOut::FanOut(std::vector<Sign> signs, int jobs, LinkMaker maker, Job job, Listener listener)
    : signs_(std::move(signs)),
      maker_(std::move(maker)),
      job_(std::move(job)),
      listener_(std::move(listener)),
      states_(signs_.size(), SignState::kWaiting),
      outcomes_(signs_.size()) {
  for (const Sign& s : signs_) devices_.push_back(DeviceKey(s.address));
  const std::size_t workers =
      std::min(signs_.size(), static_cast<std::size_t>(jobs > 0 ? jobs : kDefaultJobs));
  workers_.reserve(workers);
  for (std::size_t i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
}

FanOut::~FanOut() {
  Cancel();
  Wait();
}

void FanOut::Cancel() {
  std::vector<std::size_t> dropped;
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    for (std::size_t i = 0; i < states_.size(); ++i) {
      if (states_[i] != SignState::kWaiting) continue;
      states_[i] = SignState::kCancelled;
      outcomes_[i] = NotStarted();
      dropped.push_back(i);
    }
  }
  freed_.notify_all();
  for (std::size_t i : dropped) Tell({i, SignState::kCancelled, 0, NotStarted()});
}

void FanOut::Wait() {
  for (std::jthread& w : workers_)
    if (w.joinable()) w.join();
}

std::vector<SignState> FanOut::States() const {
  std::lock_guard lock(mutex_);
  return states_;
}

std::vector<signlink::Outcome> FanOut::Outcomes() const {
  std::lock_guard lock(mutex_);
  return outcomes_;
}

bool FanOut::AnyWaiting() const {
  return std::find(states_.begin(), states_.end(), SignState::kWaiting) != states_.end();
}

std::ptrdiff_t FanOut::Next() const {
  for (std::size_t i = 0; i < states_.size(); ++i) {
    if (states_[i] == SignState::kWaiting && (devices_[i].empty() || !busy_.contains(devices_[i])))
      return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

void FanOut::Work() {
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock lock(mutex_);
      std::ptrdiff_t next = -1;
      // Sleeps while every waiting sign's serial device is in use by another job.
      freed_.wait(lock, [&] { return (next = Next()) >= 0 || !AnyWaiting(); });
      if (next < 0) return;
      index = static_cast<std::size_t>(next);
      states_[index] = SignState::kRunning;
      if (!devices_[index].empty()) busy_.insert(devices_[index]);
    }
    Tell({index, SignState::kRunning, 0, {}});
    const signlink::Outcome outcome = RunOne(index);
    const SignState state = outcome.ok ? SignState::kSucceeded : SignState::kFailed;
    {
      std::lock_guard lock(mutex_);
      states_[index] = state;
      outcomes_[index] = outcome;
      if (!devices_[index].empty()) busy_.erase(devices_[index]);
    }
    freed_.notify_all();
    Tell({index, state, 100, outcome});
  }
}

signlink::Outcome FanOut::RunOne(std::size_t index) {
  Context context(*this, index);
  // Made and dropped on this thread: the transports belong to the thread that made them.
  OpenedLink opened = maker_(signs_[index]);
  if (!opened.link) return opened.failure;
  return job_(*opened.link, signs_[index], context);
}

void FanOut::Tell(const Update& update) {
  if (!listener_) return;
  std::lock_guard lock(tellMutex_);
  listener_(update);
}

}  // namespace fleet
