#pragma once
// The protocol window of the serial link: runs the exchanges over the view's serial
// wrapper, which it does not own.

#include <QObject>
#include <cstdint>

class CCommControl;

class CSignCtrl : public QObject {
  Q_OBJECT

 public:
  explicit CSignCtrl(QObject* parent = nullptr);

  // Names the window "SignCtrl Wnd"; nonzero on success.
  int Create();
  // Uses comm for every exchange from now on and purges it.
  void Attach(CCommControl* comm);

  // Result codes of signlink (0 success; 4 also when no wrapper is attached). On 0 the
  // reading form has copied count data bytes to out.
  int SendAndWait(const std::uint8_t* frame, int len);
  int SendAndRead(const std::uint8_t* frame, int len, std::uint8_t* out, int count);

 private:
  CCommControl* comm_ = nullptr;
};
