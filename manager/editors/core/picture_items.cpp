#include "manager/editors/core/picture_items.h"

#include "manager/encode/bmp_reader.h"
#include "shared/codes.h"
#include "shared/cp949.h"

namespace editors {

namespace {

using encode::ImportResult;
namespace hdr = item::hdr;

std::uint8_t Code(int code) {
  return static_cast<std::uint8_t>(code);
}

void PutWindow(item::ItemHeader& h, const DisplayWindow& w) {
  h.setStartMinutes(w.startMinutes);
  h.setEndMinutes(w.endMinutes);
}

int TimeAt(const item::ItemHeader& h, int hourAt) {
  const int hour = h[hourAt], minute = h[hourAt + 1];
  return hour < 24 && minute < 60 ? hour * 60 + minute : 0;
}

DisplayWindow WindowOf(const item::ItemHeader& h) {
  return {TimeAt(h, hdr::kStartHour), TimeAt(h, hdr::kEndHour)};
}

int CodeAt(const item::ItemHeader& h, int at, int count, int fallback) {
  return h[at] < count ? h[at] : fallback;
}

void PutPicture(item::ItemRecord& r, int width, int height, const std::string& path) {
  r.header.set16(hdr::kPictureWidth, static_cast<std::uint16_t>(width));
  r.header.set16(hdr::kPictureHeight, static_cast<std::uint16_t>(height));
  text::WriteTextQuarter(r.body.textA, path);
}

}  // namespace

item::ItemRecord BuildBitmapItem(const BitmapValues& v) {
  item::ItemRecord r;
  r.header.setKind(item::ItemKind::Bitmap);
  r.header[hdr::kBitmapMode] = Code(v.mode);
  r.header[hdr::kSpeed] = Code(v.speed);
  r.header[hdr::kHold] = Code(v.hold);
  PutPicture(r, v.width, v.height, v.path);
  PutWindow(r.header, v.window);
  return r;
}

item::ItemRecord BuildAnimationItem(const AnimationValues& v) {
  item::ItemRecord r;
  r.header.setKind(item::ItemKind::Animation);
  r.header[hdr::kSpeed] = Code(v.speed);
  r.header[hdr::kFrames] = Code(v.frames);
  PutPicture(r, v.width, v.height, v.path);
  PutWindow(r.header, v.window);
  return r;
}

item::ItemHeader BuildHoldTimeHeader(const HoldTimeValues& v) {
  item::ItemHeader h;
  h.setKind(v.temperature ? item::ItemKind::Temperature : item::ItemKind::DateTime);
  h[hdr::kHold] = Code(v.hold);
  PutWindow(h, v.window);
  return h;
}

BitmapValues ReadBitmapItem(const item::ItemHeader& h, const item::ItemBody& b) {
  BitmapValues v;
  v.mode = CodeAt(h, hdr::kBitmapMode, item::kBitmapModeCount, 0);
  v.speed = CodeAt(h, hdr::kSpeed, item::kSpeedCount, 0);
  v.hold = CodeAt(h, hdr::kHold, item::kHoldCount, kDefaultHoldCode);
  v.width = h.pictureWidth();
  v.height = h.pictureHeight();
  v.path = text::ReadTextQuarter(b.textA);
  v.window = WindowOf(h);
  return v;
}

AnimationValues ReadAnimationItem(const item::ItemHeader& h, const item::ItemBody& b) {
  AnimationValues v;
  v.speed = CodeAt(h, hdr::kSpeed, item::kSpeedCount, 0);
  v.width = h.pictureWidth();
  v.height = h.pictureHeight();
  v.frames = h[hdr::kFrames];
  v.path = text::ReadTextQuarter(b.textA);
  v.window = WindowOf(h);
  return v;
}

HoldTimeValues ReadHoldTimeHeader(const item::ItemHeader& h, bool temperature) {
  HoldTimeValues v;
  v.temperature = temperature;
  v.hold = CodeAt(h, hdr::kHold, item::kHoldCount, kDefaultHoldCode);
  v.window = WindowOf(h);
  return v;
}

StoredPath PathForItem(std::string_view utf8Path) {
  std::optional<std::string> cp949 = text::Utf8ToCp949(utf8Path);
  if (!cp949) return {ImportResult::PathNotCp949, {}};
  if (cp949->size() > item::kMaxTextBytes) return {ImportResult::PathTooLong, {}};
  return {ImportResult::Ok, std::move(*cp949)};
}

BitmapFile OpenBitmapFile(std::string_view cp949Path, encode::BitmapOpen how) {
  BitmapFile out;
  out.result = encode::CheckBitmapFile(cp949Path, how);
  if (out.result != ImportResult::Ok) return out;
  const std::optional<encode::BmpPicture> bmp = encode::ReadBmpFile(cp949Path);
  if (!bmp) {  // passed the header checks, then could not be read whole
    out.result = ImportResult::NoPicture;
    return out;
  }
  out.width = bmp->width;
  out.height = bmp->height;
  out.planes = encode::BmpToPlanes(*bmp);
  return out;
}

ImportResult OpenAnimationFile(std::string_view cp949Path, encode::GifDecoder& gif) {
  ImportResult r = encode::CheckGifName(cp949Path);
  if (r == ImportResult::Ok) r = gif.Load(cp949Path) ? ImportResult::Ok : ImportResult::GifUnreadable;
  if (r == ImportResult::Ok) r = encode::CheckFrameCount(gif.FrameCount());
  if (r != ImportResult::Ok) gif.LoadBytes({});  // drops whatever was loaded
  return r;
}

std::optional<encode::Planes> FramePlayer::Step() {
  const int count = gif_.FrameCount();
  if (count == 0) return std::nullopt;
  if (next_ >= count) next_ = 0;
  gif_.RenderFrame(next_);
  next_ = (next_ + 1) % count;
  return gif_.CanvasToPlanes();
}

}  // namespace editors
