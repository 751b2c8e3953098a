#pragma once
// The work store: one random-access file holding the message slots 0-99, the event slots
// 100-109 and the settings slots. There is no in-memory model: every read and write goes
// to the file at fixed offsets, whatever the file's length (reads past the end yield 0).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
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

  // Opens the file for update; creates it as 904672 zero bytes when missing.
  // 0 on success, 1 when it can be neither opened nor created.
  int Open();
  // Opens an existing file for reading only (a project a tool only looks at); writes then
  // write nothing. 0 on success, 1 when it cannot be read.
  int OpenReadOnly();
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // Positioned read and write. Read zero-fills what lies past the end of the file and
  // returns the bytes actually read; both return 0 when the store is closed.
  std::size_t Read(std::size_t offset, void* buffer, std::size_t length);
  std::size_t Write(std::size_t offset, const void* data, std::size_t length);

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

  // Slot access. A record is read whole; writing writes the header and the quarters the
  // record's kind uses (WriteItem) or all 8224 bytes (WriteRecord).
  item::ItemRecord ReadRecord(int slot);
  void WriteRecord(int slot, const item::ItemRecord& r);
  void WriteItem(int slot, const item::ItemRecord& r);
  void ZeroSlot(int slot);

  // List edits on the message slots 0 .. n-1 (events are never touched).
  // RemoveSlot shifts p+1..n-1 down and zeroes slot n-1; InsertSlot shifts p..n-1 up
  // and writes r whole into slot p; AppendSlot writes r's used parts into slot n.
  // Each returns false and writes nothing when the edit would leave slots 0-99 (a full
  // list must never push its last item into the event slots) or p is not in the list.
  bool RemoveSlot(int p, int n);
  bool InsertSlot(int p, int n, const item::ItemRecord& r);
  bool AppendSlot(int n, const item::ItemRecord& r);

  // The list as the presence rule finds it: slots from `first` on, stopping at the first
  // slot that holds no item and after `maxSlots` slots. Header, text A and text B are read.
  std::vector<item::ItemRecord> ReadList(int first = 0, int maxSlots = store::kMessageSlots);

 private:
  std::uint8_t Byte(std::size_t offset);
  void SetByte(std::size_t offset, std::uint8_t v);

  std::string path_;
  std::FILE* file_ = nullptr;
  bool readOnly_ = false;
};

// The process-wide store the manager works on.
WorkStore& TheWorkStore();

// The store operations by their established names, on the process-wide store.
int OpenWorkStore();
void CloseWorkStore();
void ClearItemSlots();

}  // namespace store
