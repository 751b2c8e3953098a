#pragma once
// One command to many signs at once. Each sign's job runs on a worker thread with a link
// of its own, made and destroyed on that thread; at most `jobs` run together and never two
// on one serial device. A sign that fails, times out or answers as another model leaves the
// others running. The transports come from the caller's link maker, so this stays Qt-free.

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "manager/fleet/sign_book.h"
#include "manager/link/board_commands.h"
#include "manager/link/sign_link.h"

namespace fleet {

// What a job tells while it runs; called on its worker thread.
class JobContext {
 public:
  virtual ~JobContext() = default;
  virtual void Begin(int total) = 0;  // the job's steps
  virtual void Step(int item) = 0;    // one step done; item: list position, or -1
  virtual bool Cancelled() = 0;       // the job stops before its next frame when true
};

// Runs a command on one sign over `link`; the outcome's texts are what the single-sign
// command shows.
using Job =
    std::function<signlink::Outcome(signlink::SignLink& link, const Sign& sign, JobContext& ctx)>;

// The link to a sign, made on the calling thread; without one, the failure to report
// (a serial port that does not open).
struct OpenedLink {
  std::unique_ptr<signlink::SignLink> link;
  signlink::Outcome failure;
};
using LinkMaker = std::function<OpenedLink(const Sign& sign)>;

enum class SignState { kWaiting, kRunning, kSucceeded, kFailed, kCancelled };

// A change of one sign's row. percent: of the job's steps while running; outcome: once
// it has ended (kSucceeded, kFailed, kCancelled).
struct Update {
  std::size_t index = 0;
  SignState state = SignState::kWaiting;
  int percent = 0;
  signlink::Outcome outcome;
};
using Listener = std::function<void(const Update& update)>;

// Enough for a large fleet, few enough that the descriptors never run out.
inline constexpr int kDefaultJobs = 64;

// What a sign that was cancelled before its turn reports.
signlink::Outcome NotStarted();

class FanOut {
 public:
  // Starts at once. jobs <= 0: kDefaultJobs. The listener is called on the worker threads
  // (and on Cancel's caller), never two calls at a time, never after Wait has returned.
  FanOut(std::vector<Sign> signs, int jobs, LinkMaker maker, Job job, Listener listener);
  // Cancels and waits.
  ~FanOut();
  FanOut(const FanOut&) = delete;
  FanOut& operator=(const FanOut&) = delete;

  // Signs still waiting never start; running jobs see it before their next frame.
  void Cancel();
  // Returns when every sign has ended.
  void Wait();
  // Each sign's state and outcome, in the order given; final once Wait has returned.
  std::vector<SignState> States() const;
  std::vector<signlink::Outcome> Outcomes() const;

 private:
  class Context;

  void Work();
  // Under mutex_: the first waiting sign whose serial device is free, or none.
  std::ptrdiff_t Next() const;
  bool AnyWaiting() const;
  void Tell(const Update& update);
  signlink::Outcome RunOne(std::size_t index);

  const std::vector<Sign> signs_;
  std::vector<std::string> devices_;  // DeviceKey of each sign
  LinkMaker maker_;
  Job job_;
  Listener listener_;

  mutable std::mutex mutex_;
  std::condition_variable freed_;
  std::vector<SignState> states_;
  std::vector<signlink::Outcome> outcomes_;
  std::set<std::string> busy_;  // serial devices in use
  bool cancelled_ = false;

  std::mutex tellMutex_;
  std::vector<std::jthread> workers_;  // last: joined before the rest goes
};

}  // namespace fleet
