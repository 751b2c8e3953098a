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
  // the caption shown exactly as given, or the program's name when there is none, in a box
  // as wide as the caption in bold, an icon and three title-bar buttons of the least kind.
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
          QFont bold = box->font();
          bold.setBold(true);
          if (box->width() < QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 4 * 24)
            seen << "too narrow";
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

  // Whatever the system's language: Korean month names, a face with Hangul, and a file
  // dialog with Korean kinds and dates.
  void koreanInterfaceOnAnySystem() {
    UseKoreanInterface(*qApp);
    QCOMPARE(QDateEdit().locale().standaloneMonthName(12), QStringLiteral("12월"));
    const QString face = QFontInfo(QApplication::font()).family();
    QVERIFY2(QFontDatabase::writingSystems(face).contains(QFontDatabase::Korean), qPrintable(face));
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("사진")));
    QFileDialog files(nullptr, QString(), dir.path());
    files.show();
    const auto* tree = files.findChild<QTreeView*>(QStringLiteral("treeView"));
    QTRY_COMPARE(tree->model()->rowCount(tree->rootIndex()), 1);
    const QModelIndex row = tree->model()->index(0, 0, tree->rootIndex());
    QCOMPARE(row.siblingAtColumn(2).data().toString(), QStringLiteral("폴더"));
    QCOMPARE(row.siblingAtColumn(3).data().toString(),
             QLocale(QLocale::Korean)
                 .toString(QFileInfo(dir.filePath("사진")).lastModified(), QLocale::ShortFormat));
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
