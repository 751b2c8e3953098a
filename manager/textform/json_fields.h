#pragma once
// Reading the JSON form with the place of every value ("items[3].upper.text"), so that the
// first fault names where it is; and the raw byte runs that carry bytes with no readable
// form. Internal to the text form.

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace textform {

// Objects keep their members in the order written, so an export is laid out the same way
// every time.
using Json = nlohmann::ordered_json;

// The first fault of an import; what() is "place: what is wrong".
class Fault : public std::runtime_error {
 public:
  Fault(const std::string& place, const std::string& what)
      : std::runtime_error(place.empty() ? what : place + ": " + what) {}
};
[[noreturn]] void Fail(const std::string& place, const std::string& what);

std::string Member(const std::string& place, std::string_view key);  // "place.key"
std::string Element(const std::string& place, std::size_t index);    // "place[index]"

// An object read member by member. A member no reader asked for is a fault, so a misspelt
// field never passes unnoticed.
class Fields {
 public:
  // Fails unless value is an object.
  Fields(const Json& value, std::string place);
  // The member, or null when it is absent.
  const Json* Find(std::string_view key);
  // The member; fails when it is absent.
  const Json& Need(std::string_view key);
  std::string Place(std::string_view key) const { return Member(place_, key); }
  // Fails at the first member (in document order) that was not asked for.
  void NoOthers() const;
  // True when key is the object's only member.
  bool Only(std::string_view key) const;

 private:
  const Json& value_;
  std::string place_;
  std::vector<std::string> asked_;
};

int WholeNumber(const Json& v, const std::string& place, int min, int max);
const std::string& String(const Json& v, const std::string& place);
bool Flag(const Json& v, const std::string& place);
const Json& Array(const Json& v, const std::string& place);
// The position of v in names, compared without spaces ("11. 좌측" matches "11.좌측").
// `what` names the list in the message ("entry effect").
int Choice(const Json& v, const std::string& place, std::span<const std::string_view> names,
           std::string_view what);

// "012" -> 12; false unless s is 1 to 9 digits.
bool Digits(std::string_view s, int* out);

// UTF-8 of one code point.
void AppendUtf8(std::string& out, char32_t ch);
// A character as a message shows it: 'X' (U+0058).
std::string Quoted(char32_t ch);

// Raw runs: [{"at": offset, "bytes": "hex"}, ...], laid over bytes in order. The runs that
// turn `have` into `want` (same size); an empty array when they are equal. Runs closer
// than a few bytes are joined, so a scattered difference stays a short list.
Json RawRuns(std::span<const std::uint8_t> want, std::span<const std::uint8_t> have);
void ApplyRawRuns(const Json& runs, const std::string& place, std::span<std::uint8_t> bytes);

}  // namespace textform
