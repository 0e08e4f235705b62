#!/usr/bin/env python3
"""Writes the committed seed corpora under fuzz/corpus/<target>/, and the
inputs of faults the fuzzers found under fuzz/regressions/<target>/.

Each seed is a small, meaningful input in the layout its harness reads, so a
short fuzz run starts from every case worth reaching. Run it again after
changing a harness's layout; libFuzzer finds the rest.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data, kind="corpus"):
    folder = os.path.join(HERE, kind, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# --- tga_loader: whole files -------------------------------------------------
def tga(width, height, bits, image_type=3, color_map=0, descriptor=0, pixels=None):
    header = struct.pack("<BBB5sHHHHBB", 0, color_map, image_type, b"\0" * 5, 0, 0,
                         width, height, bits, descriptor)
    if pixels is None:
        pixels = bytes((i * 37) & 0xFF for i in range(width * height * bits // 8))
    return header + pixels


def tga_seeds():
    write("tga_loader", "grey_2x2", tga(2, 2, 8))
    write("tga_loader", "grey_16x16", tga(16, 16, 8))
    write("tga_loader", "rgb_4x2", tga(4, 2, 24, image_type=2))
    write("tga_loader", "rgba_2x4", tga(2, 4, 32, image_type=2))
    write("tga_loader", "grey_top_down", tga(4, 4, 8, descriptor=0x20))
    write("tga_loader", "rgb_as_type3", tga(2, 2, 24, image_type=3))
    write("tga_loader", "short_pixels", tga(16, 16, 8)[:18 + 100])
    write("tga_loader", "header_only", tga(2, 2, 8)[:18])
    write("tga_loader", "ten_bytes", tga(2, 2, 8)[:10])
    write("tga_loader", "colour_mapped", tga(2, 2, 8, color_map=1))
    write("tga_loader", "run_length", tga(2, 2, 8, image_type=10))
    write("tga_loader", "wide_1024", tga(1024, 2, 8, pixels=b""))
    write("tga_loader", "depth_16", tga(2, 2, 16, image_type=2))
    write("tga_loader", "big_512_header", tga(512, 512, 32, pixels=b"\xff" * 64))


# --- text_layout: see text_layout_fuzz.cpp for the order ----------------------
LIMIT = 1 << 17


def number(value, low=-LIMIT):
    return struct.pack(">I", 0) + struct.pack("<I", value - low)


def text_seed(text, mode=0, size=12, x=10, y=20, style=0, clip=None, color=None,
              gl=b"\0" * 10, viewport=(0, 0, 634, 458)):
    data = bytes([mode]) + gl + bytes([style | (4 if clip else 0) | (8 if color else 0)])
    data += number(size)
    if clip:
        data += b"".join(number(v) for v in clip)
    if color:
        data += bytes(color)
    data += number(x) + number(y) + b"".join(number(v) for v in viewport)
    return data + text


def text_seeds():
    lit_scene = bytes([0, 1, 1, 0, 0, 1, 1, 2, 3, 0])
    write("text_layout", "two_letters", text_seed(b"AB"))
    write("text_layout", "newline", text_seed(b"a\nb", size=10, x=10, y=100))
    write("text_layout", "tab", text_seed(b"a\tb", size=10, x=0, y=100))
    write("text_layout", "bold", text_seed(b"\\b+X\\b-Y", size=10, x=0))
    write("text_layout", "italic", text_seed(b"\\i+X"))
    write("text_layout", "colour", text_seed(b"\\c(255 0 0)red", gl=lit_scene))
    write("text_layout", "alpha", text_seed(b"\\a(10 20 30 40)x", style=3))
    write("text_layout", "colour_word", text_seed(b"\\c(255 0 0 word)x"))
    write("text_layout", "colour_unclosed", text_seed(b"\\c(1 2 3"))
    write("text_layout", "colour_short", text_seed(b"\\c(1 2"))
    write("text_layout", "not_escapes", text_seed(b"\\x\\d\\\\\\B"))
    write("text_layout", "trailing_backslash", text_seed(b"end\\"))
    write("text_layout", "latin1", text_seed(b"caf\xe9 \x01\x1f"))
    write("text_layout", "long", text_seed(b"A" * 1100, size=1))
    write("text_layout", "clip", text_seed(b"x" * 21, size=10, clip=(100, 200, 50, 40)))
    write("text_layout", "panel_line", text_seed(b"song.mp3", mode=1, size=10, x=50, y=420,
                                                 color=(255, 255, 128, 255)))
    write("text_layout", "layout_small_viewport",
          text_seed(b"abc\n\tdef", mode=2, viewport=(0, 0, 20, 20)))
    write("text_layout", "shadow_gradient", text_seed(b"\\b+sg", style=3, size=30))
    write("text_layout", "negative_size", text_seed(b"neg\n\t", size=-12))
    write("text_layout", "tabs_at_large_size", text_seed(b"\t" * 600 + b"x", size=2080),
          "regressions")


# --- playlist_panel: see playlist_panel_fuzz.cpp ---------------------------
LENGTHS = [-(1 << 31), -1000, -1, 0, 1, 2, 3, 24, 25, 26, 30, 100, 1000, (1 << 31) - 1]
POSITIONS = [-(1 << 31), -(1 << 31) + 1, -6, -1, 0, 3, 5, 12, 24, 25, 99, 100, 4000,
             (1 << 31) - 26, (1 << 31) - 6, (1 << 31) - 1]
REFRESH, SET_CURRENT, DRAW, CLICK, SCROLL_UP, SCROLL_DOWN, TOGGLE, REBUILD = range(8)


def length(n):
    return bytes([1, LENGTHS.index(n)]) if n in LENGTHS else bytes([0]) + number(n, -100)


def path(kind, extra=b""):
    return bytes([kind]) + extra


def normal_path(name):
    return path(5, name + b"\0")


def position(p):
    return bytes([SET_CURRENT, 1, POSITIONS.index(p)]) if p in POSITIONS else \
        bytes([SET_CURRENT, 0]) + struct.pack("<i", p)


def click(x, y):
    return bytes([CLICK]) + number(x, 0) + number(y, 0)


def playlist(names):
    return length(len(names)) + b"".join(normal_path(n) for n in names)


def panel_seeds():
    three = playlist([b"a.mp3", b"b.mp3", b"c.mp3"])
    write("playlist_panel", "three_titles", b"\1" + three + position(1) + bytes([DRAW]) +
          click(200, 34) + bytes([REFRESH]))
    many = length(100) + b"".join(path(k % 7, b"\x05name\0") for k in range(100))
    write("playlist_panel", "hundred_titles", b"\1" + many + position(12) +
          bytes([SCROLL_DOWN] * 16 + [SCROLL_UP, DRAW]) + click(0, 419))
    write("playlist_panel", "odd_paths", b"\0" + length(7) + path(0) + path(1) + path(2) +
          path(3, b"\x07") + path(4) + path(5, b"x" * 60 + b"\0") + path(6, b"no_backslash\0") +
          bytes([DRAW, REFRESH]) + length(2) + path(2) + path(0) + bytes([DRAW]))
    write("playlist_panel", "negative_length", b"\1" + length(-1) + bytes([DRAW]) + click(5, 30) +
          bytes([REFRESH]) + length(-(1 << 31)))
    write("playlist_panel", "far_positions", b"\1" + three + position((1 << 31) - 1) +
          click(200, 400) + bytes([SCROLL_DOWN]) + position(-(1 << 31)) + bytes([DRAW]) +
          position((1 << 31) - 6) + bytes([SCROLL_UP, DRAW]), "regressions")
    write("playlist_panel", "shrinks_to_empty", b"\1" + three + position(2) + bytes([REFRESH]) +
          length(0) + bytes([DRAW, REFRESH]) + length(0) + click(200, 21))
    write("playlist_panel", "rebuild_and_toggle", b"\0" + three + bytes([TOGGLE, DRAW, REBUILD]) +
          playlist([b"d"]) + bytes([DRAW, TOGGLE, DRAW]))
    write("playlist_panel", "huge_length", b"\1" + length((1 << 31) - 1) + bytes([DRAW]),
          "regressions")


# --- vis_file: whole files ---------------------------------------------------
MAGIC = b"ZDVIS\r\n\x1a"


def vis(frames, count=None, version=1, magic=MAGIC):
    count = frames if count is None else count
    body = bytes((i * 7) & 0xFF for i in range(frames * 1152))
    return magic + struct.pack("<II", version, count) + body


def vis_seeds():
    write("vis_file", "empty_recording", vis(0))
    write("vis_file", "one_frame", vis(1))
    write("vis_file", "truncated", vis(1)[:-10])
    write("vis_file", "trailing_bytes", vis(1) + b"\0\0\0")
    write("vis_file", "count_too_high", vis(1, count=0xFFFFFFFF))
    write("vis_file", "bad_magic", vis(0, magic=b"ZDVIS\n\x1a\0"))
    write("vis_file", "bad_version", vis(0, version=2))
    write("vis_file", "short_header", MAGIC + b"\1\0")


# --- key_script: first byte picks command line (odd) or each line alone ----
def key_seeds():
    write("key_script", "keys_each", b"\0" + b"\n".join(
        [b"5s:B", b"10s:UP:0.6s", b"250ms:f2", b"1.5:LEFT", b"0:H:2s", b"5s:Q", b"x:B"]))
    write("key_script", "clicks_each", b"\0" + b"\n".join(
        [b"12s:300,51", b"0:0,0", b"1:65535,65535", b"1:65536,0", b"1:-1,2", b"1:2"]))
    write("key_script", "times_each", b"\0" + b"\n".join(
        [b"5", b"2.5s", b"250ms", b".5", b"1e3", b"inf", b"nan", b"-1", b"99999999999999"]))
    write("key_script", "command_line", b"\1" + b"\n".join(
        [b"-o", b"out.mp4", b"--key", b"5s:B", b"--key", b"1s:UP:1s", b"--click", b"2s:200,30",
         b"--vis-in", b"in.vis", b"--duration", b"10"]))
    write("key_script", "day_long_hold", b"\0" + b"1s:UP:86400s", "regressions")
    write("key_script", "command_line_bad", b"\1" + b"\n".join(
        [b"-o", b"out.mp4", b"--key"]))


if __name__ == "__main__":
    tga_seeds()
    text_seeds()
    panel_seeds()
    vis_seeds()
    key_seeds()
