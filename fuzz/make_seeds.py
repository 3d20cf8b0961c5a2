#!/usr/bin/env python3
"""Writes the generated seed inputs of the fuzz targets into corpus/<target>.

Run from anywhere: python3 fuzz/make_seeds.py. Seeds found by fuzzing (crash
and hang reproducers) are kept in the same folders under names of their own
and are not touched here. The acq_control_fuzz seeds are call sequences
encoded the way the target decodes them (FuzzedDataProvider: integers from
the end of the input, byte runs and texts from the front).
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---- BMP files --------------------------------------------------------------------

def bmp(width, height, bits=24, pixels=None, offset=54, file_size=None, colours_used=0, info_size=40,
        truncate=None, compression=0):
    row = width * 3
    if pixels is None:
        pixels = bytes((x * 7 + y * 13 + c * 50) % 256 if (x + y) % 3 else 0
                       for y in range(abs(height)) for x in range(width) for c in range(3))
    body = pixels
    size = 54 + len(body) if file_size is None else file_size
    header = b"BM" + struct.pack("<IHHI", size, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, 1, bits, compression, (row * abs(height)) & 0xFFFFFFFF, 2835,
                       2835, colours_used, 0)
    data = header + info + body
    return data if truncate is None else data[:truncate]


def bmp_input(overlay, alpha, h=1, v=1, flags=0, fmt=1, percent=100.0, width=64, height=48, slack=0, seed=0):
    settings = bytes([h, v, flags, fmt]) + struct.pack("<f", percent)
    settings += struct.pack("<HH", (width - 1) & 0x1FF, (height - 1) & 0x1FF) + bytes([slack & 0xFF, seed, 0, 0])
    return settings + struct.pack("<I", len(overlay)) + overlay + alpha


def bmp_seeds():
    t = "bmp_reader_fuzz"
    small = bmp(8, 4)
    alpha = bmp(8, 4, pixels=bytes((i * 11) % 256 for i in range(8 * 4 * 3)))
    write(t, "opaque_centre", bmp_input(small, b"", fmt=1))
    write(t, "constant_alpha", bmp_input(small, b"", flags=1, percent=40.0, fmt=2))
    write(t, "alpha_bitmap", bmp_input(small, alpha, flags=3, fmt=1, h=2, v=0))
    write(t, "alpha_first", bmp_input(small, alpha, flags=7, fmt=0, h=0, v=2))
    write(t, "alpha_other_size", bmp_input(small, bmp(4, 4), flags=3))
    write(t, "grey_pixels_blend", bmp_input(small, alpha, flags=1, fmt=0, percent=55.5))
    write(t, "overlay_larger_than_image", bmp_input(bmp(32, 16), b"", width=20, height=8, h=1, v=1))
    write(t, "short_buffer", bmp_input(small, b"", width=10, height=10, slack=-5, fmt=2))
    write(t, "percent_above_100", bmp_input(small, b"", flags=1, percent=150.0))
    write(t, "percent_negative", bmp_input(small, b"", flags=1, percent=-20.0))
    write(t, "percent_tiny", bmp_input(small, b"", flags=1, percent=1e-7))
    write(t, "percent_nan", bmp_input(small, b"", flags=1, percent=float("nan")))
    write(t, "unknown_pixel_format", bmp_input(small, b"", fmt=3))
    write(t, "width_30_refused", bmp_input(bmp(30, 2), b""))
    write(t, "eight_bit_refused", bmp_input(bmp(8, 2, bits=8), b""))
    write(t, "top_down_refused", bmp_input(bmp(8, -2), b""))
    write(t, "height_zero", bmp_input(bmp(8, 0, pixels=b""), b""))
    write(t, "lies_about_offset", bmp_input(bmp(8, 2, offset=4000), b""))
    write(t, "lies_about_file_size", bmp_input(bmp(8, 2, file_size=0x7FFFFFFF), b""))
    write(t, "lies_about_palette", bmp_input(bmp(8, 2, colours_used=0xFFFFFFFF), b""))
    write(t, "lies_about_header_size", bmp_input(bmp(8, 2, info_size=124), b""))
    write(t, "compressed_header", bmp_input(bmp(8, 2, compression=1), b""))
    write(t, "huge_size_short_file", bmp_input(bmp(0x40000, 0x40000, pixels=b"\x01" * 48), b""))
    write(t, "truncated_pixels", bmp_input(bmp(16, 8, truncate=54 + 100), b""))
    write(t, "truncated_header", bmp_input(bmp(8, 2, truncate=30), b""))
    write(t, "empty_files", bmp_input(b"", b""))


# ---- settings files -----------------------------------------------------------------

FULL_SETTINGS = """[Camera]
ID=160
[Exposure]
ValuePvw=20.000
ValueAcq=35.500
Locked=0
Value Brightness Target=170.000
Auto Exposure On=0
Frame Rate Index=0
[Global Gain]
ValuePvw=1.500
ValueAcq=2.000
Locked=1
[White Balance]
ValuePvwR=1.200
ValuePvwG=1.000
ValuePvwB=1.800
ValueAcqR=1.200
ValueAcqG=1.000
ValueAcqB=1.800
LockedR=1
LockedG=1
LockedB=1
[Gamma]
ValuePvw=1.000
ValueAcq=1.000
Locked=1
[Hue]
ValuePvw=12
ValueAcq=-3
Locked=0
[Brightness]
ValuePvw=10.000
ValueAcq=0.000
Locked=1
[Saturation]
ValuePvw=5.000
ValueAcq=5.000
Locked=1
[Contrast]
ValuePvw=-20.000
ValueAcq=30.000
Locked=0
[Mirror]
X=1
Y=0
[Image Correction]
Light Source Index=2
Frequency Index=1
[Resolution]
Window Size Index=1
Window Size Width=640
Window Size Height=512
Index=1
Width=640
Height=512
OffsetX=0
OffsetY=0
BinningSubsamplingX=2
BinningSubsamplingY=2
BinningOnX=1
BinningOnY=1
[ResolutionAcq]
Index=0
Width=1280
Height=1024
OffsetX=0
OffsetY=0
BinningSubsamplingX=1
BinningSubsamplingY=1
BinningOnX=0
BinningOnY=0
[Overlay]
UseOverlay=1
OnPreview=1
OnCapture=0
PositionX=2
PositionY=1
FilePath=C:\\overlay.bmp
Alpha Use=1
Alpha Use Value=1
Alpha Value=60.000
Alpha FilePath=C:\\alpha.bmp
"""


def settings_seeds():
    t = "settings_file_fuzz"
    write(t, "empty", b"")
    write(t, "full", FULL_SETTINGS.encode())
    write(t, "full_crlf", FULL_SETTINGS.replace("\n", "\r\n").encode())
    write(t, "other_model", FULL_SETTINGS.replace("ID=160", "ID=145").encode())
    write(t, "hue_fraction", b"[Hue]\nValuePvw=12.7\nValueAcq=-0.9\n")
    write(t, "duplicate_keys", b"[Exposure]\nValuePvw=10\nValuePvw=90\n[Gamma]\nValuePvw=2\n[Exposure]\nValueAcq=7\n")
    write(t, "duplicate_sections_case", b"[exposure]\nvaluepvw=30\n[EXPOSURE]\nVALUEPVW=40\n")
    write(t, "missing_sections", b"ValuePvw=10\nWidth=320\n[]\n=5\n[Resolution\nWidth=99999\n")
    write(t, "unparsable_numbers", ("[Exposure]\nValuePvw=abc\nValueAcq=1e400\nLocked=-\n[Resolution]\n"
                                    "Index=99999999999999999999\nWidth=0x40\nHeight= 12junk\nOffsetX=-\n"
                                    "BinningSubsamplingX=0\n[Gamma]\nValuePvw=nan\nValueAcq=inf\n").encode())
    write(t, "extreme_geometry", ("[Resolution]\nIndex=-5\nWidth=2147483647\nHeight=-2147483648\nOffsetX=2147483647\n"
                                  "OffsetY=-7\nBinningSubsamplingX=65535\nBinningSubsamplingY=-1\n"
                                  "Window Size Index=1000\nWindow Size Width=-1\nWindow Size Height=100000\n"
                                  "[ResolutionAcq]\nIndex=77\nWidth=1\nHeight=1\nOffsetX=5000\n").encode())
    write(t, "extreme_values", ("[Exposure]\nValuePvw=340282346638528859811704183484516925440\nValueAcq=-1e30\n"
                                "[Global Gain]\nValuePvw=-5\n[White Balance]\nValuePvwR=1e38\n"
                                "[Overlay]\nPositionX=-2147483648\nPositionY=3\nAlpha Value=-1e38\n").encode())
    write(t, "long_lines", b"[Exposure]\nValuePvw=" + b"9" * 300 + b"\n" + b"[" + b"S" * 5000 + b"]\n" +
          b"K" * 3000 + b"=1\n[Camera]\nID=" + b"1" * 70 + b"\n")
    write(t, "binary_bytes", b"[Camera]\x00ID=160\n\xff\xfe[Exposure]\nValuePvw=\x0120\r\r\n\t[Mirror] \nX = 1 \n")
    write(t, "no_final_newline", b"[Mirror]\nY=1")
    write(t, "comments_and_blanks", b"; comment\n\n  [Gamma]  \n  ValuePvw = 2.5  \n# not a key\n")


# ---- TIFF files ---------------------------------------------------------------------------

def tiff(width, height, samples=1, bits=8, photometric=1, colormap=False, pixels=None, strip_bytes=None,
         strip_offset=None, big_endian=False, extra_tags=(), rows_per_strip=None):
    e = ">" if big_endian else "<"
    bps = bits // 8
    if pixels is None:
        pixels = bytes((i * 29 + 7) % 256 for i in range(width * height * samples * bps))
    tags = []  # (tag, type, count, value bytes)

    def short(tag, *values):
        tags.append((tag, 3, len(values), b"".join(struct.pack(e + "H", v) for v in values)))

    def long(tag, *values):
        tags.append((tag, 4, len(values), b"".join(struct.pack(e + "I", v) for v in values)))

    long(256, width)
    long(257, height)
    short(258, *([bits] * samples))
    short(259, 1)
    short(262, photometric)
    long(273, 0)  # patched below
    short(277, samples)
    long(278, height if rows_per_strip is None else rows_per_strip)
    long(279, len(pixels) if strip_bytes is None else strip_bytes)
    short(284, 1)
    if colormap:
        short(320, *[(i * 257) for i in range(256)] + [((255 - i) * 257) for i in range(256)] + [0] * 256)
    for tag in extra_tags:
        tags.append(tag)
    tags.sort(key=lambda t: t[0])
    ifd_offset = 8
    ifd_size = 2 + 12 * len(tags) + 4
    data_area = bytearray()
    area_start = ifd_offset + ifd_size
    entries = b""
    pixel_offset_position = None
    for tag, typ, count, value in tags:
        if len(value) <= 4:
            field = value.ljust(4, b"\0")
            if tag == 273:
                pixel_offset_position = len(entries) + 8
        else:
            field = struct.pack(e + "I", area_start + len(data_area))
            data_area += value
        entries += struct.pack(e + "HHI", tag, typ, count) + field
    ifd = struct.pack(e + "H", len(tags)) + entries + struct.pack(e + "I", 0)
    pixel_start = area_start + len(data_area)
    out = bytearray((b"MM\0*" if big_endian else b"II*\0") + struct.pack(e + "I", ifd_offset) + ifd + data_area + pixels)
    offset_value = pixel_start if strip_offset is None else strip_offset
    out[ifd_offset + 2 + pixel_offset_position: ifd_offset + 2 + pixel_offset_position + 4] = \
        struct.pack(e + "I", offset_value)
    return bytes(out)


def tiff_seeds():
    t = "tiff_reader_fuzz"
    write(t, "grey8", tiff(4, 2))
    write(t, "grey8_min_is_white", tiff(5, 3, photometric=0))
    write(t, "rgb8", tiff(4, 3, samples=3, photometric=2))
    write(t, "palette8", tiff(6, 2, photometric=3, colormap=True))
    write(t, "palette_without_colormap", tiff(6, 2, photometric=3))
    write(t, "grey16", tiff(3, 3, bits=16))
    write(t, "rgb16", tiff(2, 2, samples=3, bits=16, photometric=2))
    write(t, "big_endian_grey16", tiff(3, 2, bits=16, big_endian=True))
    write(t, "strip_count_lies", tiff(8, 8, strip_bytes=0x7FFFFFFF))
    write(t, "strip_offset_past_end", tiff(8, 8, strip_offset=0x10000000))
    write(t, "rows_per_strip_zero", tiff(4, 4, rows_per_strip=0))
    write(t, "huge_size_no_pixels", tiff(65535, 65535, pixels=b"\x10" * 16))
    write(t, "width_zero", tiff(0, 4, pixels=b""))
    write(t, "one_bit", tiff(8, 2, bits=1, pixels=b"\xAA\x55"))
    write(t, "cmyk", tiff(2, 2, samples=4, photometric=5))
    write(t, "truncated", tiff(16, 16)[:60])
    write(t, "header_only", b"II*\0\x08\0\0\0")
    write(t, "not_a_tiff", b"P5\n4 2\n255\n" + bytes(8))


# ---- AcqControl call sequences --------------------------------------------------------------

CAMERA_IDS = [160, 145, 421, 32, 64, 30, 999]
CODES = [0, 1, 2, 3, 4, 5, 7, 12, 13, 14, 19, 21, 22, 25, 27, 33, 36, 37, 39, 40, 42, 45, 48, 49, 50, 51, 52, 53,
         54, 55, 63, 65, 66, 67, 69, 72, 73, 74, 84, 85, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97, 98, 102, 105,
         106, 107, 300, 812, 835, 837, 1000, 1001]
QUERY = 0x8000

# Sizes of the records on a 64-bit build.
RECORD_SIZES = {48: 16, 55: 16, 49: 8, 84: 8, 97: 8, 106: 8, 52: 4, 65: 24, 85: 24, 66: 8, 67: 12, 88: 36,
                89: 52, 90: 216, 95: 4, 96: 8, 98: 32, 107: 64}


class Calls:
    """Encodes calls the way FuzzedDataProvider hands them to the target."""

    def __init__(self, camera=160, display=True):
        self.front = bytearray()
        self.back = bytearray()  # back[0] is the input's last byte
        self.pick(CAMERA_IDS, camera)
        self.boolean(display)

    # FuzzedDataProvider primitives
    def in_range(self, lo, hi, value, bits=32):
        span, r = hi - lo, value - lo
        assert 0 <= r <= span
        count, offset = 0, 0
        while offset < bits and (span >> offset) > 0:
            count += 1
            offset += 8
        self.back += r.to_bytes(count, "big") if count else b""

    def integral(self, bits, signed, value):
        lo = -(1 << (bits - 1)) if signed else 0
        self.in_range(lo, lo + (1 << bits) - 1, value, bits)

    def boolean(self, value):
        self.in_range(0, 255, 1 if value else 0, 8)

    def pick(self, values, value):
        self.in_range(0, len(values) - 1, values.index(value), 64)

    def raw(self, data):
        self.front += data

    def text(self, value, max_length):
        self.front += value.replace(b"\\", b"\\\\")
        if len(value) < max_length:
            self.front += b"\\x"

    def data(self):
        return bytes(self.front) + bytes(reversed(self.back))

    # the target's calls
    def op(self, number):
        self.in_range(0, 15, number)

    def window(self, choice):
        self.in_range(0, 4, choice)

    def control(self, code, parameter=0, query=False, record=None, null=False, window=1, value=0,
                fixed_path=True, name=b"", length=None, names=0, as_op=True):
        if as_op:
            self.op(0)
        self.in_range(0, 9, 1)
        self.pick(CODES, code)
        self.boolean(query)
        self.in_range(0, 3, 1)  # no high bits
        if parameter <= 12:
            self.in_range(0, 2, 1)
            self.in_range(0, 12, parameter)
        else:
            self.in_range(0, 2, 0)
            self.integral(16, False, parameter)
        if code == 27:
            self.integral(32, True, value)
            return self
        if code == 33:
            self.window(window)
            return self
        self.in_range(0, 11, 0 if null else 1)
        if null:
            return self
        if code == 25:
            self.in_range(-2, 120, length)
            self.raw(struct.pack("<i", length) + bytes(max(length, 1) * 4 - 4))
        elif code == 39:
            self.raw(bytes(32))
            self.window(window)
        elif code in (54, 69):
            self.in_range(0, 7, 1 if fixed_path else 0)
            if not fixed_path:
                self.text(name, 300)
        elif record is not None:
            self.raw(record)
            for _ in range(names):  # each list entry gets a name buffer
                self.in_range(0, 7, 1)
        return self

    def get_line(self, x0, x1, row=0, buffer=True):
        self.op(7)
        self.in_range(-3000, 3000, x0)
        self.in_range(-3000, 3000, x1)
        self.integral(32, True, row)
        self.in_range(0, 15, 1 if buffer else 0)
        return self

    def get_image_new(self):
        self.op(8)
        self.in_range(0, 5, 0)
        return self

    def get_image_into(self, image_type, width, height):
        self.op(8)
        self.in_range(0, 5, 2)
        self.in_range(0, 10, image_type)
        self.in_range(1, 1500, width)
        self.in_range(1, 1200, height)
        return self

    def add(self, frames, divisor, progress=True, stop_at=0):
        self.op(9)
        self.in_range(0, 3, 0)
        self.in_range(-2, 3, frames)
        self.boolean(True)
        self.in_range(-2, 8, divisor)
        self.integral(32, True, 0)
        self.in_range(0, 4, stop_at)
        self.boolean(progress)
        return self

    def time_lapse(self, count, first, interval, region=None, callback=True, kill_offset=3, kill_phase=2):
        self.op(10)
        self.in_range(-1, 3, count)
        self.integral(32, True, first)
        self.in_range(0, 3600, interval)
        self.boolean(region is not None)
        if region is not None:
            for value in region:
                self.integral(32, True, value)
                self.in_range(0, 31, 0)
        self.in_range(0, 3, kill_offset)
        self.in_range(0, 2, kill_phase)
        self.boolean(callback)
        self.integral(32, True, 7)
        return self

    def pass_through_open(self, x=0, y=0):
        self.op(11)
        self.in_range(0, 2, 0)
        self.integral(32, True, x)
        self.integral(32, True, y)
        return self

    def pass_through_paint(self):
        self.op(11)
        self.in_range(0, 2, 1)
        self.boolean(False)
        self.integral(8, False, 1)
        return self

    def pass_through_close(self):
        self.op(11)
        self.in_range(0, 2, 2)
        return self

    def snap(self):
        self.op(12)
        self.boolean(True)
        return self

    def kill(self):
        self.op(12)
        self.boolean(False)
        return self

    def reopen(self, closed_calls=()):
        self.op(13)
        self.in_range(0, 3, len(closed_calls))
        for call in closed_calls:
            call(self)
        return self

    def pass_time(self, ms):
        self.op(14)
        self.in_range(0, 5000, ms)
        return self


def rect(left, top, right, bottom):
    return struct.pack("<iiii", left, top, right, bottom)


def white_balance(flags, region=(0, 0, 64, 64), gains=(1.0, 1.0, 1.0)):
    return struct.pack("<i", flags) + rect(*region) + bytes(4) + struct.pack("<ddd", *gains) + bytes(4)


def auto_exposure(flags, region=(0, 0, 64, 64), exposure=0.0):
    return struct.pack("<i", flags) + rect(*region) + bytes(4) + struct.pack("<d", exposure) + bytes(4)


def control_seeds():
    t = "acq_control_fuzz"
    # A refused exposure far beyond the range, then a white balance: once a
    # wait of weeks per pass.
    write(t, "exposure_refused_then_white_balance",
          Calls().control(84, 0, record=struct.pack("<d", 1e9))
          .control(89, 0, record=white_balance(2 | 8)).data())
    write(t, "white_balance_gains_and_reset",
          Calls().control(89, 0, record=white_balance(16, gains=(1.5, 1.0, 2.0)))
          .control(89, 0, query=True, record=white_balance(16)).control(89, 0, record=white_balance(1)).data())
    write(t, "auto_exposure_one_shot",
          Calls().control(88, 0, record=auto_exposure(1 | 2 | 8, region=(10, 10, 200, 150)))
          .control(88, 0, query=True, record=auto_exposure(1 | 2 | 8)).data())
    write(t, "snapshot_and_transfers",
          Calls(display=False).control(50, 1).control(51).get_image_new().control(50, 1)
          .get_line(0, 640).get_line(-10, 20).get_line(1270, 1300).data())
    write(t, "snapshot_into_small_host_image",
          Calls().control(50, 1).get_image_into(3, 1000, 80).control(50, 1).get_image_into(1, 7, 1200)
          .control(50, 1).get_image_into(6, 300, 300).data())
    write(t, "capture_rect_then_snapshot",
          Calls().control(48, 1, record=rect(-3, 0, 8, 7)).control(48, 0, record=rect(1, 1, 100, 50))
          .control(55, 1, record=bytes(16)).control(0).control(1).control(50, 1).get_image_new().data())
    write(t, "capture_area_pending",
          Calls().control(91, 7).control(92, 0, record=struct.pack("<i", 2)).control(48, 1, record=rect(0, 0, 63, 63))
          .control(50, 1).get_image_new().data())
    write(t, "frame_sum", Calls(display=False).control(50, 1).add(1, 2).add(2, 2).add(3, 1, stop_at=2).data())
    write(t, "frame_sum_grey", Calls(camera=145, display=False).control(14).control(50, 1).add(2, 3).data())
    # A series saves images only once the capture size is known: the settings
    # file saved and loaded back gives it.
    write(t, "time_lapse", Calls().control(54, 0).control(54, 1).time_lapse(2, 10, 5, region=(0, 0, 63, 47))
          .time_lapse(3, 0, 90).data())
    # File numbers counted on from the largest 32-bit number.
    write(t, "time_lapse_numbers_wrap", Calls().control(54, 0).control(54, 1)
          .time_lapse(3, 2147483647, 2, region=(0, 0, 31, 15)).data())
    write(t, "time_lapse_killed", Calls().control(54, 0).control(54, 1)
          .time_lapse(3, 4, 2, region=(8, 8, 40, 30), kill_offset=1, kill_phase=1).kill().data())
    write(t, "resolution_lists",
          Calls().control(92, 1, record=bytes(4)).control(92, 0, record=struct.pack("<i", 1))
          .control(91, 1, record=bytes(4)).control(91, 0, record=struct.pack("<i", 3))
          .control(91, 0, query=True, record=bytes(4)).control(50, 1).get_image_new().data())
    write(t, "pixel_formats_grey",
          Calls().control(93, 1, record=bytes(4)).control(93, 3, record=bytes(6 * 16), names=6).control(93, 0,
                                                                                              record=struct.pack("<i", 8))
          .control(50, 1).get_line(0, 100).get_image_new().data())
    write(t, "grey_mode_camera", Calls().control(13, 1).control(50, 1).get_image_new().control(13, 0).data())
    write(t, "settings_save_load",
          Calls().control(84, 0, record=struct.pack("<d", 30.0)).control(54, 0).control(54, 1).data())
    write(t, "settings_long_name", Calls().control(54, 0, fixed_path=False, name=b"n" * 280).data())
    write(t, "pass_through",
          Calls().control(50, 1).pass_through_open(5, 5).pass_through_paint().pass_through_close().data())
    write(t, "reopen_and_closed_commands",
          Calls().reopen([lambda c: c.control(69, 0, as_op=False),
                          lambda c: c.control(84, 0, record=bytes(8), as_op=False)])
          .control(50, 1).get_image_new().data())
    write(t, "tables_and_ranges",
          Calls().control(25, 0, length=108).control(72, 40, record=bytes(80)).control(73, 9, record=bytes(16))
          .control(94, 32, record=bytes(25)).control(90, 0, record=bytes(216)).control(107, 0, record=bytes(64))
          .control(98, 0, record=bytes(32)).control(96, 0, record=bytes(8)).control(65, 0, record=bytes(24))
          .control(85, 0, record=bytes(24)).control(67, 0, record=bytes(12)).data())
    write(t, "properties",
          Calls().control(97, 0, record=struct.pack("<d", 1.004)).control(97, 0, query=True, record=bytes(8))
          .control(106, 1, record=struct.pack("<d", 2.5)).control(53, 250).control(95, 0, record=struct.pack("<i", 40))
          .control(84, 1, record=struct.pack("<d", float("nan"))).control(49, 0, query=True, record=bytes(8)).data())
    write(t, "options_window_and_report",
          Calls().control(21).control(42, query=True, record=bytes(8)).control(27, 3, value=5)
          .control(12, 1).snap().control(12, 0).control(50, 1).control(50, 1).data())
    write(t, "stream_modes",
          Calls().control(300, 10).control(50, 1).control(300, 11).control(300, 7).control(39, window=2)
          .pass_time(250).pass_time(4000).data())
    write(t, "monochrome_white_balance",
          Calls(camera=145).control(14).control(89, 0, record=white_balance(8)).control(25, 0, length=100).data())
    write(t, "demosaic_camera_lists", Calls(camera=32).control(92, 0, record=struct.pack("<i", 2))
          .control(91, 1, record=bytes(4)).control(50, 1).get_image_new().data())


if __name__ == "__main__":
    bmp_seeds()
    settings_seeds()
    tiff_seeds()
    control_seeds()
