#pragma once
// A fan-out run whose updates arrive as signals on the thread that started it, so the
// windows never wait for a sign.

#include <QObject>
#include <memory>
#include <vector>

#include "manager/fleet/fan_out.h"

class CFleetRun : public QObject {
  Q_OBJECT
 public:
  // Starts at once, each sign over the links of fleet::OpenSignLink.
  CFleetRun(std::vector<fleet::Sign> signs, fleet::Job job, QObject* parent = nullptr);
  // Cancels and waits for the workers; no signal comes after.
  ~CFleetRun() override;

  void Cancel() { fan_->Cancel(); }
  const std::vector<fleet::Sign>& Signs() const { return signs_; }

 signals:
  void Updated(const fleet::Update& update);
  // Every sign has ended.
  void Finished();

 private:
  void OnUpdate(const fleet::Update& update);

  std::vector<fleet::Sign> signs_;
  std::size_t ended_ = 0;
  std::unique_ptr<fleet::FanOut> fan_;  // last: gone before the rest
};
