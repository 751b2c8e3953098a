#pragma once
// The previewer's start: the main window, then the files beside the executable; a missing
// preview file or font ends the program with exit status 0 after its message.

#include <QApplication>
#include <QString>

// exeDir: the executable's folder ending in '/', which holds font/; previewDir: the folder
// holding preview.tmp (empty: exeDir). Returns the process exit status.
int VarnoMain(QApplication& app, const QString& exeDir, const QString& previewDir = QString());
