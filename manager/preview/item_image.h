#pragma once
// The board memory a download of a list would leave in the sign, held in memory: the
// settings the board plays by, then every write of the program layout the download and
// the preview writer use, joined into contiguous runs. Nothing is written to disk; a
// sign::FlashImage opened on the runs plays it as it would play a preview file.

#include <span>
#include <vector>

#include "manager/encode/program_layout.h"
#include "shared/item_record.h"
#include "sign/flash_image.h"

namespace preview {

// The board the items are shown on, as the settings hold it.
struct Board {
  int modules = 6;          // width in 16-dot modules
  int tiers = 1;            // 1 or 2
  bool connection = false;  // "O": a pass-through text runs straight into the next item
};

// Runs sorted by address; touching writes are joined, so a one-item program is a few runs.
std::vector<sign::FlashImage::Segment> ProgramImage(std::span<const item::ItemRecord> records,
                                                    const Board& board,
                                                    encode::PictureSource& pictures);
// The list of one item, as an editor shows it while it is edited.
std::vector<sign::FlashImage::Segment> OneItemImage(const item::ItemRecord& record,
                                                    const Board& board,
                                                    encode::PictureSource& pictures);

}  // namespace preview
