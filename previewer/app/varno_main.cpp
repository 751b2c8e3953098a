#include "previewer/app/varno_main.h"

#include "previewer/app/main_frame.h"
#include "previewer/app/varno_view.h"
#include "qtshared/app_start.h"

int VarnoMain(QApplication& app, const QString& exeDir, const QString& previewDir) {
  UseKoreanInterface(app);
  varno::CMainFrame frame;
  if (!frame.view()->Start(exeDir, previewDir)) return 0;
  frame.show();
  CloseAfterEnvDelay(&frame);
  const int status = app.exec();
  frame.view()->Stop();
  return status;
}
