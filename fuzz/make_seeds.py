#!/usr/bin/python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/NAME/ (checked in, small).

    fuzz/make_seeds.py [DOTWRIGHT_CLI]

Canvas seeds are files dotwright-cli writes (a new canvas, the same after a stroke script),
plus true-colour and 1-bit files and damaged copies; the other seeds are written here in the
formats the program writes them, with a few damaged ones beside.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    folder = os.path.join(ROOT, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, depth, colour_type, rows, extra=b""):
    raw = b"".join(b"\0" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0))
            + extra + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def canvas_seeds(cli):
    with tempfile.TemporaryDirectory() as tmp:
        blank = os.path.join(tmp, "blank.png")
        subprocess.run([cli, "new", "24", "20", blank], check=True)  # 16 IDAT chunks: the parallel decoder
        script = os.path.join(tmp, "s.txt")
        with open(script, "w") as f:
            f.write("pen KindOfPen=0 Size=5 EnablePalette=0\nlayer 2\ndown 3 3 1\nmove 20 15 1\nup 20 15\n")
        drawn = os.path.join(tmp, "drawn.png")
        subprocess.run([cli, "replay", blank, script, drawn], check=True)
        small = os.path.join(tmp, "small.png")
        subprocess.run([cli, "new", "5", "3", small], check=True)  # one IDAT per row, fewer than 8
        files = {n: open(os.path.join(tmp, n), "rb").read() for n in ("blank.png", "drawn.png", "small.png")}
    for name, data in files.items():
        put("canvas_png", name, data)
    drawn = files["drawn.png"]
    put("canvas_png", "truncated.png", drawn[: len(drawn) // 2])
    put("canvas_png", "bad-crc.png", drawn[:40] + bytes([drawn[40] ^ 1]) + drawn[41:])
    put("canvas_png", "rgb.png", png(3, 2, 8, 2, [bytes(range(9)), bytes(range(9, 18))]))
    put("canvas_png", "rgba.png", png(2, 2, 8, 6, [bytes(range(8)), bytes(range(8, 16))]))
    put("canvas_png", "one-bit.png", png(9, 2, 1, 0, [b"\xa5\x80", b"\x5a\x00"]))
    put("canvas_png", "grey.png", png(2, 2, 8, 0, [b"\x00\xff", b"\x80\x40"]))
    text = chunk(b"tEXt", b"Description\0" + b"1,0,255,0,0,0,255\n" * 9)
    put("canvas_png", "palette-layers.png",
        png(2, 2, 8, 3, [b"\x00\x01", b"\x01\x00"], chunk(b"PLTE", b"\xff\x00\x00\x00\xff\x00") + text))


def bmp(bits, width, height, pixels, colours=b"", header_size=40, compression=0, masks=b""):
    if header_size == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, bits, compression, len(pixels), 0, 0,
                           len(colours) // 4, 0) + b"\0" * (header_size - 40)
    offset = 14 + len(info) + len(masks) + len(colours)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + masks + colours + pixels


def bmp_seeds():
    grey2 = b"\0\0\0\0\xff\xff\xff\0"
    put("bmp", "1bit.bmp", bmp(1, 9, 2, b"\xa5\x80\0\0\x5a\x00\0\0", grey2))
    put("bmp", "4bit.bmp", bmp(4, 3, 2, b"\x01\x20\0\0\x30\x10\0\0", grey2 * 2))
    put("bmp", "8bit-topdown.bmp", bmp(8, 3, -2, b"\x00\x01\x00\0\x01\x00\x01\0", grey2))
    put("bmp", "24bit.bmp", bmp(24, 2, 2, bytes(range(6)) + b"\0\0" + bytes(range(6, 12)) + b"\0\0"))
    put("bmp", "32bit.bmp", bmp(32, 2, 1, bytes(range(8))))
    put("bmp", "32bit-fields.bmp", bmp(32, 1, 1, b"\x10\x20\x30\x40", compression=3,
                                       masks=struct.pack("<III", 0xFF0000, 0xFF00, 0xFF)))
    put("bmp", "core.bmp", bmp(8, 2, 1, b"\x00\x01\0\0", header_size=12)[:26] + b"\0\0\0\xff\xff\xff\x00\x01\0\0")
    put("bmp", "v5.bmp", bmp(24, 1, 1, b"\x01\x02\x03\0", header_size=124))
    put("bmp", "rle8.bmp", bmp(8, 2, 1, b"\x02\x01\x00\x01", grey2, compression=1))
    put("bmp", "truncated.bmp", bmp(24, 4, 4, bytes(48))[:60])


SETTINGS = "\ufeff[config]\r\nshowCmd=0x1\r\nCorrectionStrength=3\r\nPen0Name=pencil\r\nPen0KindOfPen=6\r\n" \
           "Pen0Size=215\r\nPen0Hardness=50\r\nPen2KindOfPen=19\r\nPen2Interval=250\r\nPen2StampFileName=star.bmp\r\n" \
           "numPenSetting=2\r\nnewcanvassize=1006\r\nnewcanvascx=16000\r\nbgcolor=0xffffff\r\nUIScaling=150\r\n" \
           "RecoveryInterval=120\r\nVersion=10700\r\n[key]\r\n09004E=9C41\r\n09005A=9CA5\r\n010124=AFC9\r\n"


def text_seeds():
    put("settings", "typical.ini", SETTINGS)
    put("settings", "absurd.ini", "\ufeff[config]\r\nPen0Size=2147483648\r\nPen1Hardness=-2147483648\r\n"
        "numPenSetting=-1\r\nRecoveryInterval=nan\r\nnewcanvascx=1e308\r\nUIScaling=0xffffffff\r\n")
    put("settings", "no-mark.ini", "[config]\r\nCorrectionStrength=9\r\n")
    put("key_binding", "bindings.txt", "09004E=9C41\n09005A=9CA5\n010124=AFC9\n05007A=9C45\n")
    put("key_binding", "junk.txt", "junk=junk\n=\n09005A\n0x09005A=9C45\n" + "0" * 300 + "=9C45\n")
    put("pen_xml", "pen.txt", "C:\\Users\\a\\Pictures\nname=pencil\nkindOfPen=6\nsize=215\nhardness=50\n"
        "fStamp=1\nstampFileName=C:\\Users\\a\\Pictures\\stamp\\star.bmp\ntextureFileName=tone_50.bmp\n"
        "textureOffsetX=-3\n")
    put("pen_xml", "absurd.txt", "x\nsize=99999999999999999999\nhardness=-2147483649\ndispersal=0xFFFFFFFF\n"
        "name=" + "\u7d75" * 40 + "\nstampFileName=%USERPROFILE%\\\\a.bmp\n")
    put("layer_table", "default.txt", "1,0,0,0,0,0,255\n1,1,13387591,1,0,0,255\n" * 4 + "1,0,16777215,8,0,0,255\n")
    put("layer_table", "absurd.txt", "9999999999999999999,-9999999999999999999,-1,12,,x,65535\n\n1,2")
    put("stroke_script", "strokes.txt", "pen KindOfPen=0 Size=8 EnablePalette=0\nlayer 1\ndown 10 10 0.5\n"
        "move 60 40 1\nup 60 40\nundo\nredo\nselect 5\ndown 5 5 1 900 300\nmove 30 20 0.7 1800 -300\nup 30 20\n"
        "clear\n")
    put("stroke_script", "selection.txt", "pen KindOfPen=15\ndown 5 5 1\nmove 30 5 1\nmove 30 30 1\nup 5 30\n"
        "drop 4 -3\npen KindOfPen=19 Stamp=0 Size=20 Interval=50 Dispersal=30\ndown 1 1 1\nmove 63 47 1\nup 63 47\n")
    put("stroke_script", "far.txt", "pen KindOfPen=6 Size=1000\ndown 1e8 -1e8 2\nmove nan 1 1\nup 1 1\n"
        "maxpressure 0\ncorrection 99\nlayerset 9 visible=2\n")
    put("psd", "small.bin", bytes(range(0, 256, 3)))
    put("psd", "zeros.bin", bytes(64))
    put("packbits", "runs.bin", b"\x01" * 300 + b"\x01\x02\x01\x02\x02\x03" + bytes(range(140)))


if __name__ == "__main__":
    cli = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "..", "build", "native", "bin", "dotwright-cli")
    canvas_seeds(cli)
    bmp_seeds()
    text_seeds()
