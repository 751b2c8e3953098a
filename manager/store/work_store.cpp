#include "manager/store/work_store.h"

#include <cstring>

namespace store {

namespace {
constexpr std::size_t kMaxPathBytes = 1023;
}

void WorkStore::SetPath(std::string path) {
  path_ = std::move(path);
}

int WorkStore::Open() {
  Close();
  // Cut short, the path would name another file; a path that does not fit is not opened.
  if (path_.empty() || path_.size() > kMaxPathBytes) return 1;
  file_ = std::fopen(path_.c_str(), "rb+");
  if (file_) return 0;
  std::FILE* created = std::fopen(path_.c_str(), "wb+");
  if (!created) return 1;
  std::vector<std::uint8_t> zeros(store::kFileSize, 0);
  const bool written = std::fwrite(zeros.data(), 1, zeros.size(), created) == zeros.size();
  const bool closed = std::fclose(created) == 0;
  if (!written || !closed) return 1;
  file_ = std::fopen(path_.c_str(), "rb+");
  return file_ ? 0 : 1;
}

int WorkStore::OpenReadOnly() {
  Close();
  file_ = std::fopen(path_.c_str(), "rb");
  readOnly_ = file_ != nullptr;
  return file_ ? 0 : 1;
}

void WorkStore::Close() {
  readOnly_ = false;
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

std::size_t WorkStore::Read(std::size_t offset, void* buffer, std::size_t length) {
  std::memset(buffer, 0, length);
  if (!file_ || std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return 0;
  return std::fread(buffer, 1, length, file_);
}

std::size_t WorkStore::Write(std::size_t offset, const void* data, std::size_t length) {
  if (!file_ || readOnly_ || std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return 0;
  const std::size_t n = std::fwrite(data, 1, length, file_);
  // Flushed at once so that another reader of the file (a copy for a project save) and a
  // crash both see every edit.
  std::fflush(file_);
  return n;
}

void WorkStore::ClearItemSlots() {
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

void WorkStore::WriteRecord(int slot, const item::ItemRecord& r) {
  std::vector<std::uint8_t> bytes(item::kItemRecordSize);
  item::RecordToBytes(r, bytes.data());
  Write(store::SlotOffset(slot), bytes.data(), bytes.size());
}

void WorkStore::WriteItem(int slot, const item::ItemRecord& r) {
  const std::size_t base = store::SlotOffset(slot);
  Write(base, r.header.bytes.data(), item::kItemHeaderSize);
  for (int q = 0; q < 4; ++q) {
    const auto id = static_cast<item::QuarterId>(q);
    if (item::WritesQuarter(r.header.kind(), id)) {
      Write(base + item::QuarterOffset(id), r.body.quarter(id).data(), item::kQuarterSize);
    }
  }
}

void WorkStore::ZeroSlot(int slot) {
  std::vector<std::uint8_t> zeros(item::kItemRecordSize, 0);
  Write(store::SlotOffset(slot), zeros.data(), zeros.size());
}

bool WorkStore::RemoveSlot(int p, int n) {
  const int limit = static_cast<int>(store::kMessageSlots);
  if (p < 0 || p >= n || n > limit) return false;
  for (int k = p + 1; k < n; ++k) WriteRecord(k - 1, ReadRecord(k));
  ZeroSlot(n - 1);
  return true;
}

bool WorkStore::InsertSlot(int p, int n, const item::ItemRecord& r) {
  const int limit = static_cast<int>(store::kMessageSlots);
  if (p < 0 || p > n || n >= limit) return false;
  for (int k = n - 1; k >= p; --k) WriteRecord(k + 1, ReadRecord(k));
  WriteRecord(p, r);
  return true;
}

bool WorkStore::AppendSlot(int n, const item::ItemRecord& r) {
  if (n < 0 || n >= static_cast<int>(store::kMessageSlots)) return false;
  WriteItem(n, r);
  return true;
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
