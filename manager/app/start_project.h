#pragma once
// A project named on the command line (as a file manager opens a ".dat" file).

#include <QString>

class CBrellionView;

// Loads path as "불러오기" would. A path that names nothing is not made into a new project:
// a box names it and the view stays on the work store it started with. False when nothing
// was loaded.
bool OpenStartProject(CBrellionView& view, const QString& path);
