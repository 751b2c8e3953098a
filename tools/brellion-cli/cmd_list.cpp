// brellion-cli list PROJECT.dat
// The message list's rows as the manager shows them: the eight columns tab-separated, one
// row a line.
#include <cstdio>

#include "manager/list/row_text.h"
#include "manager/textform/project_text.h"
#include "tools/brellion-cli/file_args.h"

int RunList(cli::Session& session) {
  std::vector<std::string> names;
  if (!cli::FileArguments(session, 1, &names)) return cli::kExitUsage;
  const std::optional<textform::ProjectBytes> project = cli::ReadProject(session, names[0]);
  if (!project) return cli::kExitUsage;
  std::string out;
  for (const item::ItemRecord& r : textform::ReadItems(*project)) {
    const msglist::RowText row = msglist::ItemRowText(r);
    for (std::size_t k = 0; k < row.size(); ++k) {
      if (k > 0) out += '\t';
      // A damaged text's tab or line break would split the row.
      for (char c : row[k]) out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    out += '\n';
  }
  if (std::fwrite(out.data(), 1, out.size(), stdout) == out.size() && std::fflush(stdout) == 0)
    return cli::kExitOk;
  std::fprintf(stderr, "brellion-cli: cannot write the standard output\n");
  return cli::kExitFailed;
}
