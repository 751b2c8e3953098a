#pragma once
// Whether a sign holds a program: every write a download of the list would make (item
// table entry, used body quarters, picture planes) is read back from the same board address
// with a read of the same size, at most 2048 data bytes, and compared; then the count at
// 0x02000E. Nothing is written to the sign. Runs on the caller's thread; the progress and
// cancel callbacks are called between reads.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "manager/encode/program_layout.h"
#include "manager/link/sign_link.h"
#include "manager/transfer/download.h"
#include "shared/item_record.h"

namespace transfer {

enum class VerifyOutcome {
  kSame,               // every byte and the count as the download leaves them
  kDiffers,            // see differences and countDiffers
  kUnreachable,        // the model check's read failed
  kOtherModel,         // a sign of another model answered
  kReadFailed,         // a read was not answered (code)
  kPictureUnreadable,  // a picture file is missing or does not decode (item, picturePath)
  kPictureTooLarge,    // a picture would run past its image area
  kCancelled,          // stopped between two reads at the caller's request
};

struct ItemDifference {
  int item = 0;  // list position, from 0
  std::uint8_t kind = 0;
  std::uint32_t address = 0;  // the first board address whose byte differs
};

struct VerifyReport {
  VerifyOutcome outcome = VerifyOutcome::kSame;
  signlink::Result code = signlink::Result::kOk;  // of the read that failed
  std::vector<ItemDifference> differences;        // in list order
  bool countDiffers = false;
  std::uint16_t signCount = 0;  // the sign's count, read when no item stopped the check
  int itemCount = 0;            // the program's count
  int item = -1;                // picture failures: the item and its file, UTF-8
  std::string picturePath;
};

struct VerifyOptions {
  bool checkModel = true;    // the model check first, as every command opens
  bool stopAtFirst = false;  // end at the first differing item, without the count
};

// Compares the sign with `list` (at most 100 items are taken). Every picture is read before
// the sign is asked anything. Progress steps as the download does, one per step it takes.
VerifyReport Verify(signlink::SignLink& link, std::span<const item::ItemRecord> list,
                    const VerifyOptions& options, const Progress& progress,
                    encode::PictureSource& pictures);

// The operator's message for a comparison, UTF-8.
Message MessageFor(const VerifyReport& report);

}  // namespace transfer
