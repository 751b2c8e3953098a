#include <QAbstractButton>
#include <QApplication>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include "qtshared/app_start.h"
#include "qtshared/message_box.h"
#include "qtshared/program_folders.h"

class QtSharedTest : public QObject {
  Q_OBJECT

 private slots:
  void commandLine() {
    using O = CommandLine::Outcome;
    using Row = std::tuple<QStringList, int, bool, O, QStringList>;  // args, max paths, before Qt
    for (const auto& [args, maxPaths, beforeQt, outcome, paths] :
         {Row{{}, 0, false, O::Run, {}},
          Row{{"a.dat", "--bogus", "--help"}, 1, true, O::Help, {}},  // --help wins
          Row{{"/tmp/My Project.dat"}, 1, false, O::Run, {"/tmp/My Project.dat"}},
          Row{{"a", "b"}, 1, false, O::Bad, {}}, Row{{"a"}, 0, false, O::Bad, {}},
          Row{{"-"}, 1, false, O::Run, {"-"}},  // a lone dash is a name
          Row{{"--bogus"}, 1, true, O::Bad, {}},
          // Before Qt its options and their values pass and nothing is counted; after Qt
          // took its own, a single-dash option left over is unknown.
          Row{{"-platform", "offscreen", "a.dat"}, 1, true, O::Run, {}},
          Row{{"-bogus"}, 1, false, O::Bad, {}}}) {
      const CommandLine line = ParseCommandLine(args, maxPaths, beforeQt);
      QVERIFY2(line.outcome == outcome && line.problem.isEmpty() == (outcome != O::Bad),
               qPrintable(args.join(' ')));
      QCOMPARE(line.paths, paths);
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

  // A short text leaves the box at least as wide as its caption in a bold title bar with
  // an icon and three buttons of the narrowest kind.
  void boxesAreWideEnoughForTheirCaptions() {
    for (const QString& caption : {QStringLiteral("Event전송완료"), QStringLiteral("전송완료")}) {
      int width = 0;
      QTimer::singleShot(0, [&width] {
        if (QWidget* box = QApplication::activeModalWidget()) {
          width = box->width();
          box->close();
        }
      });
      ShowMessage(nullptr, QStringLiteral("OK"), caption);
      QFont bold = QApplication::font();
      bold.setBold(true);
      QVERIFY2(width >= QFontMetrics(bold).horizontalAdvance(caption) + 4 * 24, qPrintable(caption));
    }
  }

  // Whatever the system's language: Korean dates and month names, one face for Hangul and
  // Latin, and a file dialog that names kinds and dates in Korean.
  void koreanInterfaceOnAnySystem() {
    UseKoreanInterface(*qApp);
    QCOMPARE(QDateEdit().locale().standaloneMonthName(12), QStringLiteral("12월"));
    const QString face = QFontInfo(QApplication::font()).family();
    QVERIFY2(QFontDatabase::writingSystems(face).contains(QFontDatabase::Korean), qPrintable(face));

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("사진")));
    QFileDialog dialog(nullptr, QString(), dir.path());
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    const auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    QTRY_COMPARE(tree->model()->rowCount(tree->rootIndex()), 1);
    auto cell = [tree](int column) {
      return tree->model()->index(0, column, tree->rootIndex()).data().toString();
    };
    QCOMPARE(cell(2), QStringLiteral("폴더"));
    QCOMPARE(cell(3), QLocale(QLocale::Korean).toString(
                          QFileInfo(dir.filePath(QStringLiteral("사진"))).lastModified(),
                          QLocale::ShortFormat));
  }

  // Beside a writable program; the read-only case is the install test's (run as a user).
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
