"""Writes test pictures with Pillow, an encoder independent of the code under test.

usage: make_sample.py KIND IN.ppm OUT
"""
import sys

import struct

from PIL import Image, PngImagePlugin


def main():
    kind, source, out = sys.argv[1:4]
    image = Image.open(source).convert("RGB")
    if kind == "bmp":
        image.save(out, "BMP")
    elif kind == "png-rgb":
        image.save(out, "PNG")
    elif kind == "png-rgba":
        rgba = image.convert("RGBA")
        # Alpha varies by column so that a misplaced alpha byte shows.
        alpha = Image.new("L", image.size)
        alpha.putdata([(x * 40) % 256 for y in range(image.height) for x in range(image.width)])
        rgba.putalpha(alpha)
        rgba.save(out, "PNG")
    elif kind == "png-grey":
        image.convert("L").save(out, "PNG")
    elif kind == "png-grey-alpha":
        image.convert("LA").save(out, "PNG")
    elif kind == "png-bilevel":
        image.convert("L").point(lambda v: 255 if v >= 128 else 0).convert("1").save(out, "PNG")
    elif kind == "png-grey16":
        image.convert("I").point(lambda v: v * 257).save(out, "PNG")
    elif kind in ("png-palette", "png-palette4"):
        colours = 16 if kind == "png-palette4" else 256
        paletted = image.quantize(colors=colours)
        paletted.save(out, "PNG", bits=4 if colours == 16 else 8)
    elif kind == "pcx-rgb":
        image.save(out, "PCX")
    elif kind == "pcx-palette":
        image.quantize(colors=256).save(out, "PCX")
    elif kind == "tiff-palette":
        image.quantize(colors=256).save(out, "TIFF")
    elif kind == "tiff-rgb":
        image.save(out, "TIFF")
    elif kind == "tiff-grey":
        image.convert("L").save(out, "TIFF")
    elif kind in ("png-gamma1", "png-gamma1-srgb"):
        info = PngImagePlugin.PngInfo()
        info.add(b"gAMA", struct.pack(">I", 100000))  # gamma 1.0
        if kind == "png-gamma1-srgb":
            info.add(b"sRGB", b"\x00")
        image.save(out, "PNG", pnginfo=info)
    elif kind == "decode":
        # Pillow's own reading of any file, as plain colours to compare with.
        image.save(out, "PPM")
    else:
        sys.exit("unknown kind " + kind)


main()
