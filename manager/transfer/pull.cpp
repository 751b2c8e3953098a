#include "manager/transfer/pull.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>

#include "manager/encode/bmp_reader.h"
#include "manager/encode/gif_reader.h"
#include "manager/encode/picture_writer.h"
#include "manager/link/frame.h"
#include "manager/store/work_store.h"
#include "shared/board_memory.h"
#include "shared/codes.h"
#include "shared/cp949.h"
#include "shared/file_io.h"

namespace transfer {

namespace fs = std::filesystem;

namespace {

using item::ItemKind;
using signlink::Result;

bool Is(std::uint8_t kind, ItemKind k) {
  return kind == static_cast<std::uint8_t>(k);
}

// Where a picture item's image lies, or why it cannot be a picture this program writes.
struct ImageExtent {
  std::uint32_t address = 0;
  std::size_t bytes = 0;
  int frames = 1;
};
std::optional<SkipReason> FindImage(const item::ItemHeader& h, ImageExtent* out) {
  const bool animation = Is(h.kind(), ItemKind::Animation);
  const std::uint64_t pixels = std::uint64_t{h.pictureWidth()} * h.pictureHeight();
  const std::uint64_t frames = animation ? h[item::hdr::kFrames] : 1;
  if (pixels == 0 || frames == 0) return SkipReason::kBadPictureSize;
  // The readers' limits: a file they would refuse could not be sent again.
  if (animation ? pixels > encode::GifDecoder::kMaxScreenPixels ||
                      pixels * frames > encode::GifDecoder::kMaxDecodedPixels
                : pixels > encode::kMaxBmpPixels)
    return SkipReason::kBadPictureSize;
  const std::uint32_t begin = animation ? board::kAnimationArea : board::kBitmapArea;
  const std::uint32_t end = animation ? board::kMemorySize : board::kAnimationArea;
  const std::uint64_t bytes = frames * board::PictureBytes(h.pictureWidth(), h.pictureHeight());
  const std::uint32_t at = h.imageAddress();
  if (at < begin || at >= end || bytes > end - at) return SkipReason::kImageOutside;
  *out = {at, static_cast<std::size_t>(bytes), static_cast<int>(frames)};
  return std::nullopt;
}

std::size_t ReadsFor(std::size_t bytes) {
  return (bytes + board::kMaxWriteBytes - 1) / board::kMaxWriteBytes;
}

class Reader {
 public:
  Reader(signlink::SignLink& link, const Progress& progress, PulledProgram& out)
      : link_(link), progress_(progress), out_(out) {}

  // `n` bytes from `address` in reads of at most board::kMaxWriteBytes; each read of an
  // item (item >= 0) is a progress step. False once a read failed or was cancelled.
  bool Read(std::uint32_t address, std::size_t n, std::uint8_t* dst, int item) {
    for (std::size_t done = 0; done < n;) {
      if (progress_.cancelled && progress_.cancelled()) {
        out_.outcome = PullOutcome::kCancelled;
        return false;
      }
      const auto size = static_cast<std::uint16_t>(std::min(board::kMaxWriteBytes, n - done));
      out_.code = link_.SendAndRead(
          signlink::BuildMemoryRead(address + static_cast<std::uint32_t>(done), size), dst + done,
          size);
      if (out_.code != Result::kOk) {
        out_.outcome = PullOutcome::kReadFailed;
        return false;
      }
      done += size;
      if (item >= 0 && progress_.step) progress_.step(item);
    }
    return true;
  }

 private:
  signlink::SignLink& link_;
  const Progress& progress_;
  PulledProgram& out_;
};

std::string PictureName(const PulledPicture& p) {
  return "item" + std::string(p.signPosition + 1 < 10 ? "0" : "") +
         std::to_string(p.signPosition + 1) + (p.animation ? ".gif" : ".bmp");
}

std::string AbsoluteFolder(const std::string& folder) {
  std::error_code ec;
  const fs::path abs = fs::absolute(folder, ec);
  return (ec ? fs::path(folder) : abs).lexically_normal().string();
}

std::vector<std::uint8_t> ProjectBytes(const std::vector<item::ItemRecord>& records,
                                       const SignSettings& s, const LinkSlots& link) {
  std::vector<std::uint8_t> out(store::kFileSize);
  for (std::size_t i = 0; i < records.size(); ++i)
    item::RecordToBytes(records[i], &out[store::SlotOffset(static_cast<int>(i))]);
  out[store::kWidth] = s.width;
  out[store::kHeight] = s.rowsCode;
  out[store::kWindowMode] = s.windowMode;
  out[store::kBrightMode] = s.brightMode;
  out[store::kLevels] = s.dayLevel;
  out[store::kLevels + 1] = s.nightLevel;
  out[store::kSerialPort] = link.serialPort;
  board::Put32(&out[store::kIpAddress], link.ipAddress);
  board::Put16(&out[store::kTcpPort], link.tcpPort);
  out[store::kTransmit] = link.transmit;
  out[store::kConnection] = s.connection;
  return out;
}

}  // namespace

PulledProgram ReadSignProgram(signlink::SignLink& link, const Progress& progress) {
  PulledProgram out;
  switch (signlink::CheckModel(link)) {
    case signlink::ModelCheck::kRightModel:
      break;
    case signlink::ModelCheck::kUnreachable:
      out.outcome = PullOutcome::kUnreachable;
      return out;
    case signlink::ModelCheck::kOtherModel:
      out.outcome = PullOutcome::kOtherModel;
      return out;
  }
  Reader reader(link, progress, out);

  constexpr std::uint32_t kBlock = board::kWidth;  // width up to the connection flag
  std::uint8_t block[board::kConnection + 1 - kBlock] = {};
  if (!reader.Read(kBlock, sizeof block, block, -1)) return out;
  const auto at = [&](std::uint32_t address) { return block[address - kBlock]; };
  out.settings = {at(board::kWidth),      at(board::kRowsCode), at(board::kWindowMode),
                  at(board::kBrightMode), at(board::kDayLevel), at(board::kNightLevel),
                  at(board::kConnection)};
  out.signCount = board::Get16(&block[board::kItemCount - kBlock]);
  if (out.signCount > board::kMaxItems) {
    out.outcome = PullOutcome::kBadCount;
    return out;
  }

  const auto count = static_cast<std::size_t>(out.signCount);
  std::vector<std::uint8_t> table(count * item::kItemHeaderSize);
  if (!reader.Read(board::kItemTable, table.size(), table.data(), -1)) return out;

  // What each item needs read, judged from its header; the total is known before reading.
  struct Plan {
    item::ItemHeader header;
    std::optional<SkipReason> skip;
    ImageExtent image;
    std::size_t reads = 0;
  };
  std::vector<Plan> plans(count);
  int total = 0;
  for (std::size_t i = 0; i < count; ++i) {
    Plan& p = plans[i];
    std::copy_n(&table[i * item::kItemHeaderSize], item::kItemHeaderSize, p.header.bytes.begin());
    const std::uint8_t kind = p.header.kind();
    if (kind >= item::kItemKindCount) {
      p.skip = SkipReason::kUnknownKind;
    } else if (Is(kind, ItemKind::Bitmap) || Is(kind, ItemKind::Animation)) {
      p.skip = FindImage(p.header, &p.image);
      if (!p.skip) p.reads = ReadsFor(p.image.bytes);
    } else {
      p.reads = ReadsFor(board::BodyBytesSent(kind));
    }
    total += static_cast<int>(p.reads);
  }

  if (progress.begin) progress.begin(total);
  struct EndProgress {
    const Progress& p;
    ~EndProgress() {
      if (p.end) p.end();
    }
  } endProgress{progress};

  for (std::size_t i = 0; i < count; ++i) {
    Plan& p = plans[i];
    const int position = static_cast<int>(i);
    const std::uint8_t kind = p.header.kind();
    item::ItemRecord record;
    record.header = p.header;
    if (!p.skip && (Is(kind, ItemKind::Bitmap) || Is(kind, ItemKind::Animation))) {
      PulledPicture picture{.item = static_cast<int>(out.records.size()),
                            .signPosition = position,
                            .animation = Is(kind, ItemKind::Animation),
                            .width = p.header.pictureWidth(),
                            .height = p.header.pictureHeight(),
                            .frames = p.image.frames,
                            .image = std::vector<std::uint8_t>(p.image.bytes)};
      if (!reader.Read(p.image.address, p.image.bytes, picture.image.data(), position)) return out;
      record.header.setImageAddress(0);  // the download gives it out again
      out.pictures.push_back(std::move(picture));
    } else if (!p.skip) {
      std::uint8_t body[item::kItemBodySize];
      const std::size_t bytes = board::BodyBytesSent(kind);
      if (!reader.Read(board::BodyAddress(position), bytes, body, position)) return out;
      for (std::size_t q = 0; q * item::kQuarterSize < bytes; ++q)
        std::copy_n(&body[q * item::kQuarterSize], item::kQuarterSize,
                    record.body.quarter(static_cast<item::QuarterId>(q)).begin());
      if (!item::HoldsItem(record)) p.skip = SkipReason::kNoText;
    }
    if (p.skip) {
      out.skipped.push_back({position, kind, *p.skip});
      continue;
    }
    out.records.push_back(record);
  }
  out.outcome = PullOutcome::kDone;
  return out;
}

std::string DefaultPictureFolder(const std::string& projectPath) {
  const fs::path project(projectPath);
  return (project.parent_path() / project.stem()).string();
}

std::string PictureFolderProblem(const std::string& folder) {
  PulledPicture longest{.signPosition = board::kMaxItems - 1};
  const auto cp949 = text::Utf8ToCp949(AbsoluteFolder(folder) + "/" + PictureName(longest));
  if (!cp949) return "그림 폴더의 이름에 쓸 수 없는 글자가 있습니다\n" + folder;
  if (cp949->size() > item::kMaxTextBytes) return "그림 폴더의 경로가 너무 깁니다\n" + folder;
  return {};
}

WriteFailure WritePulledProject(const PulledProgram& program, const LinkSlots& link,
                                const std::string& projectPath, const std::string& folder) {
  std::vector<item::ItemRecord> records = program.records;
  const std::string dir = AbsoluteFolder(folder);
  std::vector<std::string> created;
  std::error_code ec;
  const bool folderExisted = fs::exists(dir, ec);
  const auto fail = [&](int error, const std::string& path) {
    for (const std::string& f : created) fs::remove(f, ec);
    if (!folderExisted) fs::remove(dir, ec);  // only when nothing else came into it
    return WriteFailure{error, path};
  };
  if (!program.pictures.empty() && !fs::create_directories(dir, ec) && ec)
    return fail(ec.value(), dir);

  for (const PulledPicture& p : program.pictures) {
    const std::string path = dir + "/" + PictureName(p);
    const auto name = text::Utf8ToCp949(path);
    std::optional<std::vector<std::uint8_t>> bytes;
    if (p.animation) {
      bytes = encode::GifFromImage(p.width, p.height, p.frames, p.image);
    } else {
      bytes = encode::BmpFromImage(p.width, p.height, p.image);
    }
    if (!name || name->size() > item::kMaxTextBytes) return fail(ENAMETOOLONG, path);
    if (!bytes) return fail(EIO, path);
    const bool existed = fs::exists(path, ec);
    if (const int error = fileio::WriteFileAtomically(path, *bytes)) return fail(error, path);
    if (!existed) created.push_back(path);
    text::WriteTextQuarter(records[static_cast<std::size_t>(p.item)].body.textA, *name);
  }
  // Refused, not replaced, while a manager holds it as its store.
  if (const int error =
          store::ReplaceStoreFile(projectPath, ProjectBytes(records, program.settings, link)))
    return fail(error, projectPath);
  return {};
}

std::string SkipText(const SkippedItem& s) {
  const std::string_view label = item::KindLabel(s.kind);
  std::string line = std::to_string(s.position + 1) + "번째 항목(" +
                     (label.empty() ? "종류 " + std::to_string(s.kind) : std::string(label)) +
                     "): ";
  switch (s.reason) {
    case SkipReason::kUnknownKind:
      return line + "알 수 없는 종류입니다";
    case SkipReason::kNoText:
      return line + "문장이 비어 있습니다";
    case SkipReason::kBadPictureSize:
      return line + "그림의 크기가 맞지 않습니다";
    case SkipReason::kImageOutside:
      return line + "그림의 주소가 그림 영역을 벗어납니다";
  }
  return line;
}

Message MessageFor(const PulledProgram& p) {
  const std::string failed = "가져오기실패";
  switch (p.outcome) {
    case PullOutcome::kDone: {
      std::string text =
          "전광판에서 " + std::to_string(p.records.size()) + "개 항목을 가져왔습니다";
      if (!p.skipped.empty()) text += "\n가져오지 못한 항목:";
      for (const SkippedItem& s : p.skipped) text += "\n" + SkipText(s);
      return {text, "가져오기완료"};
    }
    case PullOutcome::kUnreachable:
      return {"전광판과의 연결상태를 확인해주세요!...", failed};
    case PullOutcome::kOtherModel:
      return {"전광판모델이 다릅니다", failed};
    case PullOutcome::kBadCount:
      return {"전광판의 항목 수(" + std::to_string(p.signCount) + ")가 100을 넘습니다", failed};
    case PullOutcome::kReadFailed:
      return {"전광판에서 읽지 못했습니다\n" + signlink::ResultText(p.code), failed};
    case PullOutcome::kCancelled:
      return {"가져오기를 취소했습니다", "가져오기취소"};
  }
  return {"전광판에서 읽지 못했습니다", failed};
}

}  // namespace transfer
