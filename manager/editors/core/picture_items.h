#pragma once
// The items without text: bitmap (kind 3), animation (kind 4), date/time (5) and
// temperature (7). Their editors' values become item records here and are read back for
// a modification; the chosen picture files are checked and converted here, so the
// dialogs only show what these functions decide.

#include <optional>
#include <string>
#include <string_view>

#include "manager/encode/gif_reader.h"
#include "manager/encode/import_checks.h"
#include "manager/encode/planes.h"
#include "shared/item_record.h"

namespace editors {

// A new item's hold code: "3" seconds.
inline constexpr int kDefaultHoldCode = 2;

// Daily display window in minutes after midnight (0..1439); only hour and minute are kept.
struct DisplayWindow {
  int startMinutes = 0;
  int endMinutes = 0;
  bool operator==(const DisplayWindow&) const = default;
};

struct BitmapValues {
  int mode = 0;  // 0 "1.유지시간동안유지", 1 "2.좌로 스크롤"
  int speed = 0;
  int hold = kDefaultHoldCode;
  int width = 0, height = 0;  // pixels, as read from the file
  std::string path;           // CP949; empty = no file chosen
  DisplayWindow window;
  bool operator==(const BitmapValues&) const = default;
};

struct AnimationValues {
  int speed = 0;
  int width = 0, height = 0;  // logical screen, pixels
  int frames = 0;             // at most encode::kMaxAnimationFrames
  std::string path;           // CP949; empty = no file chosen
  DisplayWindow window;
  bool operator==(const AnimationValues&) const = default;
};

struct HoldTimeValues {
  bool temperature = false;  // kind 7, else date/time (kind 5)
  int hold = kDefaultHoldCode;
  DisplayWindow window;
  bool operator==(const HoldTimeValues&) const = default;
};

// Records as the list stores them: header zero but for the kind's bytes, body quarter A
// the path (NUL-terminated, zero-padded; a path over 2047 bytes is cut, which the file
// checks below never let through), the other quarters zero. Codes go in as given.
item::ItemRecord BuildBitmapItem(const BitmapValues& v);
item::ItemRecord BuildAnimationItem(const AnimationValues& v);
item::ItemHeader BuildHoldTimeHeader(const HoldTimeValues& v);

// Values of a stored item for its editor. A code beyond its list (only a damaged or
// foreign file holds one) reads as the new item's default; a window time past 23:59 as
// 00:00.
BitmapValues ReadBitmapItem(const item::ItemHeader& h, const item::ItemBody& b);
AnimationValues ReadAnimationItem(const item::ItemHeader& h, const item::ItemBody& b);
HoldTimeValues ReadHoldTimeHeader(const item::ItemHeader& h, bool temperature);

// A chosen file's path (UTF-8, as the file dialog gives it) as an item stores it: CP949
// of at most 2047 bytes. Otherwise PathNotCp949 or PathTooLong and an empty path.
struct StoredPath {
  encode::ImportResult result = encode::ImportResult::Ok;
  std::string cp949;
};
StoredPath PathForItem(std::string_view utf8Path);

// A bitmap file checked for its editor: the size limits of `how`, then the planes the
// sign will show. On a refusal the planes are empty and width and height 0.
struct BitmapFile {
  encode::ImportResult result = encode::ImportResult::Ok;
  int width = 0, height = 0;
  encode::Planes planes;
};
BitmapFile OpenBitmapFile(std::string_view cp949Path, encode::BitmapOpen how);

// Loads an animation into `gif`: the name must end in .gif, the file must yield at least
// one frame (a single-image GIF is a one-frame animation) and at most
// encode::kMaxAnimationFrames. On a refusal `gif` holds no document.
encode::ImportResult OpenAnimationFile(std::string_view cp949Path, encode::GifDecoder& gif);

// Plays a loaded animation the way its editor shows it: each step draws the next frame
// over the canvas and wraps after the last; frame delays are not used.
class FramePlayer {
 public:
  explicit FramePlayer(encode::GifDecoder& gif) : gif_(gif) {}
  // Starts again from frame 0 (after a new file was loaded).
  void Restart() { next_ = 0; }
  // Draws the next frame and returns the canvas as the sign's planes; nullopt when the
  // decoder holds no frame.
  std::optional<encode::Planes> Step();
  int NextFrame() const { return next_; }

 private:
  encode::GifDecoder& gif_;
  int next_ = 0;
};

}  // namespace editors
