#include "manager/transfer/picture_cache.h"

#include <algorithm>
#include <vector>

#include "shared/board_memory.h"

namespace transfer {

struct PictureCache::Animated {
  std::string path;
  int width = 0, height = 0, count = 0;  // count 0: no frame decodes
  std::vector<encode::Planes> frames;    // all of them, or none when too many to keep
  std::unique_ptr<encode::PictureFrames> renderer;
};

class PictureCache::Frames final : public encode::PictureFrames {
 public:
  Frames(PictureCache& cache, std::shared_ptr<Animated> a) : cache_(cache), a_(std::move(a)) {}
  int width() const override { return a_->width; }
  int height() const override { return a_->height; }
  int count() const override { return a_->count; }
  encode::Planes Render(int k) override {
    if (static_cast<std::size_t>(k) < a_->frames.size())
      return a_->frames[static_cast<std::size_t>(k)];
    encode::PictureFrames* r = cache_.Renderer(*a_);
    return r ? r->Render(k) : encode::Planes(a_->width, a_->height);
  }

 private:
  PictureCache& cache_;
  std::shared_ptr<Animated> a_;
};

PictureCache::PictureCache(encode::PictureSource& source, std::size_t budgetBytes)
    : source_(source), budget_(budgetBytes) {}

PictureCache::~PictureCache() = default;

bool PictureCache::Keep(std::size_t bytes) {
  if (bytes > budget_) return false;
  budget_ -= bytes;
  return true;
}

std::optional<encode::Planes> PictureCache::Bitmap(std::string_view cp949Path) {
  if (const auto it = bitmaps_.find(cp949Path); it != bitmaps_.end()) return it->second;
  std::optional<encode::Planes> planes = source_.Bitmap(cp949Path);
  if (Keep(planes ? planes->red.size() + planes->green.size() : 0))
    bitmaps_.emplace(std::string(cp949Path), planes);
  return planes;
}

std::unique_ptr<encode::PictureFrames> PictureCache::Animation(std::string_view cp949Path) {
  std::shared_ptr<Animated>& a = animations_[std::string(cp949Path)];
  if (!a) {
    a = std::make_shared<Animated>();
    a->path = cp949Path;
    std::unique_ptr<encode::PictureFrames> r = source_.Animation(cp949Path);
    if (r && r->count() > 0) {
      a->width = r->width();
      a->height = r->height();
      a->count = r->count();
      if (Keep(board::PictureBytes(static_cast<std::size_t>(std::max(a->width, 0)),
                                   static_cast<std::size_t>(std::max(a->height, 0))) *
               static_cast<std::size_t>(a->count))) {
        // Drawn now, while decoded: the writes need these frames anyway, and the decoder's
        // memory goes at once.
        a->frames.reserve(static_cast<std::size_t>(a->count));
        for (int k = 0; k < a->count; ++k) a->frames.push_back(r->Render(k));
      } else {
        Hold(*a, std::move(r));
      }
    }
  }
  if (a->count == 0) return nullptr;
  return std::make_unique<Frames>(*this, a);
}

void PictureCache::Hold(Animated& a, std::unique_ptr<encode::PictureFrames> renderer) {
  if (open_) open_->renderer.reset();
  a.renderer = std::move(renderer);
  open_ = a.renderer ? &a : nullptr;
}

encode::PictureFrames* PictureCache::Renderer(Animated& a) {
  if (!a.renderer) {
    std::unique_ptr<encode::PictureFrames> r = source_.Animation(a.path);
    const bool same =
        r && r->width() == a.width && r->height() == a.height && r->count() == a.count;
    Hold(a, same ? std::move(r) : nullptr);
  }
  return a.renderer.get();
}

}  // namespace transfer
