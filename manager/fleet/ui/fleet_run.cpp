#include "manager/fleet/ui/fleet_run.h"

#include "manager/fleet/qt/open_sign_link.h"

CFleetRun::CFleetRun(std::vector<fleet::Sign> signs, fleet::Job job, QObject* parent)
    : QObject(parent), signs_(std::move(signs)) {
  fan_ = std::make_unique<fleet::FanOut>(
      signs_, 0, fleet::OpenSignLink, std::move(job), [this](const fleet::Update& u) {
        // Queued to this object: a run destroyed first joins its workers, and what they
        // posted goes with it.
        QMetaObject::invokeMethod(
            this, [this, u] { OnUpdate(u); }, Qt::QueuedConnection);
      });
}

CFleetRun::~CFleetRun() {
  fan_.reset();
}

void CFleetRun::OnUpdate(const fleet::Update& update) {
  emit Updated(update);
  const bool ended =
      update.state != fleet::SignState::kWaiting && update.state != fleet::SignState::kRunning;
  if (ended && ++ended_ == signs_.size()) emit Finished();
}
