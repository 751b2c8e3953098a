#include "shared/cp949.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace text {

namespace {

// Opening a descriptor costs far more than converting one character, and text is converted
// a character at a time, so each thread keeps one per direction. Each conversion starts
// from the initial state (ConvertAll resets it).
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

Iconv& ToCp949() {
  thread_local Iconv cd("CP949", "UTF-8");
  return cd;
}

Iconv& FromCp949() {
  thread_local Iconv cd("UTF-8", "CP949");
  return cd;
}

// Converts the whole input; false on any character that cannot be converted.
bool ConvertAll(iconv_t cd, std::string_view in, std::string& out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a failed conversion may have left a state
  out.clear();
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  std::vector<char> buf(in.size() * 4 + 16);
  while (srcLeft > 0) {
    char* dst = buf.data();
    std::size_t dstLeft = buf.size();
    std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf.data(), buf.size() - dstLeft);
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
  }
  char* dst = buf.data();
  std::size_t dstLeft = buf.size();
  iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buf.data(), buf.size() - dstLeft);
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::optional<std::string> Utf8ToCp949(std::string_view utf8) {
  const Iconv& cd = ToCp949();
  std::string out;
  if (!cd.ok() || !ConvertAll(cd.get(), utf8, out)) return std::nullopt;
  return out;
}

std::optional<std::string> EncodeCodePoint(char32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  std::string utf8;
  AppendUtf8(utf8, cp);
  return Utf8ToCp949(utf8);
}

std::string Cp949ToUtf8(std::string_view cp949) {
  const Iconv& cd = FromCp949();
  std::string out;
  std::size_t i = 0;
  while (i < cp949.size()) {
    std::uint8_t b = static_cast<std::uint8_t>(cp949[i]);
    std::size_t n = IsLeadByte(b) ? 2 : 1;
    if (i + n > cp949.size()) n = cp949.size() - i;
    std::string piece;
    if (n == 1 && b < 0x80) {
      out += static_cast<char>(b);
    } else if (cd.ok() && ConvertAll(cd.get(), cp949.substr(i, n), piece) && !piece.empty()) {
      out += piece;
    } else {
      AppendUtf8(out, 0xFFFD);
    }
    i += n;
  }
  return out;
}

std::size_t Cp949CutLength(std::string_view cp949, std::size_t maxBytes) {
  std::size_t i = 0;
  while (i < cp949.size()) {
    std::size_t n = IsLeadByte(static_cast<std::uint8_t>(cp949[i])) ? 2 : 1;
    if (i + n > maxBytes || i + n > cp949.size()) break;
    i += n;
  }
  return i;
}

std::size_t Cp949CharCount(std::string_view cp949) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < cp949.size(); ++count) {
    i += IsLeadByte(static_cast<std::uint8_t>(cp949[i])) ? 2 : 1;
  }
  return count;
}

std::size_t WriteTextQuarter(item::Quarter& q, std::string_view cp949) {
  q.fill(0);
  // Stop at an embedded NUL: the quarter's text ends there anyway.
  cp949 = cp949.substr(0, cp949.find('\0'));
  std::size_t n = Cp949CutLength(cp949, item::kMaxTextBytes);
  for (std::size_t i = 0; i < n; ++i) q[i] = static_cast<std::uint8_t>(cp949[i]);
  return n;
}

std::string ReadTextQuarter(const item::Quarter& q) {
  std::size_t n = 0;
  while (n < q.size() && q[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(q.data()), n);
}

bool IsKsx1001Code(std::uint8_t lead, std::uint8_t trail) {
  return lead >= 0xA1 && lead <= 0xFD && trail >= 0xA1 && trail <= 0xFE;
}

}  // namespace text
