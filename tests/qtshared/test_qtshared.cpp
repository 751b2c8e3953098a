#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "qtshared/app_start.h"
#include "qtshared/message_box.h"
#include "qtshared/program_folders.h"

namespace {

// Shows a real box through the seam and reads its title and button texts while it is up.
struct ShownBox {
  QString title;
  QStringList buttons;
};
ShownBox ShowAndRead(const QString& caption, MsgButtons buttons) {
  ShownBox seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen.title = box->windowTitle();
    for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
    box->reject();
  });
  ShowMessage(nullptr, QStringLiteral("본문"), caption, buttons);
  seen.buttons.sort();
  return seen;
}

}  // namespace

class QtSharedTest : public QObject {
  Q_OBJECT

 private slots:
  void commandLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("maxPaths");
    QTest::addColumn<bool>("beforeQt");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("paths");
    const int run = int(CommandLine::Outcome::Run);
    const int help = int(CommandLine::Outcome::Help);
    const int bad = int(CommandLine::Outcome::Bad);
    QTest::newRow("nothing") << QStringList{} << 0 << false << run << QStringList{};
    QTest::newRow("--help wins") << QStringList{"a.dat", "--bogus", "--help"} << 1 << true << help
                                 << QStringList{};
    QTest::newRow("-h") << QStringList{"-h"} << 0 << false << help << QStringList{};
    QTest::newRow("one project file") << QStringList{"/tmp/My Project.dat"} << 1 << false << run
                                      << QStringList{"/tmp/My Project.dat"};
    QTest::newRow("two files for one")
        << QStringList{"a", "b"} << 1 << false << bad << QStringList{};
    QTest::newRow("a file for none") << QStringList{"a"} << 0 << false << bad << QStringList{};
    QTest::newRow("lone dash is a name")
        << QStringList{"-"} << 1 << false << run << QStringList{"-"};
    QTest::newRow("unknown long option")
        << QStringList{"--bogus"} << 1 << true << bad << QStringList{};
    // Before Qt: its options and their values pass; nothing is counted yet.
    QTest::newRow("Qt's option before Qt")
        << QStringList{"-platform", "offscreen", "a.dat"} << 1 << true << run << QStringList{};
    // After Qt took its own, a single-dash option left over is unknown.
    QTest::newRow("leftover after Qt")
        << QStringList{"-bogus"} << 1 << false << bad << QStringList{};
  }
  void commandLine() {
    QFETCH(QStringList, args);
    QFETCH(int, maxPaths);
    QFETCH(bool, beforeQt);
    QFETCH(int, outcome);
    QFETCH(QStringList, paths);
    const CommandLine line = ParseCommandLine(args, maxPaths, beforeQt);
    QCOMPARE(int(line.outcome), outcome);
    QCOMPARE(line.paths, paths);
    QCOMPARE(line.problem.isEmpty(), outcome != int(CommandLine::Outcome::Bad));
  }

  // The standard buttons read Korean with Qt's translation file and, on a machine without
  // it, from the built-in table; the caption is shown exactly as given.
  void standardButtonsReadKorean_data() {
    QTest::addColumn<bool>("withQtFile");
    QTest::newRow("Qt's qtbase_ko.qm") << true;
    QTest::newRow("file missing") << false;
  }
  void standardButtonsReadKorean() {
    QFETCH(bool, withQtFile);
    QTemporaryDir empty;
    QCOMPARE(LoadKoreanTranslations(*qApp, withQtFile ? QString() : empty.path()), withQtFile);

    ShownBox ok = ShowAndRead(QStringLiteral("파일없음"), MsgButtons::Ok);
    QCOMPARE(ok.title, QStringLiteral("파일없음"));
    QCOMPARE(ok.buttons, QStringList{"확인"});
    ShownBox yesNo = ShowAndRead(QString(), MsgButtons::YesNo);
    QCOMPARE(yesNo.title, QStringLiteral("qtshared_tests"));  // no caption: the program's name
    QCOMPARE(yesNo.buttons, (QStringList{"아니요(&N)", "예(&Y)"}));
    QDialogButtonBox dialogButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(dialogButtons.button(QDialogButtonBox::Ok)->text(), QStringLiteral("확인"));
    QCOMPARE(dialogButtons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("취소"));
  }

  void writableProgramFolderKeepsEverythingBesideIt() {
    QTemporaryDir program, data;
    const QString dir = program.path() + QLatin1Char('/');
    const QString unused = data.path() + QStringLiteral("/Brellion/");
    QCOMPARE(WorkFolder(program.path(), unused), dir);
    QCOMPARE(PreviewFolderForVarno(dir + QStringLiteral("PREVIEW/"), unused),
             dir + QStringLiteral("PREVIEW/"));
    QVERIFY(!QFile::exists(unused));
  }

  void readOnlyProgramFolderUsesTheDataFolder() {
    if (::geteuid() == 0) {
      QSKIP("root may write any folder; the installed-program test runs this as another user");
    }
    QTemporaryDir program, data;
    const QString dir = program.path() + QLatin1Char('/');
    const QString user = data.path() + QStringLiteral("/Brellion/");
    QVERIFY(QDir(dir).mkdir(QStringLiteral("PREVIEW")));
    QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
    const QString work = WorkFolder(dir, user);
    const QString preview = PreviewFolderForVarno(dir + QStringLiteral("PREVIEW/"), user);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(work, user);
    QCOMPARE(preview, user + QStringLiteral("PREVIEW/"));
    QVERIFY(QFileInfo(preview).isDir());
  }

  void userDataFolderIsTheManagersAppDataLocation() {
    QCoreApplication::setApplicationName(QStringLiteral("Brellion"));
    const QString expected =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/');
    QCoreApplication::setApplicationName(QStringLiteral("Varno"));
    QCOMPARE(UserDataFolder(), expected);
    QCoreApplication::setApplicationName(QStringLiteral("qtshared_tests"));
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStandardPaths::setTestModeEnabled(true);
  QtSharedTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_qtshared.moc"
