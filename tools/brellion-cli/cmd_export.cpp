// brellion-cli export PROJECT.dat [--out FILE.json]
// The project as JSON text (README, "Projects as text") on stdout, or written whole into
// FILE.json.
#include <cstdio>

#include "manager/textform/project_text.h"
#include "shared/file_io.h"
#include "tools/brellion-cli/file_args.h"

int RunExport(cli::Session& session) {
  std::vector<std::string> names;
  std::optional<std::string> out;
  if (!cli::FileArguments(session, 1, &names, &out)) return cli::kExitUsage;
  const std::optional<textform::ProjectBytes> project = cli::ReadProject(session, names[0]);
  if (!project) return cli::kExitUsage;
  const std::string json = textform::ExportProject(*project);
  if (out) {
    const int error = fileio::WriteFileAtomically(
        *out, {reinterpret_cast<const std::uint8_t*>(json.data()), json.size()});
    if (error == 0) return cli::kExitOk;
    std::fprintf(stderr, "brellion-cli: cannot write %s: %s\n", out->c_str(),
                 fileio::FailureReason(error).c_str());
    return cli::kExitFailed;
  }
  if (std::fwrite(json.data(), 1, json.size(), stdout) == json.size() && std::fflush(stdout) == 0)
    return cli::kExitOk;
  std::fprintf(stderr, "brellion-cli: cannot write the standard output\n");
  return cli::kExitFailed;
}
