// Arbitrary sign memory through the pull: the settings block, the item table and every
// body and image read take the next input bytes. What comes back must be whole: every item
// kept or named as left out, every picture the size its header says, and the file made of
// a small picture read back by the readers into the same dots.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "manager/encode/bmp_reader.h"
#include "manager/encode/gif_reader.h"
#include "manager/encode/picture_writer.h"
#include "manager/link/frame.h"
#include "manager/transfer/pull.h"
#include "shared/board_memory.h"

namespace {

class InputSign : public signlink::SignLink {
 public:
  InputSign(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  signlink::Result SendAndWait(const signlink::Frame&) override { return signlink::Result::kOk; }
  signlink::Result SendAndRead(const signlink::Frame& request, std::uint8_t* out,
                               std::size_t count) override {
    if (board::Get32(&request[4]) == board::kModelId) {
      std::memcpy(out, "VARNO\0\0", count);
      return signlink::Result::kOk;
    }
    const std::size_t n = std::min(count, size_ - at_);
    std::memcpy(out, data_ + at_, n);
    std::memset(out + n, 0, count - n);
    at_ += n;
    return signlink::Result::kOk;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// The dots a picture shows: bits past the width in a row's last byte are not dots.
std::vector<std::uint8_t> Dots(const transfer::PulledPicture& p) {
  std::vector<std::uint8_t> out = p.image;
  const std::size_t row = board::PlaneRowBytes(static_cast<std::size_t>(p.width));
  const auto keep = static_cast<std::uint8_t>(0xFF00u >> (((p.width - 1) % 8) + 1));
  for (std::size_t at = row - 1; at < out.size(); at += row) out[at] &= keep;
  return out;
}

std::vector<std::uint8_t> ReadBack(const transfer::PulledPicture& p) {
  std::vector<std::uint8_t> out;
  if (!p.animation) {
    const auto bmp = encode::ReadBmp(encode::BmpFromImage(p.width, p.height, p.image));
    if (bmp) out = encode::BmpToPlanes(*bmp).bytes();
    return out;
  }
  auto gif = encode::GifFromImage(p.width, p.height, p.frames, p.image);
  encode::GifDecoder decoder;
  if (!gif || !decoder.LoadBytes(std::move(*gif)) || decoder.FrameCount() != p.frames) return out;
  for (int k = 0; k < p.frames; ++k) {
    decoder.RenderFrame(k);
    const std::vector<std::uint8_t> frame = decoder.CanvasToPlanes().bytes();
    out.insert(out.end(), frame.begin(), frame.end());
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  InputSign sign(data, size);
  const transfer::PulledProgram p = transfer::ReadSignProgram(sign);
  if (p.outcome != transfer::PullOutcome::kDone) return 0;
  if (p.records.size() + p.skipped.size() != static_cast<std::size_t>(p.signCount)) std::abort();
  for (const transfer::PulledPicture& picture : p.pictures) {
    const std::size_t bytes = board::PictureBytes(static_cast<std::size_t>(picture.width),
                                                  static_cast<std::size_t>(picture.height));
    if (picture.image.size() != bytes * static_cast<std::size_t>(picture.frames)) std::abort();
    if (picture.image.size() <= 4096 && ReadBack(picture) != Dots(picture)) std::abort();
  }
  return 0;
}
