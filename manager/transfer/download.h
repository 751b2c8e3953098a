#pragma once
// The download of a program into the sign: the model check, the rows-code check, every
// item as the program layout places it (header, used body quarters, picture planes), the
// item count at 0x02000E and the apply command, each frame acknowledged before the next.
// The first failure stops the download; items already written stay on the sign with the
// old count. Runs on the caller's thread; the progress and cancel callbacks are called
// between frames.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "manager/encode/program_layout.h"
#include "manager/link/sign_link.h"
#include "shared/item_record.h"

namespace store {
class WorkStore;
}

namespace transfer {

enum class Outcome {
  kDone,               // every frame acknowledged, count and apply included
  kUnreachable,        // the model check's read failed
  kOtherModel,         // a sign of another model answered
  kHeightUnreadable,   // the read of the sign's rows code failed
  kHeightMismatch,     // the sign holds another rows code than the one configured
  kItemFailed,         // an item's frame was not acknowledged
  kPictureUnreadable,  // a bitmap or animation file is missing or does not decode
  kPictureTooLarge,    // a picture would run past its image area
  kCountFailed,        // the count write was not acknowledged
  kApplyFailed,        // the apply command was not acknowledged
  kCancelled,          // stopped between two frames at the caller's request
};

struct Report {
  Outcome outcome = Outcome::kDone;
  signlink::Result code = signlink::Result::kOk;  // of the exchange that failed
  int item = -1;            // list position of the item that failed, from 0
  std::string picturePath;  // its picture file, UTF-8, for picture failures
  int frames = 0;           // frames sent, the checks included
  int total = 0;            // progress steps announced
  int steps = 0;            // progress steps taken
};

// Operator message and caption, UTF-8.
struct Message {
  std::string text;
  std::string caption;
};
Message MessageFor(const Report& report);

struct Progress {
  std::function<void(int total)> begin;  // before the first item frame, when the list is not empty
  std::function<void(int item)> step;    // a step of item `item` was acknowledged
  std::function<void()> end;             // once the items were begun, whatever the outcome
  std::function<bool()> cancelled;       // asked before every frame after the checks
};

// Downloads `list` (at most 100 items are taken). `rowsCode` is the configured height,
// 1 or 2, that the sign must already hold. Each picture file is read once (PictureCache).
Report Download(signlink::SignLink& link, std::span<const item::ItemRecord> list,
                std::uint8_t rowsCode, const Progress& progress, encode::PictureSource& pictures);
Report Download(signlink::SignLink& link, std::span<const item::ItemRecord> list,
                std::uint8_t rowsCode, const Progress& progress = {});

// The message list of the work store: as many items as the presence rule finds, each
// slot read whole.
std::vector<item::ItemRecord> ReadProgram(store::WorkStore& store);

// Progress steps of a whole download of `list`, as the download announces them; also
// tells which item's picture cannot be used (`badItem`, -1 when none).
struct Plan {
  int total = 0;
  int badItem = -1;
  encode::ItemStatus badStatus = encode::ItemStatus::Ok;
};
Plan PlanDownload(std::span<const item::ItemRecord> list, encode::PictureSource& pictures);

}  // namespace transfer
