#include "manager/list/project.h"

#include <cctype>
#include <vector>

#include "shared/file_io.h"

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

std::string ReasonText(int error) {
  if (error == store::kInUseError) return "다른 Brellion이 사용하고 있는 파일입니다";
  return fileio::FailureReason(error);
}

Message WriteFailed(int error) {
  return {"저장할수 없습니다\n" + ReasonText(error), "저장실패"};
}

std::optional<Message> CheckProjectToLoad(std::string_view path, const store::FileKind& file) {
  if (!IsProjectPath(path)) return Message{"오픈할수 없는 파일입니다", "파일오픈실패"};
  return CheckStoreFile(file);
}

std::optional<Message> CheckStoreFile(const store::FileKind& file) {
  // A device or a FIFO would be read and written as if it held slots; never opened.
  if (file.type == store::FileKind::Type::Other) {
    return Message{"오픈할수 없는 파일입니다\n" + ReasonText(file.error), "파일오픈실패"};
  }
  // A file of another length is no project: made the store, it would be overwritten
  // slot by slot.
  if (file.type == store::FileKind::Type::Regular && file.size != store::kFileSize) {
    return Message{"프로젝트 파일의 크기가 맞지 않습니다\n" + std::to_string(store::kFileSize) +
                       "바이트여야 하는데 " + std::to_string(file.size) + "바이트입니다",
                   "파일오픈실패"};
  }
  return std::nullopt;
}

Message StartFailure(int openCode) {
  if (openCode == store::kInUse) {
    return {"다른 Brellion이 이 작업 파일을 사용하고 있습니다\n실행할수 없습니다", "실행할수 없음"};
  }
  return {"파일을 만들수 없습니다\n실행할수 없습니다", "실행할수 없음"};
}

Switch SwitchStore(store::WorkStore& store, const std::string& path) {
  if (store.IsOwnFile(path)) {  // a second descriptor would find the file held by the first
    store.SetPath(path);
    return {store.Open() == store::kOpened ? SwitchResult::Switched : SwitchResult::Lost,
            store.LastError()};
  }
  store::WorkStore next;
  next.SetPath(path);
  if (next.Open() != store::kOpened) return {SwitchResult::KeptPrevious, next.LastError()};
  store.Swap(next);  // `next` closes the previous store as it goes
  return {};
}

int WriteStoreCopy(store::WorkStore& store, const std::string& path) {
  if (store.IsOwnFile(path)) return 0;  // replaced, it would cut the store off its file
  std::vector<std::uint8_t> bytes(store::kFileSize);
  store.Read(0, bytes.data(), bytes.size());
  return store::ReplaceStoreFile(path, bytes);
}

Switch SaveStoreAs(store::WorkStore& store, const std::string& path) {
  if (const int error = WriteStoreCopy(store, path)) return {SwitchResult::NotWritten, error};
  return SwitchStore(store, path);
}

Message SwitchFailure(StoreCommand command, const Switch& outcome) {
  if (outcome.result == SwitchResult::NotWritten) return WriteFailed(outcome.error);
  const bool ends = outcome.result == SwitchResult::Lost;
  Message m;
  switch (command) {
    case StoreCommand::Load:
      m = {ends ? "파일을 오픈할수 없습니다\n프로그램을 종료합니다." : "파일을 오픈할수 없습니다",
           "파일오픈실패"};
      break;
    case StoreCommand::Save:
      m = {ends ? "파일을 오픈할수 없습니다\n프로그램을 종료합니다" : "파일을 오픈할수 없습니다",
           "파일오픈실패"};
      break;
    case StoreCommand::New:
      m = {ends ? "파일을 만들수 없습니다\n프로그램을 종료합니다" : "파일을 만들수 없습니다",
           "파일오픈 실패"};
      break;
  }
  if (!ends) m.text += "\n" + ReasonText(outcome.error);
  return m;
}

}  // namespace msglist
