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
    entries << QStringLiteral("%1 %2 %3")
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
  env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
  p.setProcessEnvironment(env);
  p.start(program, args);
  p.waitForFinished(10000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The titles of the shown top-level windows of process pid, as the X server holds them.
QStringList ShownTitles(qint64 pid) {
  QStringList titles;
  static const QRegularExpression idLine(QStringLiteral("^\\s+(0x[0-9a-f]+) "),
                                         QRegularExpression::MultilineOption);
  const QString tree = Tool(QStringLiteral("xwininfo"), {"-root", "-children"});
  for (auto m = idLine.globalMatch(tree); m.hasNext();) {
    const QString id = m.next().captured(1);
    const QString props = Tool(QStringLiteral("xprop"), {"-id", id, "_NET_WM_PID", "_NET_WM_NAME"});
    if (!props.contains(QStringLiteral("_NET_WM_PID(CARDINAL) = %1\n").arg(pid))) continue;
    if (!Tool(QStringLiteral("xwininfo"), {"-id", id}).contains(QLatin1String("IsViewable"))) {
      continue;
    }
    static const QRegularExpression name(
        QStringLiteral("_NET_WM_NAME\\(UTF8_STRING\\) = \"(.*)\""));
    titles << name.match(props).captured(1);
  }
  return titles;
}

}  // namespace

class InstallTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir prefix_, base_;
  bool root_ = ::geteuid() == 0;
  int ptyMaster_ = -1;
  QString ptySlave_;

  QString P(const QString& relative) const { return prefix_.path() + QLatin1Char('/') + relative; }
  QString B(const QString& relative) const { return base_.path() + QLatin1Char('/') + relative; }

  // A folder of the user the programs run as.
  void MakeUserDir(const QString& path) {
    QVERIFY(QDir().mkpath(path));
    if (root_) QVERIFY(::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0);
  }

  // The environment of a user with its own home and data folders under base_/dataHome.
  QProcessEnvironment UserEnv(const QString& dataHome, const QString& platform) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), B(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), B(QStringLiteral("home/.config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), B(QStringLiteral("home/.cache")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), B(QStringLiteral("runtime")));
    env.insert(QStringLiteral("XAUTHORITY"), B(QStringLiteral("Xauthority")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    env.insert(QStringLiteral("BRELLION_COM1"), ptySlave_);
    return env;
  }

  void StartAsUser(QProcess& p, const QString& program, const QProcessEnvironment& env) const {
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(B(QStringLiteral("home")));
    if (root_) {
      p.start(QStringLiteral("setpriv"),
              {"--reuid=65534", "--regid=65534", "--clear-groups", "--", P(program)});
    } else {
      p.start(P(program), {});
    }
  }

  static Result Finish(QProcess& p, const QElapsedTimer& clock, int timeoutMs) {
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

  void WritePreview(const QString& path) {
    // An empty program on a 6 x 1 board: the previewer shows its logo screen.
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.resize(128 * 1024 * 1024));
    QVERIFY(f.seek(0x20008));
    f.write(QByteArray::fromHex("0601"));
    f.close();
    if (root_) QVERIFY(::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0);
  }

 private slots:
  void initTestCase() {
    QVERIFY(prefix_.isValid() && base_.isValid());
    QFile::setPermissions(prefix_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(base_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadOther | QFile::ExeOther);
    QProcess install;
    install.start(QStringLiteral(BRELLION_CMAKE),
                  {"--install", BRELLION_BUILD_DIR, "--prefix", prefix_.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    if (!root_) {
      QProcess::execute(QStringLiteral("chmod"), {"-R", "a-w", P(QStringLiteral("lib/brellion"))});
    }
    MakeUserDir(B(QStringLiteral("home")));
    MakeUserDir(B(QStringLiteral("data")));
    MakeUserDir(B(QStringLiteral("runtime")));
    QFile::setPermissions(B(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The manager opens COM1 at start; a pseudo-terminal stands in for the serial port.
    ptyMaster_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(ptyMaster_ >= 0 && ::grantpt(ptyMaster_) == 0 && ::unlockpt(ptyMaster_) == 0);
    ptySlave_ = QString::fromLocal8Bit(::ptsname(ptyMaster_));
    if (root_) QVERIFY(::chown(QFile::encodeName(ptySlave_).constData(), kNobody, kNobody) == 0);

    // The user needs the virtual display's cookie to reach it.
    const QString xauth = qEnvironmentVariable("XAUTHORITY");
    if (!xauth.isEmpty()) {
      QVERIFY(QFile::copy(xauth, B(QStringLiteral("Xauthority"))));
      if (root_) {
        QVERIFY(::chown(QFile::encodeName(B(QStringLiteral("Xauthority"))).constData(), kNobody,
                        kNobody) == 0);
      }
    }
  }

  void cleanupTestCase() {
    if (ptyMaster_ >= 0) ::close(ptyMaster_);
    QProcess::execute(QStringLiteral("chmod"), {"-R", "u+w", prefix_.path()});
  }

  // The links in bin lead to the programs; the desktop entry, the file type and the icon
  // name each other.
  void layout() {
    const QStringList linked = {"Brellion",     "Varno",        "signsim",
                                "brellion-cli", "varno-render", "effect-sheets"};
    for (const QString& name : linked) {
      const QFileInfo link(P(QStringLiteral("bin/") + name));
      QVERIFY2(link.isSymLink(), qPrintable(name));
      QVERIFY2(link.isExecutable(), qPrintable(name));
      QVERIFY(
          link.canonicalFilePath().startsWith(QFileInfo(P("lib/brellion")).canonicalFilePath()));
    }
    QCOMPARE(QFileInfo(P("bin/Varno")).canonicalFilePath(),
             QFileInfo(P("lib/brellion/PREVIEW/Varno")).canonicalFilePath());
    QVERIFY(QFileInfo(P("lib/brellion/fontgen")).isExecutable());
    const QStringList fonts =
        QDir(P("lib/brellion/PREVIEW/font")).entryList({QStringLiteral("*.fnt")}, QDir::Files);
    QCOMPARE(fonts.size(), 20);
    QVERIFY(QFileInfo(P("lib/brellion/PREVIEW/font/licences/README.md")).isFile());

    QFile desktop(P("share/applications/brellion.desktop"));
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    const QString exec =
        QRegularExpression(QStringLiteral("\nExec=(\\S+) %f\n")).match(entry).captured(1);
    QVERIFY2(QFileInfo(P(QStringLiteral("bin/") + exec)).isExecutable(), qPrintable(exec));
    const QString type =
        QRegularExpression(QStringLiteral("\nMimeType=([^;\n]+);")).match(entry).captured(1);
    const QString icon =
        QRegularExpression(QStringLiteral("\nIcon=(\\S+)")).match(entry).captured(1);
    QVERIFY(QFileInfo(P(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(icon)))
                .isFile());
    QFile mime(P("share/mime/packages/brellion.xml"));
    QVERIFY(mime.open(QIODevice::ReadOnly));
    const QString types = QString::fromUtf8(mime.readAll());
    QVERIFY(types.contains(QStringLiteral("<mime-type type=\"%1\">").arg(type)));
    QVERIFY(types.contains(QLatin1String("<glob pattern=\"*.dat\"/>")));
  }

  // --help: the usage on standard output, status 0; an unknown option: the usage on standard
  // error, status 2. Neither needs a display nor writes anything anywhere.
  void commandLines_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("status");
    const QStringList programs = {"bin/Brellion",        "bin/Varno",        "bin/signsim",
                                  "bin/brellion-cli",    "bin/varno-render", "bin/effect-sheets",
                                  "lib/brellion/fontgen"};
    for (const QString& p : programs) {
      QTest::newRow(qPrintable(p + " --help")) << p << QStringLiteral("--help") << 0;
      QTest::newRow(qPrintable(p + " --bogus")) << p << QStringLiteral("--bogus") << 2;
    }
    // Left to Qt first, then refused: needs the application object, so a platform.
    QTest::newRow("bin/Brellion -bogus") << "bin/Brellion" << QStringLiteral("-bogus") << 2;
    QTest::newRow("bin/Varno -bogus") << "bin/Varno" << QStringLiteral("-bogus") << 2;
    QTest::newRow("bin/Varno a file") << "bin/Varno" << QStringLiteral("some.dat") << 2;
  }
  void commandLines() {
    QFETCH(QString, program);
    QFETCH(QString, argument);
    QFETCH(int, status);
    QTemporaryDir cwd;
    const QStringList before = Snapshot(prefix_.path()) + Snapshot(base_.path());
    QProcess p;
    QProcessEnvironment env = UserEnv(B(QStringLiteral("data")), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DISPLAY"));  // a program that made a window would fail
    if (argument == QLatin1String("-bogus") || argument == QLatin1String("some.dat")) {
      env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(cwd.path());
    QElapsedTimer clock;
    clock.start();
    p.start(P(program), {argument});
    const Result r = Finish(p, clock, 20000);
    QVERIFY(r.finished);
    QCOMPARE(r.status, status);
    const QByteArray usage = (status == 0 ? r.out : r.err).toLower();
    QVERIFY2(usage.contains("usage:"), (r.out + r.err).constData());
    QCOMPARE((status == 0 ? r.err : r.out), QByteArray());
    QCOMPARE(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(Snapshot(prefix_.path()) + Snapshot(base_.path()), before);
  }

  // Started by a user who may not write the installed folder, both programs come up and end
  // cleanly; the work store and the preview file live in the user's data folder.
  void startFromThePrefix() {
    QProcessEnvironment env = UserEnv(B(QStringLiteral("data")), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("BRELLION_EXIT_AFTER_MS"), QString::number(kExitAfterMs));
    QProcess manager;
    QElapsedTimer clock;
    clock.start();
    StartAsUser(manager, QStringLiteral("bin/Brellion"), env);
    Result r = Finish(manager, clock, 30000);
    QVERIFY2(r.finished, r.err.constData());
    QCOMPARE(r.status, 0);
    QVERIFY2(r.ms >= kExitAfterMs, "ended before its window was up");
    QCOMPARE(QFileInfo(B(QStringLiteral("data/Brellion/data.tmp"))).size(), 904672);
    QVERIFY(QFileInfo(B(QStringLiteral("data/Brellion/PREVIEW"))).isDir());
    QVERIFY(!QFile::exists(P(QStringLiteral("lib/brellion/data.tmp"))));

    WritePreview(B(QStringLiteral("data/Brellion/PREVIEW/preview.tmp")));
    QProcess previewer;
    clock.restart();
    StartAsUser(previewer, QStringLiteral("bin/Varno"), env);
    r = Finish(previewer, clock, 30000);
    QVERIFY2(r.finished, "no window came up (a message box waits?)");
    QCOMPARE(r.status, 0);
    QVERIFY(r.ms >= kExitAfterMs);
    QVERIFY(!QFile::exists(P(QStringLiteral("lib/brellion/PREVIEW/preview.tmp"))));
  }

  // The Debian package holds the same layout and depends on what the programs load.
  void debianPackage() {
    QTemporaryDir out;
    QProcess cpack;
    cpack.setWorkingDirectory(QStringLiteral(BRELLION_BUILD_DIR));
    cpack.start(QStringLiteral(BRELLION_CPACK), {"-G", "DEB", "-B", out.path()});
    QVERIFY(cpack.waitForFinished(240000));
    QVERIFY2(cpack.exitCode() == 0, cpack.readAllStandardOutput().constData());
    const QStringList debs = QDir(out.path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    const QString deb = out.filePath(debs[0]);
    const QString fields = Tool(QStringLiteral("dpkg-deb"), {"-f", deb, "Package", "Depends"});
    QVERIFY2(fields.contains(QLatin1String("Package: brellion\n")), qPrintable(fields));
    for (const char* dependency : {"libqt6widgets6", "libqt6serialport6", "qt6-qpa-plugins"}) {
      QVERIFY2(fields.contains(QLatin1String(dependency)), qPrintable(fields));
    }
    const QString contents = Tool(QStringLiteral("dpkg-deb"), {"-c", deb});
    for (const char* entry :
         {"./usr/bin/Brellion -> ../lib/brellion/Brellion", "./usr/lib/brellion/PREVIEW/Varno",
          "./usr/lib/brellion/PREVIEW/font/", "./usr/share/applications/brellion.desktop"}) {
      QVERIFY2(contents.contains(QLatin1String(entry)), entry);
    }
  }

  // What the window system shows: each window and box has its own title and nothing more.
  void windowSystemTitles_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("dataHome");
    QTest::addColumn<QString>("title");
    QTest::newRow("manager") << "bin/Brellion"
                             << "data" << QStringLiteral("전광판 제어기(128MB)");
    // A data folder that cannot be made: the store cannot be created.
    QTest::newRow("manager's fatal start") << "bin/Brellion"
                                           << "home/plain-file" << QStringLiteral("실행할수 없음");
    QTest::newRow("previewer") << "bin/Varno"
                               << "data" << QStringLiteral("미리보기(128MB)");
    QTest::newRow("previewer without preview") << "bin/Varno"
                                               << "home" << QStringLiteral("파일없음");
  }
  void windowSystemTitles() {
    QFETCH(QString, program);
    QFETCH(QString, dataHome);
    QFETCH(QString, title);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) QFAIL("needs an X display (run under xvfb-run)");
    QFile plain(B(QStringLiteral("home/plain-file")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    if (!QFile::exists(B(QStringLiteral("data/Brellion/PREVIEW/preview.tmp")))) {
      MakeUserDir(B(QStringLiteral("data/Brellion")));
      MakeUserDir(B(QStringLiteral("data/Brellion/PREVIEW")));
      WritePreview(B(QStringLiteral("data/Brellion/PREVIEW/preview.tmp")));
    }
    QProcess p;
    StartAsUser(p, program, UserEnv(B(dataHome), QStringLiteral("xcb")));
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
};

QTEST_GUILESS_MAIN(InstallTest)
#include "test_install.moc"
