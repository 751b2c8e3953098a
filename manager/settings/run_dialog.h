#pragma once
// The one place the settings dialogs are run modally, so tests can answer them in place:
// the runner gets the prepared dialog and says whether it was confirmed.

#include <functional>

class QDialog;

using DialogRunner = std::function<bool(QDialog& dialog)>;

// Runs the dialog (exec, or the installed runner); true when it was confirmed.
bool RunDialog(QDialog& dialog);
// Installs a runner (null restores exec); returns the previous one.
DialogRunner SetDialogRunner(DialogRunner runner);
