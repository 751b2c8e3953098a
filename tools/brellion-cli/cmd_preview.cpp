// brellion-cli preview PROJECT.dat [--out FILE] [--launch]
// Writes the preview file as 미리보기 -> 보기 does; by default the one the previewer beside
// this program reads (in the manager's work folder), which --launch then starts.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>

#include "manager/store/work_store.h"
#include "manager/transfer/download.h"
#include "manager/transfer/preview_file.h"
#include "qtshared/program_folders.h"
#include "tools/brellion-cli/cli.h"

int RunPreview(cli::Session& session) {
  // --out and --launch are this subcommand's own; the rest is the common form.
  std::optional<std::string> out;
  bool launch = false;
  std::vector<std::string> rest;
  const std::vector<std::string> args = session.args_;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--launch") {
      launch = true;
    } else if (args[i] == "--out") {
      if (i + 1 == args.size()) return session.UsageError("--out needs a file");
      out = args[++i];
    } else {
      rest.push_back(args[i]);
    }
  }
  session.args_ = rest;
  std::vector<std::string> positional;
  std::optional<std::string> project;
  if (!session.Positionals(0, &positional, &project)) return cli::kExitUsage;
  if (!project) return session.UsageError("PROJECT.dat is needed");

  const auto previewFolder = [](const QString& dir) {
    return QString::fromStdString(transfer::PreviewFolder(dir.toStdString()));
  };
  const QString programDir = QCoreApplication::applicationDirPath();
  const QString previewer = previewFolder(programDir);       // where the previewer is
  const QString folder = previewFolder(WorkFolder(programDir));  // where it reads its file
  const QString defaultFile = folder + QString::fromLatin1(transfer::kPreviewFileName);
  const QString file = out ? QString::fromStdString(*out) : defaultFile;
  // The previewer takes no arguments: it plays the file beside itself only.
  if (launch && QFileInfo(file).absoluteFilePath() != QFileInfo(defaultFile).absoluteFilePath())
    return session.UsageError("--launch plays " + defaultFile.toStdString() + " only");
  if (!session.OpenStore(project)) return cli::kExitUsage;

  store::WorkStore& store = store::TheWorkStore();
  const std::vector<item::ItemRecord> list = transfer::ReadProgram(store);
  // The settings as the manager repairs them at start, without writing them back.
  const std::uint8_t width = store.Width();
  const std::uint8_t height = store.Height();
  const transfer::PreviewSettings settings{
      .width = static_cast<std::uint8_t>(width < 2 || width > 20 ? 6 : width),
      .rowsCode = static_cast<std::uint8_t>(height == 2 ? 2 : 1),
      .connection = static_cast<std::uint8_t>(store.Connection() == 1 ? 1 : 0),
  };
  if (!out) QDir().mkpath(folder);
  const transfer::PreviewReport r = transfer::WritePreview(file.toStdString(), list, settings);
  if (!r.written) {
    std::fprintf(stderr, "미리보기실패: cannot write %s\n", file.toLocal8Bit().constData());
    return cli::kExitFailed;
  }
  std::fprintf(stderr, "%s: %d items\n", file.toLocal8Bit().constData(), r.items);
  if (launch && !QProcess::startDetached(previewer + QString::fromLatin1(transfer::kPreviewerName),
                                         {}, previewer)) {
    std::fprintf(stderr, "미리보기: 미리보기실패\n");
    return cli::kExitFailed;
  }
  return cli::kExitOk;
}
