#pragma once
// Pieces the bitmap and animation editors share: the open-button row with the file name,
// the preview box, and the refusal box of a picture check.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "manager/editors/file_chooser.h"
#include "manager/encode/import_checks.h"

class CLedPreview;
class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

struct PictureControls {
  QPushButton* open = nullptr;
  QLabel* fileName = nullptr;
  CLedPreview* preview = nullptr;
};

// Adds the button row and the "미리보기" box to `column`.
PictureControls AddPictureControls(QWidget* dialog, QBoxLayout* column, const QString& openText);

// The file name of a stored CP949 path, as the label shows it: the part after the last
// slash or backslash.
QString FileNameOf(std::string_view cp949Path);

// The message box of a refusal (nothing for Ok).
void ShowRefusal(QWidget* owner, encode::ImportResult r);

// Asks for a picture file and returns the CP949 path an item stores: nullopt when the operator
// cancelled, an empty path (its refusal already shown) when the path cannot be stored.
std::optional<std::string> ChoosePictureFile(const FileRequest& request);
