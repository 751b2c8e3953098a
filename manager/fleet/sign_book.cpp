#include "manager/fleet/sign_book.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "manager/link/port_name.h"
#include "shared/file_io.h"

namespace fleet {

namespace {

constexpr std::string_view kSection = "sign";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool HasControl(std::string_view s) {
  return std::any_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

bool HasBlank(std::string_view s) {
  return HasControl(s) || s.find(' ') != std::string_view::npos;
}

// Well-formed UTF-8 (no overlong forms, no surrogates); a book saved in another encoding
// would otherwise show garbled names.
bool ValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int more = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      more = 1, min = 0x80, cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      more = 2, min = 0x800, cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      more = 3, min = 0x10000, cp = b & 0x07;
    } else {
      return false;
    }
    if (i + static_cast<std::size_t>(more) >= s.size()) return false;
    for (int k = 1; k <= more; ++k) {
      const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(more) + 1;
  }
  return true;
}

std::optional<int> Number(std::string_view s, int min, int max) {
  if (s.empty() || s.size() > 5) return std::nullopt;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  if (v < min || v > max) return std::nullopt;
  return v;
}

// n of "COMn" (any case), 1-20.
std::optional<int> ComNumber(std::string_view text) {
  if (text.size() < 4 || (text.substr(0, 3) != "COM" && text.substr(0, 3) != "com"))
    return std::nullopt;
  return Number(text.substr(3), 1, signlink::kSerialPorts);
}

std::optional<signlink::BoardSize> ParseSize(std::string_view text) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  const auto width = Number(Trim(text.substr(0, x)), 2, 20);
  const auto height = Number(Trim(text.substr(x + 1)), 1, 2);
  if (!width || !height) return std::nullopt;
  return signlink::BoardSize{static_cast<std::uint8_t>(*width), static_cast<std::uint8_t>(*height)};
}

std::vector<std::string> SplitGroups(std::string_view text) {
  std::vector<std::string> groups;
  for (text = Trim(text); !text.empty();) {
    const std::size_t comma = text.find(',');
    const std::string group(Trim(text.substr(0, comma)));
    if (std::find(groups.begin(), groups.end(), group) == groups.end()) groups.push_back(group);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return groups;
}

std::optional<std::string> GroupProblem(const std::vector<std::string>& groups) {
  for (const std::string& g : groups) {
    if (Trim(g).empty()) return "그룹 이름이 비어 있습니다";
    if (g.find(',') != std::string::npos || HasControl(g) || Trim(g).size() != g.size())
      return "그룹 이름에는 쉼표와 줄바꿈을 쓸 수 없고, 앞뒤에 빈칸을 둘 수 없습니다: " + g;
  }
  return std::nullopt;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr)
    return pw->pw_dir;
  return "/tmp";
}

// One "[sign NAME]" section while it is read.
struct OpenSign {
  Sign sign;
  int line = 0;
  bool bad = false;  // a problem was reported: the sign is left out
  bool linked = false;
  std::vector<std::string> keys;
};

class Parser {
 public:
  BookRead Run(std::string_view text) {
    if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
    int number = 0;
    while (!text.empty() || number == 0) {
      const std::size_t end = text.find('\n');
      Line(++number, text.substr(0, end));
      if (end == std::string_view::npos) break;
      text.remove_prefix(end + 1);
    }
    Close();
    return std::move(out_);
  }

 private:
  void Problem(int line, std::string text) {
    out_.problems.push_back({line, std::move(text)});
    if (open_) open_->bad = true;
  }

  void Line(int number, std::string_view line) {
    line = Trim(line);
    Parse(number, line);
    // After the line's own part is done, so that a bad header still opens its section.
    if (!ValidUtf8(line)) Problem(number, "UTF-8 글자가 아닙니다");
  }

  void Parse(int number, std::string_view line) {
    if (line.empty() || line.front() == '#' || line.front() == ';') return;
    if (line.front() == '[') return Header(number, line);
    if (!open_) return Problem(number, "[sign 이름] 줄 밖에 있습니다");
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return Problem(number, "'항목 = 값' 꼴이 아닙니다");
    const std::string key(Trim(line.substr(0, eq)));
    const std::string_view value = Trim(line.substr(eq + 1));
    if (std::find(open_->keys.begin(), open_->keys.end(), key) != open_->keys.end())
      return Problem(number, "같은 항목이 두 번 있습니다: " + key);
    open_->keys.push_back(key);
    Sign& sign = open_->sign;
    if (key == "tcp" || key == "serial") {
      if (std::exchange(open_->linked, true))
        return Problem(number, "tcp와 serial은 함께 적을 수 없습니다");
      const auto address = key == "tcp" ? ParseTcp(value) : ParseSerial(value);
      if (!address) {
        return Problem(number, key == "tcp"
                                   ? "tcp는 주소:포트(포트 1-65535)로 적습니다"
                                   : "serial은 /로 시작하는 장치 경로나 COM1-COM20으로 적습니다");
      }
      sign.address = *address;
    } else if (key == "size") {
      sign.size = ParseSize(value);
      if (!sign.size) return Problem(number, "size는 너비x높이(너비 2-20, 높이 1-2)로 적습니다");
    } else if (key == "groups") {
      sign.groups = SplitGroups(value);
      if (const auto why = GroupProblem(sign.groups)) return Problem(number, *why);
    } else {
      return Problem(number, "알 수 없는 항목입니다: " + key);
    }
  }

  void Header(int number, std::string_view line) {
    Close();
    if (line.back() != ']') return Problem(number, "구역 이름은 [sign 이름] 꼴로 적습니다");
    const std::string_view inner = Trim(line.substr(1, line.size() - 2));
    open_ = OpenSign{};
    open_->line = number;
    const std::string_view name = inner.substr(std::min(inner.size(), kSection.size()));
    if (!inner.starts_with(kSection) ||
        (!name.empty() && name.front() != ' ' && name.front() != '\t'))
      return Problem(number, "알 수 없는 구역입니다: " + std::string(line));
    open_->sign.name = std::string(Trim(name));
  }

  void Close() {
    if (!open_) return;
    OpenSign done = std::move(*open_);
    open_.reset();
    if (done.bad) return;
    if (!done.linked) return Problem(done.line, "tcp나 serial 중 하나를 적어야 합니다");
    if (const auto why = CheckSign(out_.book, done.sign)) return Problem(done.line, *why);
    out_.book.signs.push_back(std::move(done.sign));
  }

  BookRead out_;
  std::optional<OpenSign> open_;
};

}  // namespace

std::optional<SignAddress> ParseTcp(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  const auto port = Number(text.substr(colon + 1), 1, 65535);
  const std::string_view host = text.substr(0, colon);
  if (!port || HasBlank(host)) return std::nullopt;
  SignAddress a;
  a.kind = SignAddress::Kind::kTcp;
  a.host = std::string(host);
  a.port = static_cast<std::uint16_t>(*port);
  return a;
}

std::optional<SignAddress> ParseSerial(std::string_view text) {
  const std::optional<int> com = ComNumber(text);
  if ((!com && !text.starts_with('/')) || HasControl(text)) return std::nullopt;
  SignAddress a;
  a.kind = SignAddress::Kind::kSerial;
  a.device = com ? "COM" + std::to_string(*com) : std::string(text);
  return a;
}

std::string AddressText(const SignAddress& a) {
  if (a.kind == SignAddress::Kind::kSerial) return a.device;
  return a.host + ":" + std::to_string(a.port);
}

std::string DevicePath(const SignAddress& a) {
  const std::optional<int> com = ComNumber(a.device);
  return com ? signlink::SerialDevicePath(*com) : a.device;
}

std::string DeviceKey(const SignAddress& a) {
  if (a.kind != SignAddress::Kind::kSerial) return {};
  const std::string path = DevicePath(a);
  std::error_code ec;
  const std::filesystem::path real = std::filesystem::weakly_canonical(path, ec);
  return ec ? path : real.string();
}

std::string SizeText(const std::optional<signlink::BoardSize>& size) {
  if (!size) return {};
  return std::to_string(size->width) + "x" + std::to_string(size->height);
}

std::vector<std::string> SignBook::Groups() const {
  std::vector<std::string> all;
  for (const Sign& s : signs)
    for (const std::string& g : s.groups)
      if (std::find(all.begin(), all.end(), g) == all.end()) all.push_back(g);
  return all;
}

const Sign* SignBook::Find(std::string_view name) const {
  for (const Sign& s : signs)
    if (s.name == name) return &s;
  return nullptr;
}

std::optional<std::string> CheckSign(const SignBook& book, const Sign& sign, int replacing) {
  if (Trim(sign.name).empty()) return "전광판 이름이 비어 있습니다";
  if (HasControl(sign.name) || sign.name.find(']') != std::string::npos ||
      Trim(sign.name).size() != sign.name.size())
    return "전광판 이름에는 ]와 줄바꿈을 쓸 수 없고, 앞뒤에 빈칸을 둘 수 없습니다";
  for (std::size_t i = 0; i < book.signs.size(); ++i) {
    if (static_cast<int>(i) != replacing && book.signs[i].name == sign.name)
      return "같은 이름의 전광판이 이미 있습니다: " + sign.name;
  }
  const SignAddress& a = sign.address;
  const auto again =
      a.kind == SignAddress::Kind::kTcp ? ParseTcp(AddressText(a)) : ParseSerial(a.device);
  if (!again || !(*again == a)) return "연결이 올바르지 않습니다: " + AddressText(a);
  if (sign.size && !ParseSize(SizeText(sign.size))) return "크기는 너비 2-20열, 높이 1-2단입니다";
  return GroupProblem(sign.groups);
}

BookRead ParseSignBook(std::string_view text) {
  return Parser().Run(text);
}

BookRead ReadSignBook(const std::string& path) {
  int error = 0;
  const auto bytes = fileio::ReadRegularFile(path, kMaxBookBytes, &error);
  if (!bytes) {
    BookRead r;
    r.error = error;
    return r;
  }
  return ParseSignBook(
      std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

std::string FormatSignBook(const SignBook& book) {
  std::string s =
      "# Brellion 전광판 목록 (UTF-8). 전광판마다 [sign 이름] 줄 아래에:\n"
      "#   tcp = 주소:포트   또는   serial = /dev/ttyUSB0 (또는 COM1-COM20)\n"
      "#   size = 12x2       (없어도 됨: 너비 2-20열 x 높이 1-2단)\n"
      "#   groups = 본점, 1층 (없어도 됨: 쉼표로 나눈 그룹 이름)\n";
  for (const Sign& sign : book.signs) {
    s += "\n[sign " + sign.name + "]\n";
    s += (sign.address.kind == SignAddress::Kind::kTcp ? "tcp = " : "serial = ") +
         AddressText(sign.address) + "\n";
    if (sign.size) s += "size = " + SizeText(sign.size) + "\n";
    if (!sign.groups.empty()) {
      s += "groups = ";
      for (std::size_t i = 0; i < sign.groups.size(); ++i) s += (i ? ", " : "") + sign.groups[i];
      s += "\n";
    }
  }
  return s;
}

int WriteSignBook(const std::string& path, const SignBook& book) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  if (ec) return ec.value();
  const std::string text = FormatSignBook(book);
  return fileio::WriteFileAtomically(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::string SignBookPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string folder =
      config != nullptr && *config == '/' ? std::string(config) : HomeFolder() + "/.config";
  return folder + "/Brellion/signs.ini";
}

std::string ReadFailureText(const std::string& path, const BookRead& read) {
  if (read.error != 0)
    return "전광판 목록 파일을 읽을 수 없습니다: " + path + "\n" +
           fileio::FailureReason(read.error);
  if (read.problems.empty()) return {};
  const BookProblem& first = read.problems.front();
  std::string text = "전광판 목록 파일에 잘못된 곳이 있어 그 전광판은 빼고 읽었습니다\n" + path +
                     "\n" + std::to_string(first.line) + "번째 줄: " + first.text;
  if (read.problems.size() > 1)
    text += "\n(그 밖에 " + std::to_string(read.problems.size() - 1) + "곳)";
  return text;
}

std::vector<Sign> Select(const SignBook& book, const Selection& selection, std::string* unknown) {
  const std::vector<std::string> groups = book.Groups();
  for (const std::string& name : selection.signs) {
    if (book.Find(name) == nullptr) {
      *unknown = "전광판 목록에 없는 전광판입니다: " + name;
      return {};
    }
  }
  for (const std::string& group : selection.groups) {
    if (std::find(groups.begin(), groups.end(), group) == groups.end()) {
      *unknown = "전광판 목록에 없는 그룹입니다: " + group;
      return {};
    }
  }
  const auto has = [](const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
  };
  std::vector<Sign> chosen;
  for (const Sign& sign : book.signs) {
    const bool inGroup =
        std::any_of(sign.groups.begin(), sign.groups.end(),
                    [&](const std::string& g) { return has(selection.groups, g); });
    if (selection.all || inGroup || has(selection.signs, sign.name)) chosen.push_back(sign);
  }
  return chosen;
}

void AddTarget(std::vector<Sign>& targets, Sign sign) {
  const std::string key = DeviceKey(sign.address);
  for (const Sign& t : targets) {
    if (key.empty() ? t.address == sign.address : DeviceKey(t.address) == key) return;
  }
  targets.push_back(std::move(sign));
}

}  // namespace fleet
