#!/usr/bin/python3
"""Writes picture files with independent encoders (Pillow, ImageMagick,
cjpeg/djpeg) into the folder given as the first argument, with the pixels
each file holds as raw top-down RGB (.rgb) or RGBA (.rgba) next to them."""
import os
import subprocess
import sys

from PIL import Image

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
CONVERT = "/usr/bin/convert"


def path(name):
    return os.path.join(out, name)


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def raw(name, image, mode="RGB"):
    with open(path(name), "wb") as f:
        f.write(image.convert(mode).tobytes())


# Full-colour picture, 37 x 23 (odd width: BMP rows need padding).
rgb = Image.new("RGB", (37, 23))
rgb.putdata([((x * 7 + y * 3) % 256, (x * x + y * 5) % 256, (x * y * 3 + 11) % 256)
             for y in range(23) for x in range(37)])
raw("rgb.rgb", rgb)
rgb.save(path("rgb.ppm"))
rgb.save(path("pil_24.bmp"))
rgb.convert("RGBA").save(path("pil_32.bmp"))
run(CONVERT, path("rgb.ppm"), "BMP3:" + path("im_24.bmp"))

# 256-colour palette picture, 29 x 17.
pal = Image.new("P", (29, 17))
pal.putpalette([(i * 3 + c * 85) % 256 for i in range(256) for c in range(3)])
pal.putdata([(x * 3 + y * 5) % 256 for y in range(17) for x in range(29)])
raw("pal.rgb", pal)
pal.save(path("pil_8.bmp"))
pal.save(path("pil_8.pcx"))
pal.save(path("pil.gif"), interlace=0)
pal.save(path("pil_interlaced.gif"), interlace=1)
pal.save(path("pal.png"))
run(CONVERT, path("pal.png"), path("im_8.pcx"))
run(CONVERT, path("pal.png"), "-interlace", "GIF", path("im_interlaced.gif"))

# 16-colour picture, 13 x 9: ImageMagick writes it with 4 bits per pixel.
p16 = Image.new("P", (13, 9))
p16.putpalette([(i * 16 + c * 40) % 256 for i in range(16) for c in range(3)] + [0] * (240 * 3))
p16.putdata([(x + 2 * y) % 16 for y in range(9) for x in range(13)])
raw("p16.rgb", p16)
p16.save(path("p16.png"))
run(CONVERT, path("p16.png"), "-compress", "none", "-colors", "16", "BMP3:" + path("im_4.bmp"))
run(CONVERT, path("p16.png"), "BMP3:" + path("im_rle8.bmp"))  # run-length compressed

# Two-tone picture, 29 x 11.
mono = Image.new("1", (29, 11))
mono.putdata([255 if (x + y) % 3 == 0 or x == 28 else 0 for y in range(11) for x in range(29)])
raw("mono.rgb", mono)
mono.save(path("pil_1.bmp"))
mono.save(path("pil_1.pcx"))
run(CONVERT, path("pil_1.bmp"), "BMP3:" + path("im_1.bmp"))
run(CONVERT, path("pil_1.bmp"), path("im_1.pcx"))
# That encoder stores this picture with its tones swapped; another decoder's
# reading of the file is the reference.
raw("im_1_pcx.rgb", Image.open(path("im_1.pcx")))

# Animation: two frames with different palettes, the second only 5 x 4.
f1 = Image.new("P", (12, 8))
f1.putpalette([10, 20, 30, 200, 100, 50] + [0] * 762)
f1.putdata([(x + y) % 2 for y in range(8) for x in range(12)])
f2 = Image.new("P", (12, 8))
f2.putpalette([1, 2, 3, 250, 240, 230, 90, 80, 70] + [0] * 759)
f2.putdata([(x * y) % 3 for y in range(8) for x in range(12)])
f1.save(path("anim.gif"), save_all=True, append_images=[f2], duration=[70, 120], loop=0,
        interlace=0, optimize=False)
raw("anim1.rgb", f1)
raw("anim2.rgb", f2)

# PNG with alpha, 19 x 13.
rgba = Image.new("RGBA", (19, 13))
rgba.putdata([((x * 13) % 256, (y * 19) % 256, (x * y) % 256, (x * 29 + y * 7) % 256)
              for y in range(13) for x in range(19)])
raw("rgba.rgba", rgba, "RGBA")
rgba.save(path("pil_rgba.png"))

# JPEG: colour, grey and progressive from cjpeg, decoded by djpeg for reference.
run("cjpeg", "-quality", "90", "-outfile", path("cj.jpg"), path("rgb.ppm"))
run("djpeg", "-pnm", "-outfile", path("cj.ppm"), path("cj.jpg"))
run("cjpeg", "-grayscale", "-quality", "90", "-outfile", path("cj_grey.jpg"), path("rgb.ppm"))
run("djpeg", "-pnm", "-outfile", path("cj_grey.pgm"), path("cj_grey.jpg"))
run("cjpeg", "-progressive", "-quality", "85", "-outfile", path("cj_prog.jpg"), path("rgb.ppm"))
run("djpeg", "-pnm", "-outfile", path("cj_prog.ppm"), path("cj_prog.jpg"))

# CMYK JPEGs as print workflows write them (Adobe marker, inverted values).
flat = Image.new("RGB", (16, 16))
flat.putdata([(200, 40, 90) if x < 8 else (30, 160, 220) for y in range(16) for x in range(16)])
flat.save(path("flat.ppm"))
raw("flat.rgb", flat)
flat.convert("CMYK").save(path("pil_cmyk.jpg"), quality=98)
run(CONVERT, path("flat.ppm"), "-colorspace", "CMYK", "-quality", "98", path("im_cmyk.jpg"))

# Icons: DIB entries of 48, 32 and 16 pixels; PNG entries of 16, 32 and 48.
run(CONVERT, path("pal.png"), "-define", "icon:auto-resize=48,32,16", path("im.ico"))
rgba.resize((48, 48)).save(path("pil.ico"), sizes=[(16, 16), (32, 32), (48, 48)])
