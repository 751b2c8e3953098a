#pragma once
// The preview file: a 128 MiB image of the board memory (offset = board address) into
// which a program is written exactly as the download places it in the sign, plus the
// settings bytes a sign would hold (width, rows code, connection flag) and the count.
// Each preview writes a whole new file beside the old one and renames it over it, so a
// previewer playing the old file keeps it whole and a failed write leaves it as it was.
// The file is sparse: its length is set, and the bytes no program writes read as zeros
// without taking disk.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "manager/encode/program_layout.h"
#include "shared/item_record.h"

namespace transfer {

// The folder beside the program that holds the previewer and its file; `programDir`
// ends with '/', and so does the result.
std::string PreviewFolder(const std::string& programDir);
inline constexpr const char* kPreviewFileName = "preview.tmp";
inline constexpr const char* kPreviewerName = "Varno";

struct PreviewSettings {
  std::uint8_t width = 6;       // modules
  std::uint8_t rowsCode = 1;    // 1 or 2
  std::uint8_t connection = 0;  // 1 "O", 0 "X"
};

struct PreviewProgress {
  std::function<void(int total)> begin;
  std::function<void()> step;
  std::function<void()> end;  // once begun, whatever the outcome
};

struct PreviewReport {
  bool written = false;  // false: the file could not be written; the old one stays
  int total = 0;         // steps announced
  int steps = 0;         // steps taken
  int items = 0;         // the count written
  std::uint64_t bytes = 0;  // program bytes written (settings and count included)
};

// Writes `list` (at most 100 items) into the preview file at `path`. Each picture file is
// read once (PictureCache).
PreviewReport WritePreview(const std::string& path, std::span<const item::ItemRecord> list,
                           const PreviewSettings& settings, const PreviewProgress& progress,
                           encode::PictureSource& pictures);
PreviewReport WritePreview(const std::string& path, std::span<const item::ItemRecord> list,
                           const PreviewSettings& settings, const PreviewProgress& progress = {});

}  // namespace transfer
