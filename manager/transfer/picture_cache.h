#pragma once
// The pictures of one download or preview: each file is read and decoded once, however
// many items name it. Decoded planes are kept up to a byte budget; past it a picture is
// read again whenever it is needed again, as without the cache, and of the animations not
// kept only the last one used stays open. Single-threaded.

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "manager/encode/program_layout.h"

namespace transfer {

class PictureCache final : public encode::PictureSource {
 public:
  static constexpr std::size_t kDefaultBudget = 64u << 20;  // bytes of planes kept

  // `source` must outlive the cache, and the cache every animation it hands out.
  explicit PictureCache(encode::PictureSource& source, std::size_t budgetBytes = kDefaultBudget);
  ~PictureCache() override;

  std::optional<encode::Planes> Bitmap(std::string_view cp949Path) override;
  std::unique_ptr<encode::PictureFrames> Animation(std::string_view cp949Path) override;

 private:
  struct Animated;
  class Frames;
  bool Keep(std::size_t bytes);
  // The renderer of an animation whose frames were not kept, opened again when another
  // animation was opened since; null when the file no longer gives the same animation.
  encode::PictureFrames* Renderer(Animated& a);
  // Gives `a` the renderer (null: none), closing the one another animation held.
  void Hold(Animated& a, std::unique_ptr<encode::PictureFrames> renderer);

  encode::PictureSource& source_;
  std::size_t budget_;
  std::map<std::string, std::optional<encode::Planes>, std::less<>> bitmaps_;
  std::map<std::string, std::shared_ptr<Animated>, std::less<>> animations_;
  Animated* open_ = nullptr;  // the one animation holding a renderer
};

}  // namespace transfer
