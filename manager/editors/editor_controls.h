#pragma once
// Controls the item editors share: option lists whose position is the stored code, the
// display-window time pickers, the OK/Cancel row and the checks made on OK.

#include <QString>
#include <array>
#include <string_view>

#include "shared/item_record.h"

class QComboBox;
class QDialog;
class QDialogButtonBox;
class QGridLayout;
class QTimeEdit;
class QWidget;
class CTextPane;

QComboBox* MakeCodeList(const std::string_view* texts, int count, int defaultCode, QWidget* parent);
template <std::size_t N>
QComboBox* MakeCodeList(const std::array<std::string_view, N>& texts, int defaultCode,
                        QWidget* parent) {
  return MakeCodeList(texts.data(), static_cast<int>(N), defaultCode, parent);
}
// Selects a stored code; a code outside the list leaves the selection as it is.
void SelectCode(QComboBox* list, int code);
std::uint8_t CodeOf(const QComboBox* list);

// Hour and minute picker with spin buttons, starting at 00:00.
QTimeEdit* MakeTimePicker(QWidget* parent);
// Minutes after midnight (hour * 60 + minute); counts past 23:59 are ignored.
void SetMinutes(QTimeEdit* picker, int minutes);
int MinutesOf(const QTimeEdit* picker);

// Adds "label  control" as the next row of a two-column-pair grid (column 0 or 1).
void AddLabelled(QGridLayout* grid, int row, int column, const QString& label, QWidget* control);

// OK ("확인") and Cancel ("취소") wired to the dialog's accept and reject.
QDialogButtonBox* MakeOkCancel(QDialog* dialog);

// The OK check of a pane with a typing limit: false (after the message) when a text that
// came in longer than the limit, e.g. a stored one, still is.
bool CheckPaneLimit(QDialog* dialog, const CTextPane* pane);

// Header bytes 25-28 from the two pickers.
void WriteDisplayWindow(ItemHeader& h, const QTimeEdit* start, const QTimeEdit* end);
