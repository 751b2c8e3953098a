// brellion-cli verify [LINK OR SIGNS] PROJECT.dat
// Reads back what a download of the project would write and compares; writes nothing.
// To one sign, one line per differing item on stdout, and one when the count differs.
#include <cstdio>

#include "manager/fleet/jobs.h"

#include "manager/encode/program_layout.h"
#include "manager/store/work_store.h"
#include "manager/transfer/verify.h"
#include "shared/codes.h"
#include "tools/brellion-cli/cli.h"
#include "tools/brellion-cli/console_progress.h"

int RunVerify(cli::Session& session) {
  std::vector<std::string> positional;
  std::optional<std::string> project;
  if (!session.Positionals(0, &positional, &project)) return cli::kExitUsage;
  if (!project) return session.UsageError("PROJECT.dat is needed");
  if (!session.OpenStore(project)) return cli::kExitUsage;
  const std::vector<item::ItemRecord> list = transfer::ReadProgram(store::TheWorkStore());
  if (session.ManyTargets()) return session.RunOnTargets(fleet::VerifyJob(list));

  encode::FilePictures pictures;
  transfer::VerifyReport report;
  {
    cli::ConsoleProgress progress;
    report = transfer::Verify(session.Link(), list, {}, progress.callbacks(), pictures);
  }
  for (const transfer::ItemDifference& d : report.differences)
    std::printf("item %d (%s): differs from 0x%06X\n", d.item + 1,
                std::string(item::KindLabel(d.kind)).c_str(), d.address);
  if (report.countDiffers)
    std::printf("count: sign %u, project %d\n", unsigned{report.signCount}, report.itemCount);
  std::fflush(stdout);

  const transfer::Message m = transfer::MessageFor(report);
  session.Report({true, m.text, m.caption});
  switch (report.outcome) {
    case transfer::VerifyOutcome::kSame:
      return cli::kExitOk;
    case transfer::VerifyOutcome::kDiffers:
      return cli::kExitDiffers;
    case transfer::VerifyOutcome::kPictureUnreadable:
    case transfer::VerifyOutcome::kPictureTooLarge:
      return cli::kExitUsage;  // the project cannot say what a download would write
    default:
      return cli::kExitFailed;
  }
}
