#include "tests/support/picture_builders.h"

#include <fstream>
#include <stdexcept>
#include <unordered_map>

#include "shared/cp949.h"

namespace encode_test {

namespace {
void Le16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Le32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  Le16(v, x & 0xFFFF);
  Le16(v, x >> 16);
}
int TableBits(std::size_t n) {  // 2^(bits) >= n, bits >= 1
  int bits = 1;
  while ((1u << bits) < n) ++bits;
  return bits;
}
}  // namespace

std::vector<std::uint8_t> MakeBmp(const BmpOptions& o,
                                  const std::function<std::uint32_t(int, int)>& pixel) {
  const std::size_t tableEntries =
      o.bitsPerPixel > 8 ? 0 : (o.coloursUsed ? o.coloursUsed : (1u << o.bitsPerPixel));
  const std::size_t extraMasks = (o.compression == 3 && o.infoSize == 40) ? 12 : 0;
  const auto dataAt = static_cast<std::uint32_t>(14 + o.infoSize + extraMasks + 4 * tableEntries);
  const auto stride = static_cast<std::uint32_t>((o.width * o.bitsPerPixel + 31) / 32 * 4);
  const auto u = [](int x) { return static_cast<std::uint32_t>(x); };

  std::vector<std::uint8_t> v = {'B', 'M'};
  for (std::uint32_t x : {dataAt + stride * u(o.height), 0u, dataAt, u(o.infoSize), u(o.width),
                          u(o.topDown ? -o.height : o.height)})
    Le32(v, x);
  Le16(v, 1);
  Le16(v, u(o.bitsPerPixel));
  for (std::uint32_t x : {o.compression, stride * u(o.height), 2835u, 2835u, o.coloursUsed, 0u})
    Le32(v, x);
  for (std::uint32_t m : o.masks) Le32(v, m);
  v.resize(14 + o.infoSize + extraMasks, 0);
  for (std::size_t i = 0; i < tableEntries; ++i) {
    const Rgb c = i < o.palette.size() ? o.palette[i] : Rgb{};
    v.insert(v.end(), {c.b, c.g, c.r, 0});
  }
  for (int row = 0; row < o.height; ++row) {
    const int y = o.topDown ? row : o.height - 1 - row;
    std::vector<std::uint8_t> line(stride, 0);
    for (int x = 0; x < o.width; ++x) {
      const std::uint32_t p = pixel(x, y);
      const std::size_t bit = static_cast<std::size_t>(x) * o.bitsPerPixel;
      if (o.bitsPerPixel <= 8) {
        line[bit / 8] |= static_cast<std::uint8_t>(p << (8 - o.bitsPerPixel - bit % 8));
        continue;
      }
      for (int k = 0; k < o.bitsPerPixel / 8; ++k)  // little-endian: 24 bits store B, G, R
        line[bit / 8 + k] = static_cast<std::uint8_t>(p >> (8 * k));
    }
    v.insert(v.end(), line.begin(), line.end());
  }
  return v;
}

std::vector<std::uint8_t> MakeBmp24(int w, int h, const std::function<Rgb(int, int)>& colour) {
  BmpOptions o;
  o.width = w;
  o.height = h;
  return MakeBmp(o, [&](int x, int y) {
    const Rgb c = colour(x, y);
    return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
  });
}

GifBuilder::GifBuilder(int width, int height, std::vector<Rgb> global) {
  bytes_ = {'G', 'I', 'F', '8', '9', 'a'};
  Le16(bytes_, static_cast<std::uint32_t>(width));
  Le16(bytes_, static_cast<std::uint32_t>(height));
  bytes_.push_back(static_cast<std::uint8_t>(0xF0 | (TableBits(global.size()) - 1)));
  bytes_.push_back(0);  // background
  bytes_.push_back(0);  // aspect
  Colours(global);
}

void GifBuilder::Colours(const std::vector<Rgb>& c) {
  const std::size_t n = std::size_t{1} << TableBits(c.size());
  for (std::size_t i = 0; i < n; ++i) {
    const Rgb k = i < c.size() ? c[i] : Rgb{};
    bytes_.insert(bytes_.end(), {k.r, k.g, k.b});
  }
}

GifBuilder& GifBuilder::Gce(int delay, int disposal, int transparent) {
  bytes_.insert(bytes_.end(), {0x21, 0xF9, 4});
  bytes_.push_back(static_cast<std::uint8_t>((disposal & 7) << 2 | (transparent >= 0 ? 1 : 0)));
  Le16(bytes_, static_cast<std::uint32_t>(delay));
  bytes_.push_back(static_cast<std::uint8_t>(transparent >= 0 ? transparent : 0));
  bytes_.push_back(0);
  return *this;
}

GifBuilder& GifBuilder::Comment(const std::string& text) {
  bytes_.insert(bytes_.end(), {0x21, 0xFE});
  bytes_.push_back(static_cast<std::uint8_t>(text.size()));
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  bytes_.push_back(0);
  return *this;
}

GifBuilder& GifBuilder::Netscape() {
  const std::string id = "NETSCAPE2.0";
  bytes_.insert(bytes_.end(), {0x21, 0xFF, 11});
  bytes_.insert(bytes_.end(), id.begin(), id.end());
  bytes_.insert(bytes_.end(), {3, 1, 0, 0, 0});
  return *this;
}

GifBuilder& GifBuilder::Image(int left, int top, int w, int h,
                              const std::vector<std::uint8_t>& indices,
                              const std::vector<Rgb>& local) {
  bytes_.push_back(0x2C);
  Le16(bytes_, static_cast<std::uint32_t>(left));
  Le16(bytes_, static_cast<std::uint32_t>(top));
  Le16(bytes_, static_cast<std::uint32_t>(w));
  Le16(bytes_, static_cast<std::uint32_t>(h));
  std::size_t colours = 256;
  if (local.empty()) {
    bytes_.push_back(0);
    colours = std::size_t{1} << ((bytes_[10] & 7) + 1);
  } else {
    bytes_.push_back(static_cast<std::uint8_t>(0x80 | (TableBits(local.size()) - 1)));
    Colours(local);
    colours = std::size_t{1} << TableBits(local.size());
  }
  const int codeSize = std::max(2, TableBits(colours));
  bytes_.push_back(static_cast<std::uint8_t>(codeSize));
  // Plain LZW with the late code-width change GIF decoders expect.
  const std::uint32_t clear = 1u << codeSize;
  const std::uint32_t eoi = clear + 1;
  std::unordered_map<std::uint32_t, std::uint32_t> dict;
  std::uint32_t next = eoi + 1;
  int width = codeSize + 1;
  std::vector<std::uint8_t> data;
  std::uint32_t acc = 0;
  int bits = 0;
  const auto put = [&](std::uint32_t code) {
    acc |= code << bits;
    bits += width;
    while (bits >= 8) {
      data.push_back(static_cast<std::uint8_t>(acc));
      acc >>= 8;
      bits -= 8;
    }
  };
  const auto grow = [&] {
    ++next;
    if (next > (1u << width) && width < 12) ++width;
  };
  put(clear);
  if (!indices.empty()) {
    std::uint32_t prefix = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
      const std::uint32_t key = prefix << 8 | indices[i];
      if (const auto it = dict.find(key); it != dict.end()) {
        prefix = it->second;
        continue;
      }
      put(prefix);
      dict.emplace(key, next);
      grow();
      if (next == 4096) {
        put(clear);
        dict.clear();
        next = eoi + 1;
        width = codeSize + 1;
      }
      prefix = indices[i];
    }
    put(prefix);
    grow();
  }
  put(eoi);
  if (bits > 0) data.push_back(static_cast<std::uint8_t>(acc));
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, data.size() - at);
    bytes_.push_back(static_cast<std::uint8_t>(n));
    bytes_.insert(bytes_.end(), data.begin() + at, data.begin() + at + n);
  }
  bytes_.push_back(0);
  return *this;
}

std::vector<std::uint8_t> GifBuilder::Finish() const {
  std::vector<std::uint8_t> out = bytes_;
  out.push_back(0x3B);
  return out;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}

std::vector<item::ItemRecord> EveryKindProgram(const std::string& dir) {
  const Rgb colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}};
  const std::string bmp = dir + "/사진.bmp", gif = dir + "/movie.gif";
  WriteFile(bmp, MakeBmp24(13, 7, [&](int x, int y) { return colours[(x + y / 2) % 4]; }));
  GifBuilder movie(11, 5, {colours[0], colours[1], colours[2], colours[3]});
  for (int k = 0; k < 3; ++k) {
    std::vector<std::uint8_t> dots(55);
    for (std::size_t i = 0; i < dots.size(); ++i)
      dots[i] = static_cast<std::uint8_t>((i * 7 + static_cast<std::size_t>(k)) % 4);
    movie.Gce(10, 0).Image(0, 0, 11, 5, dots);
  }
  WriteFile(gif, movie.Finish());

  std::vector<item::ItemRecord> list;
  for (int k = 0; k < item::kItemKindCount; ++k) {
    const bool picture = k == 3 || k == 4;
    item::ItemRecord r;
    r.header.setKind(static_cast<item::ItemKind>(k));
    for (int at : {1, 2, 3, 6, 11, 13, 25, 27})
      r.header[at] = static_cast<std::uint8_t>(k + at % 5);
    if (k != 5 && k != 7) {
      const std::string a = *text::Utf8ToCp949(picture ? (k == 3 ? bmp : gif)
                                                       : "항목 " + std::to_string(k) + " 가나다");
      text::WriteTextQuarter(r.body.textA, a);
      for (std::size_t i = 0; !picture && i < a.size(); ++i)
        r.body.attrA[i] = static_cast<std::uint8_t>(0x44 * (i % 3));
    }
    if (k == 1 || k == 2) {
      text::WriteTextQuarter(r.body.textB, "second line");
      r.body.attrB.fill(0x90);
    }
    if (picture) {
      r.header.set16(item::hdr::kPictureWidth, k == 3 ? 13 : 11);
      r.header.set16(item::hdr::kPictureHeight, k == 3 ? 7 : 5);
      r.header[item::hdr::kFrames] = k == 4 ? 3 : 0;
    }
    list.push_back(r);
  }
  return list;
}

}  // namespace encode_test
