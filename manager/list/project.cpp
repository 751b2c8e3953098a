#include "manager/list/project.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <vector>

namespace msglist {

std::string_view PathExtension(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  return dot == std::string_view::npos ? path : path.substr(dot + 1);
}

bool IsProjectPath(std::string_view path) {
  const std::string_view ext = PathExtension(path);
  if (ext.size() != kProjectExtension.size()) return false;
  for (std::size_t i = 0; i < ext.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(ext[i])) != kProjectExtension[i]) return false;
  }
  return true;
}

bool ShouldOfferSave(std::string_view storePath, int rows) {
  return !IsProjectPath(storePath) && rows > 0;
}

Message SaveQuestion() {
  return {"작업한 내용을 저장하시겠습니까?", "저장"};
}

Message SaveCopyFailed() {
  return {"저장할수 없습니다", "저장실패"};
}

std::optional<Message> CheckProjectToLoad(std::string_view path,
                                          std::optional<std::uint64_t> length) {
  if (!IsProjectPath(path)) return Message{"오픈할수 없는 파일입니다", "파일오픈실패"};
  // A file of another length is no project: made the store, it would be overwritten
  // slot by slot.
  if (length && *length != store::kFileSize) {
    return Message{"프로젝트 파일의 크기가 맞지 않습니다\n" + std::to_string(store::kFileSize) +
                       "바이트여야 하는데 " + std::to_string(*length) + "바이트입니다",
                   "파일오픈실패"};
  }
  return std::nullopt;
}

std::optional<std::uint64_t> FileLength(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

SwitchResult SwitchStore(store::WorkStore& store, const std::string& path) {
  const std::string previous = store.Path();
  store.Close();
  store.SetPath(path);
  if (store.Open() == 0) return SwitchResult::Switched;
  store.SetPath(previous);
  return store.Open() == 0 ? SwitchResult::KeptPrevious : SwitchResult::Lost;
}

bool WriteStoreCopy(store::WorkStore& store, const std::string& path) {
  std::vector<std::uint8_t> bytes(store::kFileSize);
  store.Read(0, bytes.data(), bytes.size());
  std::FILE* f = std::fopen(path.c_str(), "wb+");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  return written && closed;
}

SwitchResult SaveStoreAs(store::WorkStore& store, const std::string& path) {
  if (!WriteStoreCopy(store, path)) return SwitchResult::KeptPrevious;
  return SwitchStore(store, path);
}

Message SwitchFailure(StoreCommand command, SwitchResult result) {
  const bool ends = result == SwitchResult::Lost;
  switch (command) {
    case StoreCommand::Load:
      return {ends ? "파일을 오픈할수 없습니다\n프로그램을 종료합니다." : "파일을 오픈할수 없습니다",
              "파일오픈실패"};
    case StoreCommand::Save:
      return {ends ? "파일을 오픈할수 없습니다\n프로그램을 종료합니다" : "파일을 오픈할수 없습니다",
              "파일오픈실패"};
    case StoreCommand::New:
      break;
  }
  return {ends ? "파일을 만들수 없습니다\n프로그램을 종료합니다" : "파일을 만들수 없습니다",
          "파일오픈 실패"};
}

}  // namespace msglist
