#include "sign/frame_buffer.h"

#include <algorithm>

namespace sign {

void FrameBuffer::clearRows(int first, int count) {
  for (int r = std::max(first, 0); r < first + count && r < kFrameRows; ++r) {
    std::fill_n(row(r), kFrameColumns, std::uint8_t{0});
  }
}

}  // namespace sign
