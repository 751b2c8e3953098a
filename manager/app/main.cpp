#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/main_frame.h"

int main(int argc, char** argv) {
  CBrellionApp app(argc, argv);
  // A start that fails has shown its reason; it still ends with status 0.
  if (!app.InitInstance(false)) return 0;
  // A project named on the command line (as a file manager opens a ".dat" file) loads as
  // "불러오기" would; the start itself is the usual one on the scratch store.
  const QStringList args = app.arguments();
  if (args.size() == 2) app.View()->LoadProject(args.at(1));
  app.MainFrame()->show();
  return app.exec();
}
