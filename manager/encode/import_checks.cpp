#include "manager/encode/import_checks.h"

#include <string>

#include "manager/encode/bmp_reader.h"

namespace encode {

ImportMessage MessageFor(ImportResult r) {
  switch (r) {
    case ImportResult::Ok:
      return {};
    case ImportResult::NotBmp:
      return {"bmp파일이 아닙니다.", "bmp파일만 가능"};
    case ImportResult::TooWide:
      return {"그림의 가로크기는 최대 800 입니다", "가로사이즈 초과"};
    case ImportResult::TooWideReopened:
      return {"그림의 가로크기는 최대 500 입니다", "가로사이즈 초과"};
    case ImportResult::TooHigh:
      return {"그림의 세로크기는 최대 160 입니다", "세로사이즈 초과"};
    case ImportResult::NotGifName:
      return {"GIF파일이 아닙니다", "GIF파일아님"};
    case ImportResult::GifUnreadable:
      return {"파일을 오픈할수 없습니다", "파일오픈실패"};
    case ImportResult::NoPicture:
      return {"그림이 없습니다", "그림없음"};
    case ImportResult::PathNotCp949:
      return {"파일 경로에 저장할 수 없는 문자가 있습니다.\n"
              "한글(완성형)과 영문, 숫자로 된 폴더와 파일 이름을 쓰십시오.",
              "경로 오류"};
    case ImportResult::PathTooLong:
      return {"파일 경로가 너무 깁니다.\n더 짧은 경로의 폴더로 옮겨 쓰십시오.", "경로 오류"};
    case ImportResult::TooManyFrames:
      return {"프레임이 255개를 넘는 애니메이션은 쓸 수 없습니다", "프레임 수 초과"};
  }
  return {};
}

ImportResult CheckBitmapSize(int width, int height, BitmapOpen how) {
  if (how == BitmapOpen::New && width > kNewBitmapMaxWidth) return ImportResult::TooWide;
  if (how == BitmapOpen::Reopened && width > kReopenedBitmapMaxWidth)
    return ImportResult::TooWideReopened;
  if (height > kBitmapMaxHeight) return ImportResult::TooHigh;
  return ImportResult::Ok;
}

ImportResult CheckBitmapFile(std::string_view cp949Path, BitmapOpen how) {
  const auto size = ReadBmpFileSize(cp949Path);
  if (!size) return ImportResult::NotBmp;
  return CheckBitmapSize(size->width, size->height, how);
}

ImportResult CheckGifName(std::string_view cp949Path) {
  // Walk by characters: a CP949 trail byte may look like an ASCII letter.
  std::size_t dot = std::string_view::npos;
  for (std::size_t i = 0; i < cp949Path.size(); ++i) {
    const auto c = static_cast<unsigned char>(cp949Path[i]);
    if (c >= 0x80) {
      ++i;
    } else if (c == '.') {
      dot = i;
    } else if (c == '/' || c == '\\') {
      dot = std::string_view::npos;
    }
  }
  if (dot == std::string_view::npos) return ImportResult::NotGifName;
  std::string ext(cp949Path.substr(dot + 1));
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return ext == "gif" ? ImportResult::Ok : ImportResult::NotGifName;
}

ImportResult CheckFrameCount(int frames) {
  return frames > kMaxAnimationFrames ? ImportResult::TooManyFrames : ImportResult::Ok;
}

bool ClearsPath(ImportResult r, BitmapOpen how) {
  return r != ImportResult::Ok && how == BitmapOpen::New;
}

}  // namespace encode
