// brellion-cli event [LINK OR SIGNS] PROJECT.dat INDEX
// brellion-cli event-cancel [LINK OR SIGNS] [PROJECT.dat]
#include <string>

#include "manager/events/event_list.h"
#include "manager/fleet/jobs.h"
#include "manager/store/work_store.h"
#include "tools/brellion-cli/cli.h"

namespace {

// "0".."9" as a number; -1 for anything else.
int ParseIndex(const std::string& s) {
  if (s.size() != 1 || s[0] < '0' || s[0] > '9') return -1;
  return s[0] - '0';
}

}  // namespace

int RunEvent(cli::Session& session) {
  std::vector<std::string> positional;
  std::optional<std::string> extra;
  if (!session.Positionals(2, &positional, &extra)) return cli::kExitUsage;
  if (extra) return session.UsageError("wrong number of arguments");
  const int index = ParseIndex(positional[1]);
  if (index < 0) return session.UsageError("INDEX is 0 to 9, not '" + positional[1] + "'");
  if (!session.OpenStore(positional[0])) return cli::kExitUsage;
  const std::vector<item::ItemRecord> list = events::ReadEvents(store::TheWorkStore());
  if (index >= static_cast<int>(list.size())) {
    return session.UsageError("the project holds " + std::to_string(list.size()) +
                              " events; event slot " + positional[1] + " is empty");
  }
  // Event commands go out without a model check, as the manager sends them.
  return session.RunOnTargets(fleet::EventJob(list[static_cast<std::size_t>(index)]));
}

int RunEventCancel(cli::Session& session) {
  std::vector<std::string> positional;
  std::optional<std::string> project;
  if (!session.Positionals(0, &positional, &project)) return cli::kExitUsage;
  if (!session.OpenStore(project)) return cli::kExitUsage;
  return session.RunOnTargets(fleet::EventCancelJob());
}
