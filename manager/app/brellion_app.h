#pragma once
// The manager's application object: creates the main frame and view at start and owns
// the one TCP client socket (null until the first connection).

#include <QApplication>
#include <QPointer>
#include <cstdint>

#include "manager/link/qt/tcp_link.h"

class CMainFrame;
class CBrellionView;

class CBrellionApp : public QApplication {
  Q_OBJECT
 public:
  CBrellionApp(int& argc, char** argv);
  ~CBrellionApp() override;

  // Creates frame and view and runs the view's initial update; shows the window when
  // `show` is set. False when the start failed (the message has been shown): the
  // process must then end with status 0.
  bool InitInstance(bool show = true);

  // The folder the work store and the PREVIEW folder live in; defaults to the
  // executable's folder. Set before InitInstance.
  void SetProgramDirectory(const QString& dir) { programDir_ = dir; }

  CMainFrame* MainFrame() const { return frame_; }
  CBrellionView* View() const;

  // The TCP/IP link. Connect replaces the socket with one connecting to address:port;
  // Reconnect does so with the work store's address and port. The exchanges return the
  // link's result codes (9 before the first Connect).
  bool Connect(const QString& address, quint16 port) { return link_.Connect(address, port); }
  void Reconnect() { link_.Reconnect(); }
  int SendAndWait(const std::uint8_t* frame, int len, int expected) {
    return link_.SendAndWait(frame, len, expected);
  }
  int SendAndRead(const std::uint8_t* frame, int len, std::uint8_t* out, int count) {
    return link_.SendAndRead(frame, len, out, count);
  }
  TcpLink& Link() { return link_; }

 private:
  TcpLink link_;
  QString programDir_;
  CMainFrame* frame_ = nullptr;
};

// The running application object, or null outside the manager.
CBrellionApp* TheApp();
