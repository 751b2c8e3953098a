// "이벤트 추가": the event list dialog over the work store's event slots, sending through
// the link the transmit option selects and stepping the main frame's progress display.
#include "manager/app/brellion_view.h"
#include "manager/app/commands.h"
#include "manager/app/main_frame.h"
#include "manager/events/event_send.h"
#include "manager/events/ui/event_list_dlg.h"
#include "manager/store/work_store.h"

namespace {

class FrameProgress : public events::Progress {
 public:
  explicit FrameProgress(CMainFrame* frame) : frame_(frame) {}
  void Begin(int total) override {
    if (frame_) frame_->BeginProgress(total);
  }
  void Step() override {
    if (frame_) frame_->StepProgress();
  }
  void End() override {
    if (frame_) frame_->EndProgress();
  }

 private:
  CMainFrame* frame_;
};

}  // namespace

void CBrellionView::InstallEventCommands() {
  Install(cmd::kAddEvent, {.run =
                               [this] {
                                 FrameProgress progress(frame_);
                                 CEventListDlg dlg(store::TheWorkStore(), Link(), &progress, this);
                                 dlg.exec();
                               },
                           .talksToSign = true});
}
