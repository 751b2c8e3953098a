#include "manager/link/sign_link.h"

#include <cstring>

#include "shared/board_memory.h"

namespace signlink {

ModelCheck CheckModel(SignLink& link) {
  std::uint8_t id[16] = {};
  if (link.SendAndRead(BuildMemoryRead(board::kModelId, 8), id, 8) != Result::kOk) {
    return ModelCheck::kUnreachable;
  }
  return std::strcmp(reinterpret_cast<const char*>(id), "VARNO") == 0 ? ModelCheck::kRightModel
                                                                      : ModelCheck::kOtherModel;
}

}  // namespace signlink
