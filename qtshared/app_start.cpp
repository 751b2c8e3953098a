#include "qtshared/app_start.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <QWidget>
#include <cstdio>
#include <span>

namespace {

bool IsHelp(const QString& a) {
  return a == QLatin1String("--help") || a == QLatin1String("-h");
}

struct Text {
  const char* source;
  const char* korean;
};

// The texts qtbase_ko.qm gives the standard buttons, for a machine without that file.
constexpr Text kButtonTexts[] = {{"OK", "확인"},
                                 {"Cancel", "취소"},
                                 {"&Yes", "예(&Y)"},
                                 {"&No", "아니요(&N)"},
                                 {"Yes to &All", "모두 예(&A)"},
                                 {"N&o to All", "모두 아니요(&O)"},
                                 {"Save", "저장"},
                                 {"Save All", "모두 저장"},
                                 {"Open", "열기"},
                                 {"Close", "닫기"},
                                 {"Apply", "적용"},
                                 {"Reset", "초기화"},
                                 {"Help", "도움말"},
                                 {"Abort", "중단"},
                                 {"Retry", "다시 시도"},
                                 {"Ignore", "무시"},
                                 {"Discard", "무시"},
                                 {"Restore Defaults", "기본값 복원"}};

// The file dialog's kinds of entry, which qtbase_ko.qm has only under an older context.
constexpr Text kFileKindTexts[] = {{"Drive", "드라이브"},
                                   {"File", "파일"},
                                   {"Folder", "폴더"},
                                   {"Shortcut", "바로 가기"},
                                   {"Unknown", "알 수 없음"}};

// The Korean texts of one translation context, from a table.
class TableTexts : public QTranslator {
 public:
  TableTexts(const char* context, std::span<const Text> texts, QObject* parent)
      : QTranslator(parent), context_(context), texts_(texts) {}
  QString translate(const char* context, const char* source, const char*, int) const override {
    if (qstrcmp(context, context_) != 0) return QString();
    for (const Text& t : texts_) {
      if (qstrcmp(source, t.source) == 0) return QString::fromUtf8(t.korean);
    }
    return QString();
  }
  bool isEmpty() const override { return false; }

 private:
  const char* context_;
  std::span<const Text> texts_;
};

// Qt's file dialog writes dates and sizes in the system's locale; these columns follow the
// default one instead.
class DefaultLocaleColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role == Qt::DisplayRole && files) {
      const QModelIndex source = mapToSource(index);
      if (index.column() == kSizeColumn && !files->isDir(source)) {
        return QLocale().formattedDataSize(files->size(source));
      }
      if (index.column() == kDateColumn) {
        return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
      }
    }
    return QIdentityProxyModel::data(index, role);
  }

  static constexpr int kSizeColumn = 1;
  static constexpr int kDateColumn = 3;
};

// Gives every file dialog of the program those columns before it first shows.
class FileDialogColumns : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() != QEvent::Polish && e->type() != QEvent::Show) return false;
    auto* dialog = qobject_cast<QFileDialog*>(watched);
    if (!dialog) return false;
    if (e->type() == QEvent::Polish && !dialog->proxyModel()) {
      dialog->setProxyModel(new DefaultLocaleColumns(dialog));
    } else if (e->type() == QEvent::Show) {
      // A Korean date is longer than the column Qt gives it.
      if (auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
        details->header()->setSectionResizeMode(DefaultLocaleColumns::kDateColumn,
                                                QHeaderView::ResizeToContents);
      }
    }
    return false;
  }
};

// A face that draws Hangul and Latin alike, so mixed text keeps one size and style.
QString KoreanFace() {
  const QStringList families = QFontDatabase::families();
  for (const char* want :
       {"NanumGothic", "NanumBarunGothic", "Noto Sans CJK KR", "UnDotum", "Baekmuk Gulim"}) {
    if (families.contains(QString::fromUtf8(want), Qt::CaseInsensitive))
      return QString::fromUtf8(want);
  }
  return QString();
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& args, int maxPaths, bool qtStillToCome) {
  CommandLine line;
  for (const QString& a : args) {
    if (IsHelp(a)) {
      line.outcome = CommandLine::Outcome::Help;
      return line;
    }
  }
  for (const QString& a : args) {
    const bool option = a.size() > 1 && a.startsWith(QLatin1Char('-'));
    if (!option) {
      line.paths << a;
      continue;
    }
    if (qtStillToCome && !a.startsWith(QLatin1String("--"))) continue;
    line.outcome = CommandLine::Outcome::Bad;
    line.problem = QStringLiteral("unknown option %1").arg(a);
    return line;
  }
  if (!qtStillToCome && line.paths.size() > maxPaths) {
    line.outcome = CommandLine::Outcome::Bad;
    line.problem = maxPaths == 0 ? QStringLiteral("takes no arguments")
                                 : QStringLiteral("takes at most %1 file").arg(maxPaths);
    line.paths.clear();
  }
  if (qtStillToCome) line.paths.clear();
  return line;
}

QStringList RawArguments(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  return args;
}

int AnswerCommandLine(const CommandLine& line, const char* program, const char* usage) {
  switch (line.outcome) {
    case CommandLine::Outcome::Run:
      return -1;
    case CommandLine::Outcome::Help:
      std::fputs(usage, stdout);
      std::fflush(stdout);
      return 0;
    case CommandLine::Outcome::Bad:
      std::fprintf(stderr, "%s: %s\n%s", program, line.problem.toLocal8Bit().constData(), usage);
      return 2;
  }
  return 2;
}

bool LoadKoreanTranslations(QCoreApplication& app, const QString& dir) {
  static const QString kName = QStringLiteral("koreanQtTexts");
  for (QTranslator* earlier : app.findChildren<QTranslator*>(kName, Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(earlier);
    delete earlier;
  }
  const QString folder = dir.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : dir;
  QTranslator* texts = new QTranslator(&app);
  const bool loaded = texts->load(QStringLiteral("qtbase_ko"), folder);
  if (!loaded) {
    delete texts;
    texts = new TableTexts("QPlatformTheme", kButtonTexts, &app);
  }
  QTranslator* kinds = new TableTexts("QAbstractFileIconProvider", kFileKindTexts, &app);
  for (QTranslator* t : {texts, kinds}) {
    t->setObjectName(kName);
    QCoreApplication::installTranslator(t);
  }
  return loaded;
}

void UseKoreanInterface(QApplication& app) {
  QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
  LoadKoreanTranslations(app);
  // A desktop's own file dialog would follow the system's language.
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  app.installEventFilter(new FileDialogColumns(&app));
  if (const QString face = KoreanFace(); !face.isEmpty()) {
    QFont font = QApplication::font();
    font.setFamilies({face});
    QApplication::setFont(font);
  }
}

void CloseAfterEnvDelay(QWidget* window) {
  bool ok = false;
  const int ms = qEnvironmentVariableIntValue("BRELLION_EXIT_AFTER_MS", &ok);
  if (!ok || ms <= 0 || window == nullptr) return;
  QTimer::singleShot(ms, window, &QWidget::close);
}
