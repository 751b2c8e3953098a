#pragma once
// "유지시간": the hold time and display window of a date/time item (kind 5) or, with
// `temperature`, a temperature item (kind 7). Header only; the body stays zero.

#include "manager/editors/editor_controls.h"

class CHoldTimeDlg : public CTextItemDlg {
  Q_OBJECT
 public:
  explicit CHoldTimeDlg(bool temperature, QWidget* parent = nullptr);
  bool isTemperature() const { return temperature_; }

  void accept() override;

 protected:
  void restore(const item::ItemHeader& header, const item::ItemBody& body) override;

 private:
  bool temperature_;
  QComboBox* hold_;
};
