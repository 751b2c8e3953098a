#pragma once
// "뉴스": which of the eight news categories the sign shows.

#include <QDialog>
#include <array>
#include <cstdint>

class QCheckBox;

class CNewsDlg : public QDialog {
  Q_OBJECT
 public:
  // A box is ticked when its stored byte is not 0.
  explicit CNewsDlg(const std::array<std::uint8_t, 8>& flags, QWidget* parent = nullptr);

  // 1 for each ticked box, 0 otherwise, in the stored order.
  std::array<std::uint8_t, 8> Flags() const;
  QCheckBox* Box(int i) const { return boxes_[static_cast<std::size_t>(i)]; }

 private:
  std::array<QCheckBox*, 8> boxes_{};
};
