#pragma once
// Project files: a project is a work store kept under a name of the operator's choosing
// (".dat", 904672 bytes). Loading or saving makes the project file itself the store; the
// scratch store is "data.tmp" beside the program. Paths are in the file system's encoding.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "manager/list/list_rules.h"
#include "manager/store/work_store.h"

namespace msglist {

// The file dialogs' filters and default extension.
inline constexpr std::string_view kProjectFilters = "dat파일(*.dat);;모든파일(*.*)";
inline constexpr std::string_view kProjectExtension = "dat";

// The text after the last '.' of the path (the whole path when it has none).
std::string_view PathExtension(std::string_view path);
// A project file is a store whose extension, lower-cased, is "dat".
bool IsProjectPath(std::string_view path);

// The save prompt asks only for a scratch store with at least one row.
bool ShouldOfferSave(std::string_view storePath, int rows);
Message SaveQuestion();  // Yes/No

// One Korean line saying why a store file could not be written or opened (an errno, or
// store::kInUseError for a file another manager holds).
std::string ReasonText(int error);
// A copy or a list edit that could not be written: "저장할수 없습니다" and the reason.
Message WriteFailed(int error);

// An existing file is a store only as a regular file of 904672 bytes; the refusal else.
// A missing file passes (it is created).
std::optional<Message> CheckStoreFile(const store::FileKind& file);
// The checks before a chosen file becomes the store: the extension, then CheckStoreFile.
std::optional<Message> CheckProjectToLoad(std::string_view path, const store::FileKind& file);

// The start could not open its store (Open's code and errno): the message before the end.
Message StartFailure(int openCode);

enum class StoreCommand { Load, Save, New };

// Making another file the store. Switched: it is open. NotWritten: Save's copy could not
// be written, nothing changed. KeptPrevious: it could not be opened, and the previous store
// stays open, unchanged. Lost: not even the previous store could be reopened; the program
// cannot go on. `error` says why it failed (errno or store::kInUseError).
enum class SwitchResult { Switched, NotWritten, KeptPrevious, Lost };
struct Switch {
  SwitchResult result = SwitchResult::Switched;
  int error = 0;
};
// The new file is opened (and held) before the previous one is let go.
Switch SwitchStore(store::WorkStore& store, const std::string& path);

// Writes all 904672 bytes of the store as the whole new content of path, through a
// temporary file renamed over it: on failure the old file is untouched. A file another
// manager holds, or one that is not a regular file, is refused; the store's own file
// already holds the bytes and is left alone. 0 or the errno (store::kInUseError).
int WriteStoreCopy(store::WorkStore& store, const std::string& path);

// Save: the store is copied to path, which then becomes the store.
Switch SaveStoreAs(store::WorkStore& store, const std::string& path);

// What a failed switch shows: the command's message, then the reason; with KeptPrevious
// without the line that announces the end of the program, since it goes on.
Message SwitchFailure(StoreCommand command, const Switch& outcome);

}  // namespace msglist
