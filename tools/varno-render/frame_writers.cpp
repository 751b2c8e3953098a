#include "frame_writers.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "sign/led_pixels.h"

using namespace sign;

GifWriter::~GifWriter() {
  Close();
}

bool GifWriter::Open(const std::string& path, int widthDots, int rows) {
  // Opened here rather than by giflib so the file gets the usual permissions.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  int error = 0;
  gif_ = EGifOpenFileHandle(fd, &error);
  if (gif_ == nullptr) {
    ::close(fd);
    return false;
  }
  width_ = widthDots;
  rows_ = rows;
  // Palette index = the two colour bits of the dot.
  GifColorType colours[4];
  for (int i = 0; i < 4; ++i) {
    const std::uint32_t rgb = DotRgb(static_cast<std::uint8_t>(i << 6));
    colours[i] = {static_cast<GifByteType>(rgb >> 16), static_cast<GifByteType>(rgb >> 8),
                  static_cast<GifByteType>(rgb)};
  }
  ColorMapObject* map = GifMakeMapObject(4, colours);
  EGifSetGifVersion(gif_, true);
  ok_ = EGifPutScreenDesc(gif_, widthDots * kDotPixels, rows * kDotPixels, 2, 0, map) == GIF_OK;
  GifFreeMapObject(map);
  // Loop for ever.
  static const GifByteType kLoop[3] = {1, 0, 0};
  ok_ = ok_ && EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
        EGifPutExtensionBlock(gif_, 11, "NETSCAPE2.0") == GIF_OK &&
        EGifPutExtensionBlock(gif_, 3, kLoop) == GIF_OK && EGifPutExtensionTrailer(gif_) == GIF_OK;
  return ok_;
}

bool GifWriter::Add(const FrameBuffer& frame, int periodMs) {
  if (gif_ == nullptr || !ok_) return false;
  GraphicsControlBlock gcb{};
  gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
  gcb.UserInputFlag = false;
  gcb.DelayTime = std::max(1, periodMs / 10);  // centiseconds
  gcb.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType ext[4];
  EGifGCBToExtension(&gcb, ext);
  const int w = width_ * kDotPixels;
  ok_ = EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, ext) == GIF_OK &&
        EGifPutImageDesc(gif_, 0, 0, w, rows_ * kDotPixels, false, nullptr) == GIF_OK;
  std::vector<GifPixelType> line(static_cast<std::size_t>(w));
  for (int r = 0; r < rows_ && ok_; ++r) {
    for (int c = 0; c < width_; ++c) {
      const auto index = static_cast<GifPixelType>(frame.at(r, c) >> 6);
      std::fill_n(line.begin() + c * kDotPixels, kDotPixels, index);
    }
    for (int k = 0; k < kDotPixels && ok_; ++k) ok_ = EGifPutLine(gif_, line.data(), w) == GIF_OK;
  }
  return ok_;
}

bool GifWriter::Close() {
  if (gif_ == nullptr) return ok_;
  int error = 0;
  const bool closed = EGifCloseFile(gif_, &error) == GIF_OK;
  gif_ = nullptr;
  return ok_ && closed;
}

void SheetWriter::Add(const FrameBuffer& frame) {
  const std::size_t stride = static_cast<std::size_t>(width_) * kDotPixels;
  const std::size_t frameSize = stride * static_cast<std::size_t>(rows_) * kDotPixels;
  pixels_.resize(pixels_.size() + frameSize);
  PaintDots(frame, width_, rows_, pixels_.data() + pixels_.size() - frameSize, stride);
  ++frames_;
}

namespace {

// libpng reports errors by longjmp: nothing with a destructor may live in this frame.
bool WritePng(std::FILE* f, const std::uint32_t* pixels, int w, int h, png_byte* row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* src = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
    for (int x = 0; x < w; ++x) {
      row[3 * x] = static_cast<png_byte>(src[x] >> 16);
      row[3 * x + 1] = static_cast<png_byte>(src[x] >> 8);
      row[3 * x + 2] = static_cast<png_byte>(src[x]);
    }
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool SheetWriter::Write(const std::string& path) const {
  if (frames_ == 0) return false;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const int w = width_ * kDotPixels;
  std::vector<png_byte> row(static_cast<std::size_t>(w) * 3);
  const bool ok = WritePng(f, pixels_.data(), w, frames_ * rows_ * kDotPixels, row.data());
  return std::fclose(f) == 0 && ok;
}

RawWriter::~RawWriter() {
  Close();
}

bool RawWriter::Open(const std::string& path, int widthDots, int rows) {
  file_ = std::fopen(path.c_str(), "wb");
  width_ = widthDots;
  rows_ = rows;
  return file_ != nullptr;
}

bool RawWriter::Add(const FrameBuffer& frame, int periodMs) {
  if (file_ == nullptr) return false;
  const auto period = static_cast<std::uint8_t>(periodMs);
  bool ok = std::fwrite(&period, 1, 1, file_) == 1;
  for (int r = 0; r < rows_ && ok; ++r) {
    ok = std::fwrite(frame.row(r), 1, static_cast<std::size_t>(width_), file_) ==
         static_cast<std::size_t>(width_);
  }
  return ok;
}

bool RawWriter::Close() {
  if (file_ == nullptr) return true;
  const bool ok = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok;
}
