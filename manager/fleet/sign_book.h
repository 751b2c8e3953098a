#pragma once
// The sign book: the operator's named signs, each with its link and optionally the board
// size it should have, and the groups they belong to (a sign may be in several). Kept as
// one UTF-8 INI file in the user's configuration folder, read by the manager and by
// brellion-cli:
//
//   [sign 본점 입구]
//   tcp = 192.168.0.10:5000
//   size = 12x2
//   groups = 본점, 1층
//
//   [sign 창고]
//   serial = /dev/ttyUSB0
//
// Every problem of a hand-edited file names its line; a sign with a problem is left out
// whole, so it never goes out with half its settings.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "manager/link/link_settings.h"

namespace fleet {

inline constexpr std::uint64_t kMaxBookBytes = 1u << 20;

struct SignAddress {
  enum class Kind { kTcp, kSerial };
  Kind kind = Kind::kTcp;
  std::string host;        // kTcp: a name or an IPv4 address
  std::uint16_t port = 0;  // kTcp: 1-65535
  std::string device;      // kSerial: an absolute device path, or "COMn" (1-20)
  bool operator==(const SignAddress&) const = default;
};

// "HOST:PORT", port 1-65535, no blanks; nullopt otherwise.
std::optional<SignAddress> ParseTcp(std::string_view text);
// "COM1" to "COM20", or an absolute path; nullopt otherwise.
std::optional<SignAddress> ParseSerial(std::string_view text);
// "HOST:PORT", or the device as written.
std::string AddressText(const SignAddress& address);
// The device a serial address opens: the path, or for COMn signlink::SerialDevicePath(n).
std::string DevicePath(const SignAddress& address);
// DevicePath with its symbolic links resolved, so two spellings of one device give one
// key. Empty for TCP.
std::string DeviceKey(const SignAddress& address);

struct Sign {
  std::string name;
  SignAddress address;
  std::optional<signlink::BoardSize> size;  // width 2-20 modules, height 1-2 tiers
  std::vector<std::string> groups;
  bool operator==(const Sign&) const = default;
};

// "12x2", or "" without a size.
std::string SizeText(const std::optional<signlink::BoardSize>& size);

struct SignBook {
  std::vector<Sign> signs;
  // Every group some sign is in, in the order first met.
  std::vector<std::string> Groups() const;
  const Sign* Find(std::string_view name) const;
};

// Why `sign` cannot stand in `book` in place of sign number `replacing` (-1: as a new one):
// an empty name or one another sign has, a name or group the file cannot hold, a bad
// address or size. Nullopt when it can. Texts are UTF-8, for the operator.
std::optional<std::string> CheckSign(const SignBook& book, const Sign& sign, int replacing = -1);

struct BookProblem {
  int line = 0;  // from 1
  std::string text;
};

struct BookRead {
  SignBook book;  // the signs read whole
  std::vector<BookProblem> problems;
  int error = 0;  // errno of reading the file; ENOENT: there is no book yet
};

BookRead ParseSignBook(std::string_view text);
BookRead ReadSignBook(const std::string& path);
// The file's whole text, with a short explanation of the format at its top.
std::string FormatSignBook(const SignBook& book);
// Makes the folder when missing and replaces the file atomically; errno, 0 on success.
int WriteSignBook(const std::string& path, const SignBook& book);

// $XDG_CONFIG_HOME/Brellion/signs.ini; ~/.config stands in for an unset or relative
// XDG_CONFIG_HOME.
std::string SignBookPath();

// For the operator, UTF-8: the book could not be read, or which line is wrong (the first
// problem, and how many more); empty when there is nothing to say.
std::string ReadFailureText(const std::string& path, const BookRead& read);

// Which signs a command goes to.
struct Selection {
  std::vector<std::string> signs;
  std::vector<std::string> groups;
  bool all = false;
};
// The chosen signs in book order, each once. A name or group the book does not have is
// put into *unknown and nothing is returned.
std::vector<Sign> Select(const SignBook& book, const Selection& selection, std::string* unknown);

// Adds `sign` unless a target already in `targets` has its address.
void AddTarget(std::vector<Sign>& targets, Sign sign);

}  // namespace fleet
