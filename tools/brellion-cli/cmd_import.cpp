// brellion-cli import FILE.json OUT.dat
// Builds the project a JSON text describes (FILE.json "-": the standard input). A refused
// text leaves OUT.dat as it was; an accepted one replaces it whole, unless a manager has it
// open.
#include <cstdio>

#include "manager/list/project.h"
#include "manager/textform/project_text.h"
#include "shared/file_io.h"
#include "tools/brellion-cli/file_args.h"

namespace {

constexpr std::size_t kMaxJsonBytes = textform::kMaxTextBytes;

bool ReadStandardInput(std::string* text) {
  char buffer[65536];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
    text->append(buffer, n);
    if (text->size() > kMaxJsonBytes) return false;
  }
  return !std::ferror(stdin);
}

}  // namespace

int RunImport(cli::Session& session) {
  std::vector<std::string> names;
  if (!cli::FileArguments(session, 2, &names)) return cli::kExitUsage;
  const std::string& source = names[0];
  const std::string& target = names[1];
  std::string text;
  int error = 0;
  if (source == "-") {
    if (!ReadStandardInput(&text)) {
      std::fprintf(
          stderr, "brellion-cli: cannot read the standard input, or it holds more than %zu bytes\n",
          kMaxJsonBytes);
      return cli::kExitUsage;
    }
  } else if (const auto bytes = fileio::ReadRegularFile(source, kMaxJsonBytes, &error)) {
    text.assign(bytes->begin(), bytes->end());
  } else {
    std::fprintf(stderr, "brellion-cli: cannot read %s: %s\n", source.c_str(),
                 fileio::FailureReason(error).c_str());
    return cli::kExitUsage;
  }

  const textform::ImportResult result = textform::ImportProject(text);
  for (const std::string& w : result.warnings)
    std::fprintf(stderr, "brellion-cli: %s: warning: %s\n", source.c_str(), w.c_str());
  if (!result.project) {
    std::fprintf(stderr, "brellion-cli: %s: %s\n", source.c_str(), result.error.c_str());
    return cli::kExitUsage;
  }
  // Never under a manager working on that file: it would go on writing into the old one.
  error = store::ReplaceStoreFile(target, *result.project);
  if (error != 0) {
    std::fprintf(stderr, "brellion-cli: cannot write %s: %s\n", target.c_str(),
                 msglist::ReasonText(error).c_str());
    return cli::kExitFailed;
  }
  std::fprintf(stderr, "%s: %zu items\n", target.c_str(),
               textform::ReadItems(*result.project).size());
  return cli::kExitOk;
}
