#pragma once
// The one seam through which the picture editors ask for a file, so tests choose one
// without a modal file dialog.

#include <QString>
#include <functional>

class QWidget;

struct FileRequest {
  QWidget* owner = nullptr;  // not owned; may be null
  QString filter;            // Qt form: "bmp파일(*.bmp);;모든파일(*.*)"
  QString defaultSuffix;     // without the dot
};

// The chosen path, empty when the operator cancelled.
using FileChooser = std::function<QString(const FileRequest&)>;

// Asks the installed chooser, by default a modal file-open dialog.
QString ChooseOpenFile(const FileRequest& request);

// Replaces the file dialog with `chooser` (null restores it); returns the previous one.
FileChooser SetFileChooser(FileChooser chooser);
