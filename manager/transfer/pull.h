#pragma once
// Bringing a sign's program back into a project. The settings block, the count, the item
// table and each item's body and image bytes are read (at most 2048 data bytes a read) and
// rebuilt as the list's records plus a picture file for every bitmap (BMP) and animation
// (GIF), so that a download of the project leaves the same program in a sign's memory.
// An item whose bytes cannot be an item is left out whole and reported; the items after it
// move up. Nothing is written to the sign, and files only once the whole read succeeded.

#include <cstdint>
#include <string>
#include <vector>

#include "manager/link/sign_link.h"
#include "manager/transfer/download.h"
#include "shared/item_record.h"

namespace transfer {

enum class SkipReason {
  kUnknownKind,     // kind code above 7
  kNoText,          // a text item without its first text: a list cannot hold it
  kBadPictureSize,  // no dots or no frames, or more than a picture file here may hold
  kImageOutside,    // the image address or the image's end lies outside the kind's area
};

struct SkippedItem {
  int position = 0;  // on the sign, from 0
  std::uint8_t kind = 0;
  SkipReason reason = SkipReason::kUnknownKind;
};

// The sign's settings block (0x020008-0x020011) as read, unrepaired.
struct SignSettings {
  std::uint8_t width = 0, rowsCode = 0, windowMode = 0, brightMode = 0;
  std::uint8_t dayLevel = 0, nightLevel = 0, connection = 0;
};

// The image bytes of a bitmap or an animation item, as the sign holds them.
struct PulledPicture {
  int item = 0;          // position in the pulled list
  int signPosition = 0;  // on the sign, which names its file
  bool animation = false;
  int width = 0, height = 0, frames = 1;  // dots; frames of an animation
  std::vector<std::uint8_t> image = {};   // frames * board::PictureBytes(width, height)
};

enum class PullOutcome {
  kDone,
  kUnreachable,  // the model check's read failed
  kOtherModel,   // a sign of another model answered
  kBadCount,     // the sign's count is above 100
  kReadFailed,   // a read was not answered (code)
  kCancelled,    // stopped between two reads at the caller's request
};

struct PulledProgram {
  PullOutcome outcome = PullOutcome::kDone;
  signlink::Result code = signlink::Result::kOk;
  SignSettings settings;
  int signCount = 0;
  // The list; a picture item's text A is empty until WritePulledProject names its file,
  // and its image address is 0 as the store keeps it.
  std::vector<item::ItemRecord> records;
  std::vector<PulledPicture> pictures;
  std::vector<SkippedItem> skipped;
};

// Reads the sign's program. Progress begins once the item table is read, with the number of
// reads still to come, and steps after each (the item is the sign position); cancel is
// asked before every read after the model check.
PulledProgram ReadSignProgram(signlink::SignLink& link, const Progress& progress = {});

// The link slots of the project: how the program was read.
struct LinkSlots {
  std::uint8_t transmit = 0;  // 0 RS-232, 1 TCP/IP
  std::uint32_t ipAddress = 0;
  std::uint16_t tcpPort = 0;
  std::uint8_t serialPort = 1;  // COM number
};

// Where pictures go by default: beside the project, named after it without its extension
// ("/x/show.dat" gives "/x/show").
std::string DefaultPictureFolder(const std::string& projectPath);

// Whether the items can name files in `folder` (its absolute path in code page 949, with
// the longest file name, inside an item's 2047 text bytes). Empty when they can, otherwise
// the operator's message (UTF-8).
std::string PictureFolderProblem(const std::string& folder);

// Writes the pictures into `folder` (made when missing), then the project, each file whole
// or not at all; on a failure no project is written and pictures this call created are
// removed. A project file a manager holds is not replaced (store::kInUseError). Returns 0
// or the errno, with the path that failed. Paths are in the file system's encoding.
struct WriteFailure {
  int error = 0;
  std::string path;
};
WriteFailure WritePulledProject(const PulledProgram& program, const LinkSlots& link,
                                const std::string& projectPath, const std::string& folder);

// Operator texts, UTF-8: why a read ended (for any outcome but kDone), and one line per
// item left out ("3번째 항목(애니메이션): ...").
Message MessageFor(const PulledProgram& program);
std::string SkipText(const SkippedItem& skipped);

}  // namespace transfer
