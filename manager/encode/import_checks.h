#pragma once
// What the picture editors check when a file is chosen, and the message each refusal
// shows (UTF-8 text and caption, for a message box with an OK button).

#include <string_view>

namespace encode {

enum class ImportResult {
  Ok = 0,
  NotBmp,           // not a BMP file this reader takes
  TooWide,          // wider than 800, a newly chosen file
  TooWideReopened,  // wider than 500, the file of an item reopened for modification
  TooHigh,          // more than 160 rows
  NotGifName,       // the name's extension is not gif
  GifUnreadable,    // cannot be opened, or yields no frame
  NoPicture,        // the bitmap editor's preview could not load the file
  PathNotCp949,     // the path holds characters code page 949 cannot store
  PathTooLong,      // the path does not fit the item's 2047 text bytes
  TooManyFrames,    // more frames than the header's one-byte count can say
};

// The header keeps an animation's frame count in one byte while the download sends every
// frame, so a longer animation would play a wrong count on the sign.
inline constexpr int kMaxAnimationFrames = 255;

// A bitmap chosen for a new item may be up to 800 wide, one reopened for modification up
// to 500; both at most 160 high.
enum class BitmapOpen { New, Reopened };
inline constexpr int kNewBitmapMaxWidth = 800;
inline constexpr int kReopenedBitmapMaxWidth = 500;
inline constexpr int kBitmapMaxHeight = 160;

struct ImportMessage {
  std::string_view text;
  std::string_view caption;
};

// The message for a refusal; empty texts for Ok.
ImportMessage MessageFor(ImportResult r);

// Width is checked before height.
ImportResult CheckBitmapSize(int width, int height, BitmapOpen how);
// Reads the file's headers: NotBmp, TooWide, TooHigh or Ok.
ImportResult CheckBitmapFile(std::string_view cp949Path, BitmapOpen how);

// The part after the last dot of the file name, compared case-blind with "gif".
ImportResult CheckGifName(std::string_view cp949Path);

// More than kMaxAnimationFrames frames: TooManyFrames, else Ok.
ImportResult CheckFrameCount(int frames);

// Whether the editor clears the chosen path after this refusal: always for a new file; a
// reopened bitmap keeps its stored path.
bool ClearsPath(ImportResult r, BitmapOpen how);

}  // namespace encode
