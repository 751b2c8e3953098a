#pragma once
// Start-up pieces both programs share: the command line, the Korean interface and the
// switch that lets a smoke test start a program unattended.

#include <QString>
#include <QStringList>

class QApplication;
class QCoreApplication;
class QWidget;

// What a command line asks for.
struct CommandLine {
  enum class Outcome { Run, Help, Bad };
  Outcome outcome = Outcome::Run;
  QStringList paths;  // positional arguments, in order
  QString problem;    // with Bad: what was wrong, in a line for the user
};

// Reads args (without the program name); the program takes at most maxPaths positional
// arguments. "--help" and "-h" ask for the usage. Before the application object exists,
// pass qtStillToCome: single-dash options are then left to Qt, which takes its own
// (-platform, -style, ...) out of argv when the object is made, and positional arguments
// are not counted yet (the value of a Qt option looks like one). Read again afterwards.
CommandLine ParseCommandLine(const QStringList& args, int maxPaths, bool qtStillToCome);

// argv after the program name, as text; usable before any application object exists.
QStringList RawArguments(int argc, char** argv);

// Help: the usage on standard output, status 0. Bad: "<program>: <problem>" and the usage
// on standard error, status 2. Run: -1, nothing printed.
int AnswerCommandLine(const CommandLine& line, const char* program, const char* usage);

// Installs Qt's own Korean texts (standard buttons, file dialogs, edit menus) from
// qtbase_ko.qm in dir (empty: Qt's translations folder), and a built-in table of those the
// file lacks (the file dialog's kinds) or, without the file, the standard buttons' texts.
// Replaces what an earlier call installed; true when the file was loaded.
bool LoadKoreanTranslations(QCoreApplication& app, const QString& dir = QString());

// A Korean interface on any system, for either program at start: Korean as the default
// locale (dates, month and day names), Qt's Korean texts, Qt's own file dialogs with their
// dates in that locale, and one face for Hangul and Latin. Call before any window exists.
void UseKoreanInterface(QApplication& app);

// With BRELLION_EXIT_AFTER_MS=n (n > 0) in the environment, closes window n ms from now,
// which ends the program the normal way; otherwise does nothing. Lets a test start an
// installed program and see it come up and end without a person at the screen.
void CloseAfterEnvDelay(QWidget* window);
