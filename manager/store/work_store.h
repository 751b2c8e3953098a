#pragma once
// The work store: one random-access file holding the message slots 0-99, the event slots
// 100-109 and the settings slots. There is no in-memory model: every read and write goes
// to the file at fixed offsets, whatever the file's length (reads past the end yield 0).
// One manager at a time holds a store; a kill never leaves a slot change half done.

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "shared/item_record.h"

namespace store {
inline constexpr std::size_t kMessageSlots = 100;
inline constexpr std::size_t kEventSlots = 10;
inline constexpr int kFirstEventSlot = 100;
inline constexpr std::size_t kSettingsOffset = 904640;
inline constexpr std::size_t kFileSize = 904672;

inline constexpr std::size_t kWidth = 904640;
inline constexpr std::size_t kHeight = 904641;
inline constexpr std::size_t kWindowMode = 904642;
inline constexpr std::size_t kBrightMode = 904643;
inline constexpr std::size_t kLevels = 904644;  // day, then night
inline constexpr std::size_t kSerialPort = 904646;
inline constexpr std::size_t kIpAddress = 904647;
inline constexpr std::size_t kTcpPort = 904651;
inline constexpr std::size_t kTransmit = 904653;
inline constexpr std::size_t kConnection = 904654;
inline constexpr std::size_t kNewsFlags = 904655;
inline constexpr std::size_t kNewsFlagCount = 8;

constexpr std::size_t SlotOffset(int k) {
  return static_cast<std::size_t>(k) * item::kItemRecordSize;
}

// What Open and OpenReadOnly return.
enum OpenCode : int {
  kOpened = 0,
  kCannotOpen = 1,  // missing and not creatable, not a regular file, or unreadable
  kInUse = 2,       // another manager holds the store (Open only)
};

// The errno that stands for "another manager holds this store" in LastError and in
// the results of the project-file operations.
inline constexpr int kInUseError = EWOULDBLOCK;

class WorkStore {
 public:
  WorkStore() = default;
  ~WorkStore() { Close(); }
  WorkStore(const WorkStore&) = delete;
  WorkStore& operator=(const WorkStore&) = delete;

  // The file the store works on. Takes effect at Open, which refuses a path of more than
  // 1023 bytes.
  void SetPath(std::string path);
  const std::string& Path() const { return path_; }

  // Opens the file for update and holds it against other managers (an advisory lock the
  // system drops when the process ends). A missing file is created as 904672 zero bytes,
  // complete or not at all. A slot change a kill interrupted is finished first (see
  // ReplaceSlots). Only a regular file is opened; opening never blocks.
  int Open();
  // Opens an existing regular file for reading only (a project a tool only looks at),
  // without a lock, so a manager working on it is not disturbed; writes then write
  // nothing. An interrupted slot change is shown finished without touching the file.
  int OpenReadOnly();
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  // The errno of the last failed Open, OpenReadOnly or slot change (kInUseError for a
  // store another manager holds).
  int LastError() const { return error_; }
  // True when path names the open store's own file (through links too).
  bool IsOwnFile(const std::string& path) const;
  // Exchanges the two stores, open files and locks included.
  void Swap(WorkStore& other);

  // Positioned read: zero-fills what lies past the end of the file and returns the bytes
  // actually read; 0 when the store is closed.
  std::size_t Read(std::size_t offset, void* buffer, std::size_t length);

  // Zeroes all message and event slots; the settings stay.
  void ClearItemSlots();

  // Settings, one read or write at the fixed offset each.
  std::uint8_t Width();
  void SetWidth(std::uint8_t v);
  std::uint8_t Height();
  void SetHeight(std::uint8_t v);
  std::uint8_t WindowMode();
  void SetWindowMode(std::uint8_t v);
  std::uint8_t BrightMode();
  void SetBrightMode(std::uint8_t v);
  // Day level in the high byte, night level in the low byte.
  std::uint16_t Levels();
  void SetLevels(std::uint8_t day, std::uint8_t night);
  std::uint8_t SerialPort();
  void SetSerialPort(std::uint8_t v);
  // Most significant byte = first dotted number.
  std::uint32_t IpAddress();
  void SetIpAddress(std::uint32_t v);
  std::uint16_t TcpPort();
  void SetTcpPort(std::uint16_t v);
  std::uint8_t Transmit();
  void SetTransmit(std::uint8_t v);
  std::uint8_t Connection();
  void SetConnection(std::uint8_t v);
  std::array<std::uint8_t, store::kNewsFlagCount> NewsFlags();
  void SetNewsFlags(const std::array<std::uint8_t, store::kNewsFlagCount>& flags);

  // The one way item slots change: slots first .. first + records.size() - 1 (message
  // and event slots, 0-109) become the records, as one change. The new bytes are first
  // flushed to a journal beside the store, then written, then the journal goes; whenever
  // the process dies, the next Open finds either all the old records or all the new
  // ones. False (LastError says why) when the range is outside the item slots or the
  // journal could not be written; the slots are then unchanged.
  bool ReplaceSlots(int first, std::span<const item::ItemRecord> records);

  // Slot access, each one ReplaceSlots. A record is read whole; writing writes the
  // header and the quarters the record's kind uses (WriteItem: the slot's other quarters
  // stay) or all 8224 bytes (WriteRecord).
  item::ItemRecord ReadRecord(int slot);
  bool WriteRecord(int slot, const item::ItemRecord& r);
  bool WriteItem(int slot, const item::ItemRecord& r);
  // Appends to a list of n message items: r's used parts into slot n; false without a
  // write when n is not 0-99.
  bool AppendSlot(int n, const item::ItemRecord& r);

  // The list as the presence rule finds it: slots from `first` on, stopping at the first
  // slot that holds no item and after `maxSlots` slots. Header, text A and text B are read.
  std::vector<item::ItemRecord> ReadList(int first = 0, int maxSlots = store::kMessageSlots);

 private:
  // Settings bytes only; slots change through ReplaceSlots.
  std::size_t Write(std::size_t offset, const void* data, std::size_t length);
  std::uint8_t Byte(std::size_t offset);
  void SetByte(std::size_t offset, std::uint8_t v);
  int Fail(int error);
  bool FinishInterruptedChange();

  std::string path_;
  int fd_ = -1;
  bool readOnly_ = false;
  int error_ = 0;
  // Read-only: the new bytes of a change that a dead manager left unfinished, shown over
  // the file's own.
  std::size_t pendingOffset_ = 0;
  std::vector<std::uint8_t> pending_;
};

// The record a slot holds after WriteItem(r) over `slot`: r's header and the quarters its
// kind uses, the slot's other quarters as they were.
item::ItemRecord MergedItem(const item::ItemRecord& slot, const item::ItemRecord& r);

// The journal of a store's slot changes: its path with "-journal" after it.
std::string JournalPath(const std::string& storePath);

// Creates path as a fresh store (904672 zero bytes) unless it exists: written under
// another name, flushed, then given its name, so no short store is ever seen. 0 or the
// errno; EEXIST when the file was already there.
int CreateStoreFile(const std::string& path);

// Writes bytes as the whole new content of the store file at path, by a temporary file
// renamed over it (fileio::WriteFileAtomically). Refused without a write when another
// manager holds the file (kInUseError), which it cannot take meanwhile, or when it is
// not a regular file. 0 or the errno.
int ReplaceStoreFile(const std::string& path, std::span<const std::uint8_t> bytes);

// What a file is to the store: a regular file of `size` bytes, absent, or another kind.
struct FileKind {
  enum class Type { Regular, Missing, Other };
  Type type = Type::Missing;
  std::uint64_t size = 0;
  int error = 0;  // why it is not a regular file (ENODEV, EISDIR, ...)
};
// Never blocks (FIFOs and devices are seen, not opened for reading).
FileKind KindOfFile(const std::string& path);

// Tests only: called after every write step of a slot change (each journal write, each
// store write, the journal's removal), so a test can end the process at any of them.
using WriteStepHook = void (*)();
void SetWriteStepHook(WriteStepHook hook);

// The process-wide store the manager works on.
WorkStore& TheWorkStore();

// The store operations by their established names, on the process-wide store.
int OpenWorkStore();
void CloseWorkStore();
void ClearItemSlots();

}  // namespace store
