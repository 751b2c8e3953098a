#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "qtshared/app_start.h"
#include "qtshared/message_box.h"
#include "qtshared/program_folders.h"

class QtSharedTest : public QObject {
  Q_OBJECT

 private slots:
  void commandLine() {
    using O = CommandLine::Outcome;
    const struct {
      QStringList args;
      int maxPaths;
      bool beforeQt;
      O outcome;
      QStringList paths;
    } rows[] = {
        {{}, 0, false, O::Run, {}},
        {{"a.dat", "--bogus", "--help"}, 1, true, O::Help, {}},  // --help wins
        {{"/tmp/My Project.dat"}, 1, false, O::Run, {"/tmp/My Project.dat"}},
        {{"a", "b"}, 1, false, O::Bad, {}},
        {{"a"}, 0, false, O::Bad, {}},
        {{"-"}, 1, false, O::Run, {"-"}},  // a lone dash is a name
        {{"--bogus"}, 1, true, O::Bad, {}},
        // Before Qt its options and their values pass and nothing is counted; after Qt
        // took its own, a single-dash option left over is unknown.
        {{"-platform", "offscreen", "a.dat"}, 1, true, O::Run, {}},
        {{"-bogus"}, 1, false, O::Bad, {}},
    };
    for (const auto& r : rows) {
      const CommandLine line = ParseCommandLine(r.args, r.maxPaths, r.beforeQt);
      const QString row = r.args.join(' ');
      QVERIFY2(line.outcome == r.outcome, qPrintable(row));
      QCOMPARE(line.paths, r.paths);
      QVERIFY2(line.problem.isEmpty() == (r.outcome != O::Bad), qPrintable(row));
    }
  }

  // Korean buttons with Qt's translation file and, without it, from the built-in table;
  // the caption shown exactly as given, or the program's name when there is none.
  void standardButtonsReadKorean() {
    QTemporaryDir empty;
    for (const QString& dir : {empty.path(), QString()}) {
      QCOMPARE(LoadKoreanTranslations(*qApp, dir), dir.isEmpty());
      QStringList seen;
      for (auto [caption, buttons] : {std::pair{QStringLiteral("파일없음"), MsgButtons::Ok},
                                      std::pair{QString(), MsgButtons::YesNo}}) {
        QTimer::singleShot(0, [&seen] {
          auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
          if (!box) return;
          seen << box->windowTitle();
          for (QAbstractButton* b : box->buttons()) seen << b->text();
          box->reject();
        });
        ShowMessage(nullptr, QStringLiteral("본문"), caption, buttons);
      }
      QDialogButtonBox dialog(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
      seen << dialog.button(QDialogButtonBox::Ok)->text()
           << dialog.button(QDialogButtonBox::Cancel)->text();
      QCOMPARE(seen, (QStringList{"파일없음", "확인", "qtshared_tests", "예(&Y)", "아니요(&N)",
                                  "확인", "취소"}));
    }
  }

  // A writable program folder keeps the work files beside it; the read-only case is the
  // install test's, which runs the programs as a user who may not write there.
  void writableProgramFolderKeepsEverythingBesideIt() {
    QTemporaryDir program, data;
    const QString dir = program.path() + '/', user = data.path() + "/Brellion/";
    QCOMPARE(WorkFolder(dir, user), dir);
    QCOMPARE(PreviewFolderForVarno(dir + "PREVIEW/", user), dir + "PREVIEW/");
    QVERIFY(!QFile::exists(user));
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QtSharedTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_qtshared.moc"
