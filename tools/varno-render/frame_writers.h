#pragma once
// Output formats of varno-render. Pixels come from PaintDots, so files look exactly like
// the previewer's window.

#include <cstdio>
#include <string>
#include <vector>

#include "sign/frame_buffer.h"

struct GifFileType;

// An animated GIF, looping, each frame shown for its own period.
class GifWriter {
 public:
  ~GifWriter();
  bool Open(const std::string& path, int widthDots, int rows);
  bool Add(const sign::FrameBuffer& frame, int periodMs);
  bool Close();

 private:
  GifFileType* gif_ = nullptr;
  int width_ = 0, rows_ = 0;
  bool ok_ = true;
};

// Frames stacked top to bottom in one PNG.
class SheetWriter {
 public:
  SheetWriter(int widthDots, int rows) : width_(widthDots), rows_(rows) {}
  void Add(const sign::FrameBuffer& frame);
  bool Write(const std::string& path) const;

 private:
  int width_, rows_;
  int frames_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// Per frame: the period byte, then rows x width dot bytes, row 0 first.
class RawWriter {
 public:
  ~RawWriter();
  bool Open(const std::string& path, int widthDots, int rows);
  bool Add(const sign::FrameBuffer& frame, int periodMs);
  bool Close();

 private:
  std::FILE* file_ = nullptr;
  int width_ = 0, rows_ = 0;
};
