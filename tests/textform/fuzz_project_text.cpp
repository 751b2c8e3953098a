// Whatever the importer is given ends in a project or a named fault, and an accepted project
// exports to a text that imports to the same bytes. Whatever 904672 bytes a project holds
// (an editor-made one with bytes changed, or input repeated over the file), its export
// imports back byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "manager/events/event_list.h"
#include "manager/store/work_store.h"
#include "manager/textform/project_text.h"
#include "tests/support/sample_project.h"

namespace {

void CheckRoundTrip(const textform::ProjectBytes& p) {
  const textform::ImportResult r = textform::ImportProject(textform::ExportProject(p));
  if (!r.project || *r.project != p) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] == '{') {
    const textform::ImportResult r =
        textform::ImportProject({reinterpret_cast<const char*>(data), size});
    if (r.project.has_value() == !r.error.empty()) std::abort();
    if (r.project) CheckRoundTrip(*r.project);
    return 0;
  }
  textform::ProjectBytes p;
  if (data[0] % 2 == 0) {
    // (offset, value) quadruples after the first byte, over an editor-made project.
    static const textform::ProjectBytes base = sample::Project(24);
    p = base;
    for (std::size_t i = 1; i + 4 <= size; i += 4)
      p[(std::size_t(data[i]) << 16 | std::size_t(data[i + 1]) << 8 | data[i + 2]) % p.size()] =
          data[i + 3];
  } else {
    // The input after the first byte repeated to fill the file, the lists cut short (bits of
    // the first byte) so that a run stays quick under the sanitizers; the slots past them
    // hold the same bytes, as raw runs.
    p.assign(store::kFileSize, 0);
    for (std::size_t k = 0; size > 1 && k < p.size(); ++k) p[k] = data[1 + k % (size - 1)];
    for (const int slot : {data[0] >> 1 & 7, events::StoreSlot(data[0] >> 4 & 3)}) {
      p[store::SlotOffset(slot)] = 0;
      p[store::SlotOffset(slot) + item::QuarterOffset(item::QuarterId::TextA)] = 0;
    }
  }
  CheckRoundTrip(p);
  return 0;
}
