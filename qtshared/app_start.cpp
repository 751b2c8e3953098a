#include "qtshared/app_start.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <cstdio>

namespace {

bool IsHelp(const QString& a) {
  return a == QLatin1String("--help") || a == QLatin1String("-h");
}

// The texts qtbase_ko.qm gives the standard buttons, for a machine without that file.
class StandardButtonTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;
  QString translate(const char* context, const char* source, const char*, int) const override {
    static constexpr struct {
      const char* source;
      const char* korean;
    } kTexts[] = {{"OK", "확인"},
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
    if (qstrcmp(context, "QPlatformTheme") != 0) return QString();
    for (const auto& t : kTexts) {
      if (qstrcmp(source, t.source) == 0) return QString::fromUtf8(t.korean);
    }
    return QString();
  }
  bool isEmpty() const override { return false; }
};

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
  if (auto* earlier = app.findChild<QTranslator*>(kName, Qt::FindDirectChildrenOnly)) {
    QCoreApplication::removeTranslator(earlier);
    delete earlier;
  }
  const QString folder = dir.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : dir;
  QTranslator* texts = new QTranslator(&app);
  const bool loaded = texts->load(QStringLiteral("qtbase_ko"), folder);
  if (!loaded) {
    delete texts;
    texts = new StandardButtonTexts(&app);
  }
  texts->setObjectName(kName);
  QCoreApplication::installTranslator(texts);
  return loaded;
}

void CloseAfterEnvDelay(QWidget* window) {
  bool ok = false;
  const int ms = qEnvironmentVariableIntValue("BRELLION_EXIT_AFTER_MS", &ok);
  if (!ok || ms <= 0 || window == nullptr) return;
  QTimer::singleShot(ms, window, &QWidget::close);
}
