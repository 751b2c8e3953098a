// Installs the build into a temporary prefix and runs the installed programs from there.
// As root the programs run as "nobody" (who may not write the installed folder, like any
// user of an installed program); otherwise the installed folder is made read-only.
#include <fcntl.h>
#include <unistd.h>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>

namespace {

constexpr uid_t kNobody = 65534;
constexpr int kExitAfterMs = 1500;

struct Result {
  bool finished = false;
  int status = -1;
  qint64 ms = 0;
  QByteArray out, err;
};

// Every file and folder under root with its size and time, to see that a run wrote nothing.
QStringList Snapshot(const QString& root) {
  QStringList entries;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo f(it.next());
    entries << QString("%1 %2 %3")
                   .arg(f.filePath())
                   .arg(f.size())
                   .arg(f.lastModified().toMSecsSinceEpoch());
  }
  entries.sort();
  return entries;
}

QString Tool(const QString& program, const QStringList& args) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LC_ALL", "C.UTF-8");
  p.setProcessEnvironment(env);
  p.start(program, args);
  p.waitForFinished(10000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

QString Capture(const QString& text, const QString& pattern) {
  return QRegularExpression(pattern).match(text).captured(1);
}

// The titles of the shown top-level windows of process pid, as the X server holds them.
QStringList ShownTitles(qint64 pid) {
  QStringList titles;
  static const QRegularExpression idLine("^\\s+(0x[0-9a-f]+) ",
                                         QRegularExpression::MultilineOption);
  for (auto m = idLine.globalMatch(Tool("xwininfo", {"-root", "-children"})); m.hasNext();) {
    const QString id = m.next().captured(1);
    const QString props = Tool("xprop", {"-id", id, "_NET_WM_PID", "_NET_WM_NAME"});
    if (props.contains(QString("_NET_WM_PID(CARDINAL) = %1\n").arg(pid)) &&
        Tool("xwininfo", {"-id", id}).contains("IsViewable"))
      titles << Capture(props, "_NET_WM_NAME\\(UTF8_STRING\\) = \"(.*)\"");
  }
  return titles;
}

}  // namespace

class InstallTest : public QObject {
  Q_OBJECT

  QTemporaryDir prefix_, base_;
  const bool root_ = ::geteuid() == 0;
  int ptyMaster_ = -1;
  QString ptySlave_;

  QString P(const QString& relative) const { return prefix_.path() + '/' + relative; }
  QString B(const QString& relative) const { return base_.path() + '/' + relative; }
  // Hands a file to the user the programs run as.
  void Own(const QString& path) {
    if (root_) QVERIFY(::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0);
  }
  void MakeUserDir(const QString& path) {
    QVERIFY(QDir().mkpath(path));
    Own(path);
  }

  // A user with its own home and data folders under base_/dataHome.
  QProcessEnvironment UserEnv(const QString& dataHome, const QString& platform) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", B("home"));
    env.insert("XDG_DATA_HOME", dataHome);
    env.insert("XDG_CONFIG_HOME", B("home/.config"));
    env.insert("XDG_CACHE_HOME", B("home/.cache"));
    env.insert("XDG_RUNTIME_DIR", B("runtime"));
    env.insert("XAUTHORITY", B("Xauthority"));
    env.insert("QT_QPA_PLATFORM", platform);
    env.insert("BRELLION_COM1", ptySlave_);
    return env;
  }

  // Starts an installed program in the user's home, as that user unless `asUser` is false.
  void Start(QProcess& p, const QString& program, const QStringList& args,
             const QProcessEnvironment& env, bool asUser = true) const {
    p.setProcessEnvironment(env);
    if (p.workingDirectory().isEmpty()) p.setWorkingDirectory(B("home"));
    if (asUser && root_)
      p.start(
          "setpriv",
          QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "--", P(program)} + args);
    else
      p.start(P(program), args);
  }
  Result Run(const QString& program, const QStringList& args, const QProcessEnvironment& env,
             bool asUser, int timeoutMs, const QString& cwd = {}) const {
    QProcess p;
    p.setWorkingDirectory(cwd);
    QElapsedTimer clock;
    clock.start();
    Start(p, program, args, env, asUser);
    Result r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
      p.kill();
      p.waitForFinished(5000);
    }
    r.ms = clock.elapsed();
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
  }

  // An empty program on a 6 x 1 board: the previewer shows its logo screen.
  void WritePreview(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(128 * 1024 * 1024) && f.seek(0x20008));
    f.write(QByteArray::fromHex("0601"));
    f.close();
    Own(path);
  }

 private slots:
  void initTestCase() {
    QVERIFY(prefix_.isValid() && base_.isValid());
    for (const QTemporaryDir* d : {&prefix_, &base_})
      QFile::setPermissions(d->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadOther | QFile::ExeOther);
    QProcess install;
    install.start(BRELLION_CMAKE, {"--install", BRELLION_BUILD_DIR, "--prefix", prefix_.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    if (!root_) QProcess::execute("chmod", {"-R", "a-w", P("lib/brellion")});
    for (const char* dir : {"home", "data", "runtime"}) MakeUserDir(B(dir));
    QFile::setPermissions(B("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The manager opens COM1 at start; a pseudo-terminal stands in for the serial port.
    ptyMaster_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(ptyMaster_ >= 0 && ::grantpt(ptyMaster_) == 0 && ::unlockpt(ptyMaster_) == 0);
    ptySlave_ = QString::fromLocal8Bit(::ptsname(ptyMaster_));
    Own(ptySlave_);
    // The user needs the virtual display's cookie to reach it.
    if (const QString xauth = qEnvironmentVariable("XAUTHORITY"); !xauth.isEmpty()) {
      QVERIFY(QFile::copy(xauth, B("Xauthority")));
      Own(B("Xauthority"));
    }
  }

  void cleanupTestCase() {
    if (ptyMaster_ >= 0) ::close(ptyMaster_);
    QProcess::execute("chmod", {"-R", "u+w", prefix_.path()});
  }

  // The links in bin lead to the programs; the desktop entry, the file type and the icon
  // name each other.
  void layout() {
    const QString lib = QFileInfo(P("lib/brellion")).canonicalFilePath();
    for (const char* name :
         {"Brellion", "Varno", "signsim", "brellion-cli", "varno-render", "effect-sheets"}) {
      const QFileInfo link(P(QString("bin/") + name));
      QVERIFY2(link.isSymLink() && link.isExecutable() && link.canonicalFilePath().startsWith(lib),
               name);
    }
    QCOMPARE(QFileInfo(P("bin/Varno")).canonicalFilePath(), lib + "/PREVIEW/Varno");
    QCOMPARE(QDir(P("lib/brellion/PREVIEW/font")).entryList({"*.fnt"}, QDir::Files).size(), 20);
    QVERIFY(QFileInfo(P("lib/brellion/PREVIEW/font/licences/README.md")).isFile());
    QFile desktop(P("share/applications/brellion.desktop")),
        mime(P("share/mime/packages/brellion.xml"));
    QVERIFY(desktop.open(QIODevice::ReadOnly) && mime.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    const QString types = QString::fromUtf8(mime.readAll());
    const QString exec = Capture(entry, "\nExec=(\\S+) %f\n");
    QVERIFY2(QFileInfo(P("bin/" + exec)).isExecutable(), qPrintable(exec));
    const QString icon = Capture(entry, "\nIcon=(\\S+)");
    QVERIFY(QFileInfo(P("share/icons/hicolor/scalable/apps/" + icon + ".svg")).isFile());
    QVERIFY(types.contains(
        QString("<mime-type type=\"%1\">").arg(Capture(entry, "\nMimeType=([^;\n]+);"))));
    QVERIFY(types.contains("<glob pattern=\"*.dat\"/>"));
  }

  // --help: the usage on standard output, status 0; an unknown option: the usage on standard
  // error, status 2. Neither needs a display nor writes anything anywhere. The single-dash
  // rows are left to Qt first, then refused: they need the application object, so a platform.
  void commandLines() {
    QList<std::tuple<QString, QString, int>> rows = {
        {"bin/Brellion", "-bogus", 2}, {"bin/Varno", "-bogus", 2}, {"bin/Varno", "some.dat", 2}};
    for (const char* p : {"bin/Brellion", "bin/Varno", "bin/signsim", "bin/brellion-cli",
                          "bin/varno-render", "bin/effect-sheets", "lib/brellion/fontgen"})
      rows << std::tuple{p, "--help", 0} << std::tuple{p, "--bogus", 2};
    for (const auto& [program, argument, status] : rows) {
      const QByteArray what = (program + ' ' + argument).toUtf8();
      QTemporaryDir cwd;
      const QStringList before = Snapshot(prefix_.path()) + Snapshot(base_.path());
      QProcessEnvironment env = UserEnv(B("data"), argument.startsWith("--") ? "xcb" : "offscreen");
      env.remove("DISPLAY");  // a program that made a window would fail
      const Result r = Run(program, {argument}, env, false, 20000, cwd.path());
      QVERIFY2(r.finished && r.status == status, what);
      QVERIFY2((status == 0 ? r.out : r.err).toLower().contains("usage:"), what + r.out + r.err);
      QVERIFY2((status == 0 ? r.err : r.out).isEmpty(), what);
      QVERIFY2(QDir(cwd.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot), what);
      QVERIFY2(Snapshot(prefix_.path()) + Snapshot(base_.path()) == before, what);
    }
  }

  // Started by a user who may not write the installed folder, both programs come up and end
  // cleanly; the work store and the preview file (the console tool's too) live in the
  // user's data folder.
  void startFromThePrefix() {
    QProcessEnvironment env = UserEnv(B("data"), "offscreen");
    env.insert("BRELLION_EXIT_AFTER_MS", QString::number(kExitAfterMs));
    Result r = Run("bin/Brellion", {}, env, true, 30000);
    QVERIFY2(r.finished && r.status == 0, r.err.constData());
    QVERIFY2(r.ms >= kExitAfterMs, "ended before its window was up");
    QCOMPARE(QFileInfo(B("data/Brellion/data.tmp")).size(), 904672);
    QVERIFY(QFileInfo(B("data/Brellion/PREVIEW")).isDir());
    r = Run("bin/brellion-cli", {"preview", B("data/Brellion/data.tmp")}, env, true, 30000);
    QVERIFY2(r.finished && r.status == 0, r.err.constData());
    QCOMPARE(QFileInfo(B("data/Brellion/PREVIEW/preview.tmp")).size(), 128 * 1024 * 1024);
    r = Run("bin/Varno", {}, env, true, 30000);
    QVERIFY2(r.finished, "no window came up (a message box waits?)");
    QVERIFY(r.status == 0 && r.ms >= kExitAfterMs);
  }

  // The Debian package holds the same layout and depends on what the programs load.
  void debianPackage() {
    QTemporaryDir out;
    QProcess cpack;
    cpack.setWorkingDirectory(BRELLION_BUILD_DIR);
    cpack.start(BRELLION_CPACK, {"-G", "DEB", "-B", out.path()});
    QVERIFY(cpack.waitForFinished(240000));
    QVERIFY2(cpack.exitCode() == 0, cpack.readAllStandardOutput().constData());
    const QStringList debs = QDir(out.path()).entryList({"*.deb"}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    const QString fields = Tool("dpkg-deb", {"-f", out.filePath(debs[0]), "Package", "Depends"});
    const QString contents = Tool("dpkg-deb", {"-c", out.filePath(debs[0])});
    for (const char* field :
         {"Package: brellion\n", "libqt6widgets6", "libqt6serialport6", "qt6-qpa-plugins"})
      QVERIFY2(fields.contains(field), qPrintable(fields));
    for (const char* entry :
         {"./usr/bin/Brellion -> ../lib/brellion/Brellion", "./usr/lib/brellion/PREVIEW/Varno",
          "./usr/lib/brellion/PREVIEW/font/", "./usr/share/applications/brellion.desktop"})
      QVERIFY2(contents.contains(entry), entry);
  }

  // What the window system shows: each window and box has its own title and nothing more.
  // A data folder that cannot be made (under a plain file) leaves the store uncreatable.
  void windowSystemTitles() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) QFAIL("needs an X display (run under xvfb-run)");
    QFile plain(B("home/plain-file"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    if (const QString preview = B("data/Brellion/PREVIEW/preview.tmp"); !QFile::exists(preview)) {
      for (const char* dir : {"data/Brellion", "data/Brellion/PREVIEW"}) MakeUserDir(B(dir));
      WritePreview(preview);
    }
    for (auto [program, dataHome, title] :
         {std::tuple{"bin/Brellion", "data", "전광판 제어기(128MB)"},
          {"bin/Brellion", "home/plain-file", "실행할수 없음"},
          {"bin/Varno", "data", "미리보기(128MB)"},
          {"bin/Varno", "home", "파일없음"}}) {
      QProcess p;
      Start(p, program, {}, UserEnv(B(dataHome), "xcb"));
      QVERIFY(p.waitForStarted(5000));
      QStringList titles;
      for (int i = 0; i < 100 && titles.isEmpty(); ++i) {
        QTest::qWait(100);
        titles = ShownTitles(p.processId());
      }
      p.kill();
      p.waitForFinished(5000);
      QCOMPARE(titles, QStringList{title});
    }
  }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "test_install.moc"
