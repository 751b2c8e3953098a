#include "manager/store/work_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "shared/file_io.h"

namespace store {

namespace {
constexpr std::size_t kMaxPathBytes = 1023;
constexpr int kItemSlots = static_cast<int>(kMessageSlots + kEventSlots);

// Journal: magic, dev and inode of the store it belongs to, offset and length of the
// changed range, the new bytes, then an FNV-1a checksum of everything before it.
// Numbers big-endian.
constexpr char kJournalMagic[8] = {'B', 'R', 'J', 'N', 'L', '0', '0', '1'};
constexpr std::size_t kJournalHead = 8 + 4 * 8;
constexpr std::size_t kJournalMax = kJournalHead + kSettingsOffset + 8;

WriteStepHook g_writeStepHook = nullptr;

void Step() {
  if (g_writeStepHook) g_writeStepHook();
}

void Put64(std::uint8_t* at, std::uint64_t v) {
  for (int i = 7; i >= 0; --i, v >>= 8) at[i] = static_cast<std::uint8_t>(v);
}
std::uint64_t Get64(const std::uint8_t* at) {
  std::uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = (v << 8) | at[i];
  return v;
}

std::uint64_t Checksum(const std::uint8_t* data, std::size_t n) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (std::size_t i = 0; i < n; ++i) h = (h ^ data[i]) * 0x100000001b3ULL;
  return h;
}

bool PWriteAll(int fd, const std::uint8_t* data, std::size_t n, std::size_t offset) {
  while (n > 0) {
    const ssize_t done = ::pwrite(fd, data, n, static_cast<off_t>(offset));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      if (done == 0) errno = EIO;
      return false;
    }
    data += done;
    offset += static_cast<std::size_t>(done);
    n -= static_cast<std::size_t>(done);
  }
  return true;
}

// The file's name entries (a journal made or removed) reach the disk.
void SyncFolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  ::fsync(dir);
  ::close(dir);
}

struct JournalEntry {
  std::size_t offset = 0;
  std::vector<std::uint8_t> bytes;
};

// The complete journal of the store `st`, or nothing (none, torn, or another file's).
std::optional<JournalEntry> ReadJournal(const std::string& storePath, const struct stat& st) {
  auto raw = fileio::ReadRegularFile(JournalPath(storePath), kJournalMax);
  if (!raw || raw->size() < kJournalHead + 8) return std::nullopt;
  const std::uint8_t* b = raw->data();
  const std::size_t body = raw->size() - 8;
  const std::uint64_t offset = Get64(b + 24), length = Get64(b + 32);
  const bool fits = offset % item::kItemRecordSize == 0 && length % item::kItemRecordSize == 0 &&
                    length > 0 && offset + length <= kSettingsOffset;
  if (std::memcmp(b, kJournalMagic, 8) != 0 || Get64(b + 8) != st.st_dev ||
      Get64(b + 16) != st.st_ino || !fits || length != body - kJournalHead ||
      Get64(b + body) != Checksum(b, body)) {
    return std::nullopt;
  }
  JournalEntry entry;
  entry.offset = offset;
  entry.bytes.assign(b + kJournalHead, b + body);
  return entry;
}

// Opens path with flags when it is a regular file (looked at again on the open descriptor,
// in case it was swapped meanwhile): the descriptor, or -errno.
int OpenRegular(const std::string& path, int flags, struct stat* st) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return -errno;
  if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
    ::close(fd);
    return -ENODEV;
  }
  return fd;
}

}  // namespace

std::string JournalPath(const std::string& storePath) {
  return storePath + "-journal";
}

void SetWriteStepHook(WriteStepHook hook) {
  g_writeStepHook = hook;
}

FileKind KindOfFile(const std::string& path) {
  // stat, not open: opening a device (a serial line) can already act on it.
  struct stat st {};
  FileKind kind;
  if (::stat(path.c_str(), &st) != 0) {
    kind.error = errno;
    kind.type = errno == ENOENT ? FileKind::Type::Missing : FileKind::Type::Other;
  } else if (!S_ISREG(st.st_mode)) {
    kind.type = FileKind::Type::Other;
    kind.error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
  } else {
    kind.type = FileKind::Type::Regular;
    kind.size = static_cast<std::uint64_t>(st.st_size);
  }
  return kind;
}

int CreateStoreFile(const std::string& path) {
  const std::string temp = path + "." + std::to_string(::getpid()) + ".new";
  const std::vector<std::uint8_t> zeros(kFileSize, 0);
  if (const int error = fileio::WriteFileAtomically(temp, zeros)) return error;
  // Another manager may have made the store meanwhile: its file is never replaced.
  int error = 0;
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) != 0) {
    error = errno;
    if (error == EINVAL) {  // a file system that cannot refuse: look just before
      error = ::access(path.c_str(), F_OK) == 0           ? EEXIST
              : ::rename(temp.c_str(), path.c_str()) == 0 ? 0
                                                          : errno;
    }
  }
  if (error != 0) ::unlink(temp.c_str());
  return error;
}

int ReplaceStoreFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  const FileKind kind = KindOfFile(path);
  if (kind.type == FileKind::Type::Other) return kind.error;
  int held = -1;
  if (kind.type == FileKind::Type::Regular) {
    held = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) != 0) {
      ::close(held);
      return kInUseError;
    }
  }
  const int error = fileio::WriteFileAtomically(path, bytes);
  if (held >= 0) ::close(held);
  return error;
}

void WorkStore::SetPath(std::string path) {
  path_ = std::move(path);
}

int WorkStore::Fail(int error) {
  error_ = error;
  return kCannotOpen;
}

int WorkStore::Open() {
  Close();
  // Cut short, the path would name another file; a path that does not fit is not opened.
  if (path_.empty() || path_.size() > kMaxPathBytes) return Fail(ENAMETOOLONG);
  FileKind kind = KindOfFile(path_);
  if (kind.type == FileKind::Type::Missing) {
    const int error = CreateStoreFile(path_);
    if (error != 0 && error != EEXIST) return Fail(error);
    kind = KindOfFile(path_);
  }
  if (kind.type != FileKind::Type::Regular) return Fail(kind.error);
  struct stat st {};
  const int fd = OpenRegular(path_, O_RDWR, &st);
  if (fd < 0) return Fail(-fd);
  // flock, not a record lock: record locks vanish when any descriptor of the file in the
  // process closes (a copy for a save would drop it).
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    Fail(error == EWOULDBLOCK ? kInUseError : error);
    return error == EWOULDBLOCK ? kInUse : kCannotOpen;
  }
  fd_ = fd;
  if (!FinishInterruptedChange()) {
    const int error = error_;
    Close();
    return Fail(error);
  }
  error_ = 0;
  return kOpened;
}

bool WorkStore::FinishInterruptedChange() {
  struct stat st {};
  ::fstat(fd_, &st);
  const std::string journal = JournalPath(path_);
  if (const auto entry = ReadJournal(path_, st)) {
    if (!PWriteAll(fd_, entry->bytes.data(), entry->bytes.size(), entry->offset) ||
        ::fdatasync(fd_) != 0) {
      error_ = errno;
      return false;  // the journal stays for the next try
    }
  }
  // A torn journal is a change that never began: the store still holds the old bytes.
  if (::unlink(journal.c_str()) == 0) SyncFolderOf(path_);
  return true;
}

int WorkStore::OpenReadOnly() {
  Close();
  const FileKind kind = KindOfFile(path_);
  if (kind.type != FileKind::Type::Regular) return Fail(kind.error);
  struct stat st {};
  const int fd = OpenRegular(path_, O_RDONLY, &st);
  if (fd < 0) return Fail(-fd);
  fd_ = fd;
  readOnly_ = true;
  if (auto entry = ReadJournal(path_, st)) {
    pendingOffset_ = entry->offset;
    pending_ = std::move(entry->bytes);
  }
  error_ = 0;
  return kOpened;
}

void WorkStore::Close() {
  readOnly_ = false;
  pending_.clear();
  if (fd_ >= 0) {
    ::close(fd_);  // also drops the lock
    fd_ = -1;
  }
}

void WorkStore::Swap(WorkStore& other) {
  std::swap(path_, other.path_);
  std::swap(fd_, other.fd_);
  std::swap(readOnly_, other.readOnly_);
  std::swap(error_, other.error_);
  std::swap(pendingOffset_, other.pendingOffset_);
  std::swap(pending_, other.pending_);
}

bool WorkStore::IsOwnFile(const std::string& path) const {
  struct stat mine {};
  struct stat other {};
  return fd_ >= 0 && ::fstat(fd_, &mine) == 0 && ::stat(path.c_str(), &other) == 0 &&
         mine.st_dev == other.st_dev && mine.st_ino == other.st_ino;
}

std::size_t WorkStore::Read(std::size_t offset, void* buffer, std::size_t length) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::memset(out, 0, length);
  if (fd_ < 0) return 0;
  std::size_t got = 0;
  while (got < length) {
    const ssize_t n = ::pread(fd_, out + got, length - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  const std::size_t from = std::max(offset, pendingOffset_);
  const std::size_t to = std::min(offset + length, pendingOffset_ + pending_.size());
  if (from < to)
    std::memcpy(out + (from - offset), pending_.data() + (from - pendingOffset_), to - from);
  return got;
}

std::size_t WorkStore::Write(std::size_t offset, const void* data, std::size_t length) {
  if (fd_ < 0 || readOnly_) return 0;
  return PWriteAll(fd_, static_cast<const std::uint8_t*>(data), length, offset) ? length : 0;
}

bool WorkStore::ReplaceSlots(int first, std::span<const item::ItemRecord> records) {
  const int count = static_cast<int>(records.size());
  if (fd_ < 0 || readOnly_) {
    error_ = EBADF;
    return false;
  }
  if (first < 0 || count == 0 || first + count > kItemSlots) {
    error_ = EINVAL;
    return false;
  }
  const std::size_t offset = SlotOffset(first);
  const std::size_t length = records.size() * item::kItemRecordSize;
  std::vector<std::uint8_t> journal(kJournalHead + length + 8);
  struct stat st {};
  ::fstat(fd_, &st);
  std::memcpy(journal.data(), kJournalMagic, 8);
  Put64(&journal[8], st.st_dev);
  Put64(&journal[16], st.st_ino);
  Put64(&journal[24], offset);
  Put64(&journal[32], length);
  std::uint8_t* bytes = journal.data() + kJournalHead;
  for (std::size_t i = 0; i < records.size(); ++i) {
    item::RecordToBytes(records[i], bytes + i * item::kItemRecordSize);
  }
  Put64(&journal[kJournalHead + length], Checksum(journal.data(), kJournalHead + length));

  // The journal is written in the same pieces as the store, so a test that stops the
  // process after any write sees a journal torn anywhere too. Writing it in place is safe:
  // until it is whole and flushed the store is untouched, and a torn one fails its checksum.
  const std::string journalPath = JournalPath(path_);
  const int j =
      ::open(journalPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  bool written = j >= 0 && PWriteAll(j, journal.data(), kJournalHead, 0);
  if (written) Step();
  for (std::size_t at = kJournalHead; written && at < journal.size();) {
    const std::size_t piece = std::min(item::kItemRecordSize, journal.size() - at);
    written = PWriteAll(j, journal.data() + at, piece, at);
    at += piece;
    if (written) Step();
  }
  written = written && ::fsync(j) == 0;
  const int error = errno;
  if (j >= 0) ::close(j);
  if (!written) {
    ::unlink(journalPath.c_str());
    error_ = error;
    return false;
  }
  SyncFolderOf(path_);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::size_t at = i * item::kItemRecordSize;
    if (!PWriteAll(fd_, bytes + at, item::kItemRecordSize, offset + at)) {
      error_ = errno;  // the journal stays: the next Open finishes the change
      return false;
    }
    Step();
  }
  if (::fdatasync(fd_) != 0) {
    error_ = errno;
    return false;
  }
  ::unlink(journalPath.c_str());
  Step();
  return true;
}

void WorkStore::ClearItemSlots() {
  // Not journaled: only a start or a new list clears, and both clear again after a kill.
  std::vector<std::uint8_t> zeros(store::kSettingsOffset, 0);
  Write(0, zeros.data(), zeros.size());
}

std::uint8_t WorkStore::Byte(std::size_t offset) {
  std::uint8_t b = 0;
  Read(offset, &b, 1);
  return b;
}

void WorkStore::SetByte(std::size_t offset, std::uint8_t v) {
  Write(offset, &v, 1);
}

std::uint8_t WorkStore::Width() {
  return Byte(store::kWidth);
}
void WorkStore::SetWidth(std::uint8_t v) {
  SetByte(store::kWidth, v);
}
std::uint8_t WorkStore::Height() {
  return Byte(store::kHeight);
}
void WorkStore::SetHeight(std::uint8_t v) {
  SetByte(store::kHeight, v);
}
std::uint8_t WorkStore::WindowMode() {
  return Byte(store::kWindowMode);
}
void WorkStore::SetWindowMode(std::uint8_t v) {
  SetByte(store::kWindowMode, v);
}
std::uint8_t WorkStore::BrightMode() {
  return Byte(store::kBrightMode);
}
void WorkStore::SetBrightMode(std::uint8_t v) {
  SetByte(store::kBrightMode, v);
}
std::uint8_t WorkStore::SerialPort() {
  return Byte(store::kSerialPort);
}
void WorkStore::SetSerialPort(std::uint8_t v) {
  SetByte(store::kSerialPort, v);
}
std::uint8_t WorkStore::Transmit() {
  return Byte(store::kTransmit);
}
void WorkStore::SetTransmit(std::uint8_t v) {
  SetByte(store::kTransmit, v);
}
std::uint8_t WorkStore::Connection() {
  return Byte(store::kConnection);
}
void WorkStore::SetConnection(std::uint8_t v) {
  SetByte(store::kConnection, v);
}

std::uint16_t WorkStore::Levels() {
  std::uint8_t b[2];
  Read(store::kLevels, b, 2);
  return static_cast<std::uint16_t>((b[0] << 8) | b[1]);
}

void WorkStore::SetLevels(std::uint8_t day, std::uint8_t night) {
  const std::uint8_t b[2] = {day, night};
  Write(store::kLevels, b, 2);
}

std::uint32_t WorkStore::IpAddress() {
  std::uint8_t b[4];
  Read(store::kIpAddress, b, 4);
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
         b[3];
}

void WorkStore::SetIpAddress(std::uint32_t v) {
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                             static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  Write(store::kIpAddress, b, 4);
}

std::uint16_t WorkStore::TcpPort() {
  std::uint8_t b[2];
  Read(store::kTcpPort, b, 2);
  return static_cast<std::uint16_t>((b[0] << 8) | b[1]);
}

void WorkStore::SetTcpPort(std::uint16_t v) {
  const std::uint8_t b[2] = {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  Write(store::kTcpPort, b, 2);
}

std::array<std::uint8_t, store::kNewsFlagCount> WorkStore::NewsFlags() {
  std::array<std::uint8_t, store::kNewsFlagCount> flags{};
  Read(store::kNewsFlags, flags.data(), flags.size());
  return flags;
}

void WorkStore::SetNewsFlags(const std::array<std::uint8_t, store::kNewsFlagCount>& flags) {
  Write(store::kNewsFlags, flags.data(), flags.size());
}

item::ItemRecord WorkStore::ReadRecord(int slot) {
  std::vector<std::uint8_t> bytes(item::kItemRecordSize);
  Read(store::SlotOffset(slot), bytes.data(), bytes.size());
  return item::RecordFromBytes(bytes.data());
}

bool WorkStore::WriteRecord(int slot, const item::ItemRecord& r) {
  return ReplaceSlots(slot, std::span(&r, 1));
}

item::ItemRecord MergedItem(const item::ItemRecord& slot, const item::ItemRecord& r) {
  item::ItemRecord merged = slot;
  merged.header = r.header;
  for (int q = 0; q < 4; ++q) {
    const auto id = static_cast<item::QuarterId>(q);
    if (item::WritesQuarter(r.header.kind(), id)) merged.body.quarter(id) = r.body.quarter(id);
  }
  return merged;
}

bool WorkStore::WriteItem(int slot, const item::ItemRecord& r) {
  return WriteRecord(slot, MergedItem(ReadRecord(slot), r));
}

bool WorkStore::AppendSlot(int n, const item::ItemRecord& r) {
  if (n < 0 || n >= static_cast<int>(store::kMessageSlots)) return false;
  return WriteItem(n, r);
}

std::vector<item::ItemRecord> WorkStore::ReadList(int first, int maxSlots) {
  std::vector<item::ItemRecord> list;
  for (int k = first; k < first + maxSlots; ++k) {
    item::ItemRecord r;
    const std::size_t base = store::SlotOffset(k);
    Read(base, r.header.bytes.data(), item::kItemHeaderSize);
    Read(base + item::QuarterOffset(item::QuarterId::TextA), r.body.textA.data(),
         item::kQuarterSize);
    if (!item::HoldsItem(r)) break;
    Read(base + item::QuarterOffset(item::QuarterId::TextB), r.body.textB.data(),
         item::kQuarterSize);
    list.push_back(r);
  }
  return list;
}

WorkStore& TheWorkStore() {
  static WorkStore store;
  return store;
}

int OpenWorkStore() {
  return TheWorkStore().Open();
}
void CloseWorkStore() {
  TheWorkStore().Close();
}
void ClearItemSlots() {
  TheWorkStore().ClearItemSlots();
}

}  // namespace store
