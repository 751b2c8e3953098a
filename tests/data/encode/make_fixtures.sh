#!/usr/bin/env bash
# Writes the picture fixtures with ImageMagick, an encoder independent of ours. The
# patterns are the ones tests/encode/test_fixtures.cpp computes its expected planes from.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

python3 - "$tmp" <<'PY'
import sys
out = sys.argv[1]
rich = [(r, g, b) for r in (0, 100, 101, 255) for g in (0, 100, 101, 255) for b in (0, 77)]
eight = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (255, 255, 0), (255, 255, 255), (0, 0, 255),
         (60, 60, 60), (200, 80, 20)]
two = [(0, 0, 0), (255, 0, 0)]
def ppm(name, w, h, colour):
    with open(f"{out}/{name}.ppm", "wb") as f:
        f.write(b"P6 %d %d 255\n" % (w, h))
        for y in range(h):
            for x in range(w):
                f.write(bytes(colour(x, y)))
ppm("rich", 13, 5, lambda x, y: rich[(7 * x + 3 * y) % 32])
ppm("eight", 13, 5, lambda x, y: eight[(x + 3 * y) % 8])
ppm("two", 13, 5, lambda x, y: two[(x + y) % 2])
# Animation frames: a full first frame, a partly transparent one (black = transparent),
# a small pure green one.
ppm("f0", 16, 8, lambda x, y: eight[(x + 3 * y) % 8])
ppm("f1", 8, 4, lambda x, y: (255, 0, 0) if (x + y) % 2 else (0, 0, 0))
ppm("f2", 4, 4, lambda x, y: (0, 255, 0))
ppm("half", 8, 8, lambda x, y: eight[(x + 3 * y) % 8])
PY

convert "$tmp/rich.ppm" BMP3:magick_rich24.bmp
convert "$tmp/rich.ppm" +dither -type Palette -compress None BMP3:magick_rich8.bmp
convert "$tmp/rich.ppm" +dither -type Palette -compress RLE BMP3:magick_rich8rle.bmp
convert "$tmp/eight.ppm" +dither -type Palette BMP3:magick_eight4.bmp
convert "$tmp/two.ppm" +dither -type Palette BMP3:magick_two1.bmp
convert "$tmp/eight.ppm" -define bmp:subtype=RGB555 BMP:magick_eight16.bmp
convert "$tmp/rich.ppm" -alpha on BMP:magick_rich32v5.bmp
convert "$tmp/rich.ppm" -type TrueColor BMP:magick_rich24v5.bmp
convert -dispose none -delay 10 "$tmp/f0.ppm" \
  \( "$tmp/f1.ppm" -transparent black -repage +4+2 \) \
  \( "$tmp/f2.ppm" -repage +12+4 \) -set page 16x8 magick_three.gif
convert "$tmp/half.ppm" -repage 16x8+0+0 magick_half.gif
