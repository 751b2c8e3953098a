// Event send and cancel against a running signsim, over the pseudo-terminal and over TCP.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "manager/events/event_send.h"
#include "manager/link/qt/sign_links.h"
#include "tests/support/signsim_process.h"

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "events_signsim_tests";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QCoreApplication(argc, argv);
  }
}

struct Counting : events::Progress {
  int steps = 0;
  bool ended = false;
  void Begin(int) override {}
  void Step() override { ++steps; }
  void End() override { ended = true; }
};

item::ItemRecord Event() {
  item::ItemRecord r{};
  r.header[item::hdr::kHold] = 2;
  const char text[] = "\xB1\xE4\xB1\xDE";  // 긴급
  for (std::size_t i = 0; i + 1 < sizeof text; ++i) r.body.textA[i] = std::uint8_t(text[i]);
  return r;
}

TEST(EventSignsim, SendAndCancelOverBothLinks) {
  EnsureApp();
  struct Case {
    bool tcp;
    QStringList fault;
    signlink::Result result;
    int steps;
  };
  const Case cases[] = {
      {false, {}, signlink::Result::kOk, 3},
      {true, {}, signlink::Result::kOk, 3},
      {false, {"--fault", "badsum:2"}, signlink::Result::kChecksum, 1},
      {true, {"--fault", "badsum:2"}, signlink::Result::kChecksum, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((c.tcp ? "tcp " : "serial ") + c.fault.join(' ').toStdString());
    SignSimProcess sim;
    ASSERT_TRUE(sim.Start(c.fault));
    // The manager's link owner, on the link the transmit option selects.
    auto link = std::make_unique<SignLinks>();
    if (c.tcp) {
      link->SetTransmit(signlink::Transmit::kTcp);
      link->ConnectTcp(QStringLiteral("127.0.0.1"), std::uint16_t(sim.tcp_port()));
    } else {
      link->SetTransmit(signlink::Transmit::kSerial);
      ASSERT_TRUE(link->OpenSerialDevice(sim.pty_link().toStdString(), 57600));
    }
    Counting progress;
    const events::Outcome sent = events::SendEvent(*link, Event(), &progress);
    EXPECT_EQ(sent.result, c.result);
    EXPECT_EQ(progress.steps, c.steps);
    EXPECT_TRUE(progress.ended);
    if (c.result == signlink::Result::kOk) {
      EXPECT_EQ(sent.message.caption, "Event전송완료");
      const events::Outcome cancel = events::CancelEvent(*link);
      EXPECT_EQ(cancel.message, (events::Message{"이벤트모드 취소OK...", "이벤트 취소"}));
    } else {
      EXPECT_EQ(sent.message, (events::Message{"CHECK-SUM 오류입니다.", "Event전송실패"}));
    }
    ASSERT_TRUE(sim.Stop());
    const QString log = sim.log();
    EXPECT_TRUE(log.contains(QString(c.tcp ? "tcp" : "pty") + " event-block 0 len 32"))
        << log.toStdString();
    EXPECT_EQ(log.contains("event-start"), c.result == signlink::Result::kOk) << log.toStdString();
    EXPECT_EQ(log.contains("event-block 2"), c.result == signlink::Result::kOk);
    EXPECT_EQ(log.contains("event-cancel"), c.result == signlink::Result::kOk);
  }
}

}  // namespace
