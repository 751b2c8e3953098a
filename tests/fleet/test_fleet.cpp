// The sign book file as a person writes it and the manager rewrites it, the choice of
// signs, and the fan-out's promises: its limits, independence of the signs, and cancel.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "manager/fleet/fan_out.h"
#include "manager/fleet/sign_book.h"

namespace {

using fleet::SignState;

const char* const kBook =
    "\xEF\xBB\xBF# 본사 전광판\r\n"
    "[sign 본점 입구]\r\n"
    "tcp = 192.168.0.10:5000\r\n"
    "size = 12x2\n"
    "groups = 본점, 1층, 본점\n"
    "\n"
    "; 창고는 직렬\n"
    "[ sign 창고 ]\n"
    "serial=com3\n"
    "groups =\n";

fleet::Sign Tcp(const std::string& name, int port, std::vector<std::string> groups = {}) {
  return {name, *fleet::ParseTcp("127.0.0.1:" + std::to_string(port)), {}, std::move(groups)};
}

fleet::Sign Serial(const std::string& name, const std::string& device) {
  return {name, *fleet::ParseSerial(device), {}, {}};
}

// Book order, sizes and groups as written; the rewrite reads back the same.
TEST(Fleet, BookReadsAsWrittenAndRoundTrips) {
  const fleet::BookRead r = fleet::ParseSignBook(kBook);
  ASSERT_TRUE(r.problems.empty()) << r.problems.front().text;
  ASSERT_EQ(r.book.signs.size(), 2u);
  const fleet::Sign& front = r.book.signs[0];
  EXPECT_EQ(front.name, "본점 입구");
  EXPECT_EQ(fleet::AddressText(front.address), "192.168.0.10:5000");
  EXPECT_EQ(fleet::SizeText(front.size), "12x2");
  EXPECT_EQ(front.groups, (std::vector<std::string>{"본점", "1층"}));
  EXPECT_EQ(r.book.signs[1].address.device, "COM3");
  EXPECT_TRUE(r.book.signs[1].groups.empty());
  EXPECT_EQ(fleet::ParseSignBook(fleet::FormatSignBook(r.book)).book.signs, r.book.signs);
  // The file under an absolute XDG_CONFIG_HOME, its folder made: the fleet UI's book test.
  ::setenv("XDG_CONFIG_HOME", "relative", 1);
  EXPECT_TRUE(fleet::SignBookPath().ends_with("/.config/Brellion/signs.ini"));
  EXPECT_EQ(fleet::ReadSignBook("/nonexistent/signs.ini").error, ENOENT);
}

// Each mistake names its line; the sign it is in is left out whole, the others stay.
TEST(Fleet, BookProblemsNameTheirLine) {
  const struct {
    const char* text;
    int line;
    const char* says;
    std::size_t kept;  // signs read, with the good one after
  } cases[] = {
      {"[sign a]\ntcp = h:1\nsize = 21x1\n", 3, "size는", 1},
      {"[sign a]\ntcp = h:0\n", 2, "tcp는", 1},
      {"[sign a]\ntcp = h:1\nserial = /dev/x\n", 3, "함께", 1},
      {"[sign a]\nserial = COM21\n", 2, "serial은", 1},
      {"[sign a]\ntcp = h:1\ncolour = red\n", 3, "알 수 없는 항목", 1},
      {"[sign a]\ntcp = h:1\ntcp = h:2\n", 3, "두 번", 1},
      {"[sign a]\ntcp h:1\n", 2, "꼴이", 1},
      {"tcp = h:1\n[sign a]\ntcp = h:1\n", 1, "줄 밖", 2},
      {"[group a]\ntcp = h:1\n", 1, "알 수 없는 구역", 1},
      {"[sign a]\nsize = 6x1\n", 1, "tcp나 serial", 1},
      {"[sign a]\ntcp = h:1\n[sign a]\ntcp = h:2\n", 3, "같은 이름", 2},
      {"[sign a]\ntcp = h:1\ngroups = x,,y\n", 3, "비어", 1},
      {"[sign \xB0\xA1]\ntcp = h:1\n", 1, "UTF-8", 1},
      {"[sign]\ntcp = h:1\n", 1, "이름이 비어", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string text = std::string(c.text) + "[sign ok]\ntcp = h:9\n";
    const fleet::BookRead r = fleet::ParseSignBook(text);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].line, c.line);
    EXPECT_NE(r.problems[0].text.find(c.says), std::string::npos) << r.problems[0].text;
    EXPECT_EQ(r.book.signs.back().name, "ok");
    EXPECT_EQ(r.book.signs.size(), c.kept);
  }
}

// Groups and names choose in book order, each sign once; a link named twice (even through
// a symbolic link to its device) is one target.
TEST(Fleet, SelectionAndTargets) {
  fleet::SignBook book;
  book.signs = {Tcp("a", 1, {"g1"}), Tcp("b", 2, {"g2"}), Tcp("c", 3, {"g1", "g2"}), Tcp("d", 4)};
  std::string unknown;
  const auto names = [&](const fleet::Selection& s) {
    std::string out;
    for (const fleet::Sign& sign : fleet::Select(book, s, &unknown)) out += sign.name;
    return out;
  };
  EXPECT_EQ(names({{"d"}, {"g1"}, false}), "acd");
  EXPECT_EQ(names({{}, {"g2", "g1"}, false}), "abc");
  EXPECT_EQ(names({{}, {}, true}), "abcd");
  EXPECT_EQ(names({{"a"}, {"g3"}, false}), "");
  EXPECT_NE(unknown.find("g3"), std::string::npos);

  std::string folder = (std::filesystem::temp_directory_path() / "fleet-XXXXXX").string();
  ASSERT_NE(::mkdtemp(folder.data()), nullptr);  // its own, so runs side by side never meet
  const std::filesystem::path tty = folder + "/tty", alias = folder + "/alias";
  std::fclose(std::fopen(tty.c_str(), "w"));
  std::filesystem::create_symlink(tty, alias);
  std::vector<fleet::Sign> targets;
  for (const std::string& device : {tty.string(), alias.string()})
    fleet::AddTarget(targets, Serial(device, device));
  fleet::AddTarget(targets, Tcp("x", 1));
  fleet::AddTarget(targets, Tcp("y", 1));
  EXPECT_EQ(targets.size(), 2u);
  std::filesystem::remove_all(folder);
}

// A fake sign per name: "fail" answers with a failure, "noport" cannot be opened, the rest
// succeed after `gate` lets them; a job records how many ran at once, in all and per
// serial device.
struct Crowd {
  std::mutex mutex;
  std::condition_variable changed;
  int running = 0, most = 0, onDevice = 0, mostOnDevice = 0;
  int started = 0;
  int gate = 1;  // a job waits until this many have started (or a second passed): the limit
  bool gateMissed = false;

  fleet::Job Job() {
    return [this](signlink::SignLink&, const fleet::Sign& sign, fleet::JobContext& ctx) {
      const bool serial = sign.address.kind == fleet::SignAddress::Kind::kSerial;
      std::unique_lock lock(mutex);
      ++running;
      ++started;
      onDevice += serial;
      most = std::max(most, running);
      mostOnDevice = std::max(mostOnDevice, onDevice);
      changed.notify_all();
      if (!changed.wait_for(lock, std::chrono::seconds(1),
                            [&] { return started >= gate || ctx.Cancelled(); }))
        gateMissed = true;
      // A while longer, for a job beyond the limit or a second one on the device to show.
      changed.wait_for(lock, std::chrono::milliseconds(20),
                       [&] { return running > gate || onDevice > 1 || ctx.Cancelled(); });
      --running;
      onDevice -= serial;
      ctx.Begin(250);
      for (int i = 0; i < 250; ++i) ctx.Step(i);
      if (sign.name == "fail") return signlink::Outcome{false, "전광판모델이 다릅니다", "전송실패"};
      return signlink::Outcome{true, "전송 완료 했습니다", "전송완료"};
    };
  }
};

struct NullLink : signlink::SignLink {
  signlink::Result SendAndWait(const signlink::Frame&) override { return signlink::Result::kOk; }
  signlink::Result SendAndRead(const signlink::Frame&, std::uint8_t*, std::size_t) override {
    return signlink::Result::kOk;
  }
};

fleet::OpenedLink OpenFake(const fleet::Sign& sign) {
  if (sign.name == "noport") return {nullptr, {false, "통신 포트를 열지 못했습니다.", "경고"}};
  return {std::make_unique<NullLink>(), {}};
}

TEST(Fleet, FanOutLimitsAndIndependence) {
  std::vector<fleet::Sign> signs = {Tcp("a", 1), Tcp("fail", 2), Tcp("noport", 3), Tcp("d", 4),
                                    Tcp("e", 5)};
  for (int i = 0; i < 3; ++i)
    signs.push_back(Serial("tty" + std::to_string(i), "/nonexistent/fleet-tty"));
  const struct {
    int jobs, gate, most;
  } cases[] = {{2, 2, 2}, {0, 5, 5}};  // tcp signs run together up to the limit
  for (const auto& c : cases) {
    Crowd crowd;
    crowd.gate = c.gate;
    std::vector<int> percents;
    fleet::FanOut fan(signs, c.jobs, OpenFake, crowd.Job(), [&](const fleet::Update& u) {
      if (u.index == 0 && u.state == SignState::kRunning) percents.push_back(u.percent);
    });
    fan.Wait();
    EXPECT_FALSE(crowd.gateMissed);
    EXPECT_EQ(crowd.most, c.most);
    EXPECT_EQ(crowd.mostOnDevice, 1);  // never two on the one serial device
    // Only a change of the whole percentage is told: 0, then 1 to 100.
    EXPECT_EQ(percents.size(), 101u);
    EXPECT_EQ(percents.back(), 100);
    const std::vector<SignState> states = fan.States();
    EXPECT_EQ(states, (std::vector<SignState>{SignState::kSucceeded, SignState::kFailed,
                                              SignState::kFailed, SignState::kSucceeded,
                                              SignState::kSucceeded, SignState::kSucceeded,
                                              SignState::kSucceeded, SignState::kSucceeded}));
    EXPECT_EQ(fan.Outcomes()[2].caption, "경고");
  }
}

// Cancel: the running jobs see it and those waiting never start.
TEST(Fleet, CancelStopsEverySign) {
  Crowd crowd;
  crowd.gate = 100;  // nobody passes until cancelled
  std::vector<fleet::Sign> signs;
  for (int i = 0; i < 6; ++i) signs.push_back(Tcp("s" + std::to_string(i), i + 1));
  fleet::FanOut fan(signs, 2, OpenFake, crowd.Job(), {});
  {
    std::unique_lock lock(crowd.mutex);
    crowd.changed.wait_for(lock, std::chrono::seconds(5), [&] { return crowd.running >= 2; });
    EXPECT_EQ(crowd.running, 2);
  }
  const auto start = std::chrono::steady_clock::now();
  fan.Cancel();
  crowd.changed.notify_all();
  fan.Wait();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  const std::vector<SignState> states = fan.States();
  EXPECT_EQ(std::count(states.begin(), states.end(), SignState::kCancelled), 4);
  EXPECT_EQ(fan.Outcomes()[5].text, fleet::NotStarted().text);
}

}  // namespace
