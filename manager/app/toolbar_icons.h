#pragma once
// Our own 32 x 32 toolbar pictures, drawn at run time so no image files are needed.

#include <QIcon>

QIcon ToolbarIcon(int commandId);
