// Feeds arbitrary pens, positions and CP949 bytes to the font drawing and measuring, with
// the test fonts, so every clipping path touches only the frame it is given.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sign/font_set.h"
#include "tests/support/test_fonts.h"

using namespace sign;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FontSet* fonts = &sign_test::TestFonts();
  if (size < 6) return 0;
  static FrameBuffer frame;
  FontPen pen;
  pen.target = &frame;
  pen.size = (data[0] & 1) ? 32 : 16;
  pen.style = data[0] >> 1;  // out-of-range styles too
  pen.displayWidth = static_cast<std::int16_t>(data[1] << 8 | data[2]);
  pen.fore = data[3];
  pen.back = data[4];
  int x = static_cast<std::int8_t>(data[5]) * 9;
  const int y = static_cast<std::int8_t>(data[5]) % 40;

  const std::string_view text(reinterpret_cast<const char*>(data + 6), size - 6);
  const int width = MeasureText(text, pen.size);
  if (width < 0) std::abort();

  // Walk the text as the playback engine does: two bytes for a lead byte, one otherwise.
  int advanced = 0;
  for (std::size_t i = 0; i < text.size() && text[i] != '\0';) {
    std::uint16_t code = static_cast<std::uint8_t>(text[i]);
    std::size_t n = 1;
    if ((code & 0x80) && i + 1 < text.size() && text[i + 1] != '\0') {
      code = static_cast<std::uint16_t>(code << 8 | static_cast<std::uint8_t>(text[i + 1]));
      n = 2;
    } else if (code & 0x80) {
      code = static_cast<std::uint16_t>(code << 8);  // lone lead byte: a two-byte blank
    }
    const int step = fonts->DrawChar(pen, x, y, code);
    x += step;
    advanced += step;
    i += n;
  }
  // Drawing and measuring must agree on how far the text reaches.
  if (advanced != width) std::abort();
  return 0;
}
