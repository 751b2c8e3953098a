#include "manager/app/brellion_app.h"

int main(int argc, char** argv) {
  CBrellionApp app(argc, argv);
  // A start that fails has shown its reason; it still ends with status 0.
  if (!app.InitInstance()) return 0;
  return app.exec();
}
