#pragma once
// Pictures by path for layout, download and preview tests: "bmp:WxH" is a bitmap,
// "gif:WxHxF" an animation of F frames, anything else is missing. Dots are lit so that
// every byte of every plane differs; the source counts how often a picture was asked for
// and its frames how often they were rendered.

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "manager/encode/program_layout.h"
#include "shared/cp949.h"

namespace encode_test {

// An item whose text names its picture; its other quarters are filled so each differs from
// the rest (mark changes the first's attributes).
inline item::ItemRecord Item(item::ItemKind kind, const std::string& path = "",
                             std::uint8_t mark = 0) {
  item::ItemRecord r;
  r.header.setKind(kind);
  text::WriteTextQuarter(r.body.textA, path);
  r.body.attrA.fill(static_cast<std::uint8_t>(0xA1 + mark));
  r.body.textB.fill(0xB2);
  r.body.attrB.fill(0xC3);
  return r;
}

class FakePictures : public encode::PictureSource {
 public:
  std::optional<encode::Planes> Bitmap(std::string_view path) override {
    ++opens_;
    int w = 0, h = 0;
    if (std::sscanf(std::string(path).c_str(), "bmp:%dx%d", &w, &h) != 2) return std::nullopt;
    return Numbered(w, h, 0);
  }
  std::unique_ptr<encode::PictureFrames> Animation(std::string_view path) override {
    ++opens_;
    int w = 0, h = 0, f = 0;
    if (std::sscanf(std::string(path).c_str(), "gif:%dx%dx%d", &w, &h, &f) != 3 || f < 1)
      return nullptr;
    return std::make_unique<Frames>(w, h, f, renders_);
  }
  // Frame k's planes: four distinct frames, repeated.
  static encode::Planes Numbered(int w, int h, int seed) {
    encode::Planes p(w, h);
    for (std::size_t i = 0; i < p.red.size(); ++i) {
      p.red[i] = static_cast<std::uint8_t>(i + static_cast<std::size_t>(seed % 4));
      p.green[i] = static_cast<std::uint8_t>(~(i + static_cast<std::size_t>(seed % 4)));
    }
    return p;
  }
  // Animation frames rendered so far; shared with the frames, which may outlive this.
  int renders() const { return *renders_; }
  // Pictures asked for so far, bitmaps and animations.
  int opens() const { return opens_; }

 private:
  int opens_ = 0;
  std::shared_ptr<int> renders_ = std::make_shared<int>(0);

  class Frames : public encode::PictureFrames {
   public:
    Frames(int w, int h, int f, std::shared_ptr<int> renders)
        : w_(w), h_(h), f_(f), renders_(std::move(renders)) {}
    int width() const override { return w_; }
    int height() const override { return h_; }
    int count() const override { return f_; }
    encode::Planes Render(int k) override {
      ++*renders_;
      return Numbered(w_, h_, k);
    }

   private:
    int w_, h_, f_;
    std::shared_ptr<int> renders_;
  };
};

}  // namespace encode_test
