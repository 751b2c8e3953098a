#include "manager/fleet/qt/open_sign_link.h"

#include <QEventLoop>
#include <QString>

#include "manager/link/link_text.h"
#include "manager/link/qt/sign_links.h"
#include "manager/link/qt/tcp_link.h"

namespace fleet {

namespace {
constexpr int kBaud = 57600;  // the sign's line speed
}

OpenedLink OpenSignLink(const Sign& sign) {
  // A thread Qt did not start gets its event dispatcher with its first event loop; the
  // sockets' and the serial port's notifiers need it before they are made.
  { QEventLoop dispatcher; }
  const SignAddress& a = sign.address;
  if (a.kind == SignAddress::Kind::kTcp) {
    // The client alone: a sign over TCP/IP needs no serial receive ring.
    auto tcp = std::make_unique<TcpLink>();
    tcp->Connect(QString::fromStdString(a.host), a.port);
    return {std::move(tcp), {}};
  }
  auto links = std::make_unique<SignLinks>();
  links->SetTransmit(signlink::Transmit::kSerial);
  if (!links->OpenSerialDevice(DevicePath(a), kBaud))
    return {nullptr, {false, signlink::kPortOpenFailedText, signlink::kWarningCaption}};
  return {std::move(links), {}};
}

}  // namespace fleet
