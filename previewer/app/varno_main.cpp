#include "previewer/app/varno_main.h"

#include "previewer/app/main_frame.h"
#include "previewer/app/varno_view.h"

int VarnoMain(QApplication& app, const QString& exeDir) {
  varno::CMainFrame frame;
  if (!frame.view()->Start(exeDir)) return 0;
  frame.show();
  const int status = app.exec();
  frame.view()->Stop();
  return status;
}
