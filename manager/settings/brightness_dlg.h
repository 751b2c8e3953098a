#pragma once
// "LED밝기": the day and night brightness levels, as indices 0 ("10 (최대밝기)") to 9
// ("1 (최소밝기)").

#include <QDialog>
#include <cstdint>

class QComboBox;

class CBrightnessDlg : public QDialog {
  Q_OBJECT
 public:
  CBrightnessDlg(int dayIndex, int nightIndex, QWidget* parent = nullptr);

  // The selections, lowered to 9 where above.
  std::uint8_t DayIndex() const;
  std::uint8_t NightIndex() const;
  QComboBox* DayCombo() const { return day_; }
  QComboBox* NightCombo() const { return night_; }

 private:
  QComboBox* day_;
  QComboBox* night_;
};
