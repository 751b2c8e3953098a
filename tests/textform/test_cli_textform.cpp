// brellion-cli export, import and list as a script runs them: the README's example becomes
// byte for byte what the manager's own editors make of the same items; refused texts and
// unreadable projects leave the output alone.
#include <gtest/gtest.h>
#include <sys/file.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "manager/editors/core/pane_text.h"
#include "manager/store/work_store.h"
#include "manager/textform/project_text.h"
#include "shared/board_memory.h"
#include "tests/support/cli_process.h"
#include "tests/transfer/cli_files.h"

namespace {

using cli_test::ReadAt, cli_test::WriteAt;

// The JSON block after the README's example marker.
QByteArray ReadmeExample() {
  const QString readme = QString::fromUtf8(ReadAt(BRELLION_SOURCE_DIR "/README.md"));
  const qsizetype marker = readme.indexOf("<!-- project text example -->");
  const qsizetype start = readme.indexOf("```json\n", marker) + 8;
  return readme.mid(start, readme.indexOf("```", start) - start).toUtf8();
}

// Text in runs of n characters with one attribute each.
StyledText Runs(std::u32string_view text,
                std::initializer_list<std::pair<int, item::TextAttribute>> runs) {
  StyledText out;
  for (auto [n, attr] : runs)
    for (int k = 0; k < n; ++k) out.push_back({text[out.size()], attr});
  return out;
}

// A record as the editors store it: header bytes as given, panes A and B.
item::ItemRecord Record(item::ItemKind kind, std::initializer_list<std::pair<int, int>> bytes,
                        const StyledText& a = {}, const StyledText& b = {}) {
  item::ItemRecord r;
  r.header.setKind(kind);
  for (auto [at, v] : bytes) r.header[at] = std::uint8_t(v);
  WritePaneQuarters(a, r.body.textA, r.body.attrA);
  WritePaneQuarters(b, r.body.textB, r.body.attrB);
  return r;
}

// The README's items and event as the editors store them, with the settings its text gives.
textform::ProjectBytes ManagersOwnProject() {
  using namespace item::hdr;
  using item::ItemKind, item::TextColour, item::BackColour, item::BoardFont;
  const auto plain = [](std::u32string_view t) { return Runs(t, {{int(t.size()), {}}}); };
  const item::ItemRecord records[] = {
      Record(ItemKind::OneLine,
             {{kEntry, 1}, {kHold, 4}, {kExit, 15}, {kSpeed, 2}, {kStartHour, 9}, {kEndHour, 21}},
             Runs(U"오늘의 특가 3,900원",
                  {{7, {TextColour::Yellow}}, {6, {TextColour::Green, {}, BoardFont::Magic}}})),
      Record(ItemKind::TwoLine, {{kUpperEntry, 16}, {kUpperHold, 2}, {kLowerHold, 2}},
             plain(U"환영합니다"), Runs(U"Welcome", {{7, {{}, BackColour::Green}}})),
      Record(ItemKind::DDay,
             {{kDDayYear, 0x07}, {kDDayYear + 1, 0xEA}, {kDDayMonth, 12}, {kDDayDay, 25}},
             plain(U"개점 기념일까지")),
      Record(ItemKind::DateTime, {{kHold, 3}}),
      Record(ItemKind::OneLine, {{kHold, 9}}, plain(U"잠시 후 폐점합니다")),  // the event
  };
  textform::ProjectBytes p(store::kFileSize, 0);
  for (int i = 0; i < 5; ++i)
    item::RecordToBytes(records[i],
                        p.data() + store::SlotOffset(i < 4 ? i : store::kFirstEventSlot));
  const std::pair<std::size_t, int> settings[] = {
      {store::kWidth, 12},      {store::kHeight, 2},          {store::kSerialPort, 1},
      {store::kIpAddress, 192}, {store::kIpAddress + 1, 168}, {store::kIpAddress + 3, 10},
      {store::kTcpPort, 0x13},  {store::kTcpPort + 1, 0x88},  {store::kTransmit, 1}};
  for (auto [at, v] : settings) p[at] = std::uint8_t(v);
  return p;
}

TEST(CliTextForm, ReadmeExampleGoesToTheSignAsTheManagersOwnProject) {
  cli_test::EnsureApp();
  QTemporaryDir dir;
  const QString json = dir.filePath("example.json"), imported = dir.filePath("example.dat"),
                own = dir.filePath("own.dat"), exported = dir.filePath("again.json");
  const textform::ProjectBytes ownBytes = ManagersOwnProject();
  ASSERT_TRUE(WriteAt(json, ReadmeExample()));
  ASSERT_TRUE(WriteAt(
      own, QByteArray(reinterpret_cast<const char*>(ownBytes.data()), qsizetype(ownBytes.size()))));

  const cli_test::CliRun import = cli_test::Cli({"import", json, imported});
  ASSERT_EQ(import.status, 0) << import.err.toStdString();
  EXPECT_EQ(ReadAt(imported), ReadAt(own));
  const cli_test::CliRun list = cli_test::Cli({"list", imported});
  EXPECT_EQ(list.status, 0);
  EXPECT_TRUE(
      list.out.startsWith("1줄문장\t오늘의 특가 3,900원\t2\t5초\t16\t3\t09시00분\t21시00분\n"));
  EXPECT_EQ(list.out.count('\n'), 4);
  // Exported and imported again, through stdin: the same project.
  EXPECT_EQ(cli_test::Cli({"export", imported, "--out", exported}).status, 0);
  QProcess again;
  again.setStandardInputFile(exported);
  again.start(BRELLION_BIN_DIR "/brellion-cli", {"import", "-", dir.filePath("again.dat")});
  ASSERT_TRUE(again.waitForFinished(60000));
  EXPECT_EQ(again.exitCode(), 0);
  EXPECT_EQ(ReadAt(dir.filePath("again.dat")), ReadAt(own));

  // The files are equal, so one sign shows that the imported project sends as it stands.
  SignSimProcess sign;
  ASSERT_TRUE(sign.Start({"--rows", "2"}));
  const cli_test::CliRun send = cli_test::Cli(QStringList{"send"} + cli_test::Tcp(sign) << imported);
  EXPECT_EQ(send.status, 0) << send.err.toStdString();
  ASSERT_TRUE(sign.Stop());
  EXPECT_EQ(ReadAt(sign.memory_file(), board::BodyAddress(0), 6),
            QByteArray("\xBF\xC0\xB4\xC3\xC0\xC7", 6));  // 오늘의
}

TEST(CliTextForm, RefusalsLeaveTheOutputAlone) {
  cli_test::EnsureApp();
  QTemporaryDir dir;
  const QString out = dir.filePath("out.dat"), bad = dir.filePath("bad.json"),
                small = dir.filePath("small.dat");
  ASSERT_TRUE(WriteAt(out, "kept") && WriteAt(small, QByteArray(100, '\0')));
  ASSERT_TRUE(WriteAt(
      bad,
      R"({"brellion_project": 1, "items": [{"kind": "1줄문장", "text": "a", "entry": "zoom"}]})"));
  // A project a manager has open: it holds a lock on the file.
  const QString good = dir.filePath("good.json"), held = dir.filePath("held.dat");
  ASSERT_TRUE(WriteAt(good, R"({"brellion_project": 1})") && WriteAt(held, "held"));
  QFile manager(held);
  ASSERT_TRUE(manager.open(QIODevice::ReadOnly) && ::flock(manager.handle(), LOCK_EX) == 0);
  const std::tuple<QStringList, int, const char*> cases[] = {
      {{"import", bad, out}, 2, "bad.json: items[0].entry: unknown entry effect \"zoom\""},
      {{"import", dir.filePath("none.json"), out}, 2, "cannot read"},
      {{"import", bad}, 2, "usage:"},
      {{"import", "--tcp", "h:1", bad, out}, 2, "talks to no sign"},
      {{"export", small}, 2, "904672바이트여야 하는데 100바이트입니다"},
      {{"list", dir.path()}, 2, "오픈할수 없는 파일입니다"},
      {{"import", good, held}, 1, "다른 Brellion이 사용하고 있는 파일입니다"},
      {{"export", small, "--out"}, 2, "--out needs a file"},
  };
  for (const auto& [args, status, message] : cases) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const cli_test::CliRun r = cli_test::Cli(args);
    EXPECT_EQ(r.status, status);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(message))) << r.err.toStdString();
  }
  EXPECT_EQ(ReadAt(out), "kept");
  EXPECT_EQ(ReadAt(held), "held");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 5);  // no temporary left behind
}

}  // namespace
