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
Message SaveCopyFailed();

// The checks before a chosen file becomes the store: the extension, then the length of
// an existing file (`length` empty: the file does not exist and will be created).
std::optional<Message> CheckProjectToLoad(std::string_view path,
                                          std::optional<std::uint64_t> length);
// The file's length, or empty when it does not exist (or is no regular file).
std::optional<std::uint64_t> FileLength(const std::string& path);

enum class StoreCommand { Load, Save, New };

// Making another file the store. Switched: it is open. KeptPrevious: it could not be
// opened, and the previous store is open again, unchanged. Lost: not even the previous
// store could be reopened; the program cannot go on.
enum class SwitchResult { Switched, KeptPrevious, Lost };
SwitchResult SwitchStore(store::WorkStore& store, const std::string& path);

// Writes all 904672 bytes of the store into a new (or truncated) file at path. The store
// is read first, so a copy onto the store's own file keeps its content. False on any
// failure to create or write the file.
bool WriteStoreCopy(store::WorkStore& store, const std::string& path);

// Save: the store is copied to path, which then becomes the store. When the copy cannot
// be written nothing changes (KeptPrevious).
SwitchResult SaveStoreAs(store::WorkStore& store, const std::string& path);

// What a failed switch shows: the command's message; with KeptPrevious without the line
// that announces the end of the program, since it goes on.
Message SwitchFailure(StoreCommand command, SwitchResult result);

}  // namespace msglist
