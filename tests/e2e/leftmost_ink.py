#!/usr/bin/env python3
# Samples a part of the X screen for the given seconds and prints, a line each time, when (monotonic
# seconds) and the column of its leftmost dark pixel (-1 for none). One process reading the screen
# directly, so each sample's time is the time of its pixels, also on a busy machine where starting a
# screenshot program takes a second or more.
#   leftmost_ink.py X Y WIDTH HEIGHT SECONDS
import ctypes
import sys
import time


class XImage(ctypes.Structure):
    _fields_ = [(name, ctypes.c_int) for name in ("width", "height", "xoffset", "format")] + [
        ("data", ctypes.POINTER(ctypes.c_ubyte))] + [
        (name, ctypes.c_int) for name in ("byte_order", "bitmap_unit", "bitmap_bit_order", "bitmap_pad", "depth",
                                          "bytes_per_line", "bits_per_pixel")]


x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + [ctypes.c_uint] * 2 + [
    ctypes.c_ulong, ctypes.c_int]
x11.XGetImage.restype = ctypes.POINTER(XImage)

x, y, w, h, seconds = map(int, sys.argv[1:6])
display = x11.XOpenDisplay(None)
root = x11.XDefaultRootWindow(display)
end = time.monotonic() + seconds
while time.monotonic() < end:
    t = time.monotonic()
    image = x11.XGetImage(display, root, x, y, w, h, 0xFFFFFFFF, 2).contents  # ZPixmap, 32 bits a pixel
    row = image.bytes_per_line
    dark = (c for c in range(w) for r in range(h) if sum(image.data[r * row + 4 * c + i] for i in range(3)) < 384)
    print(f"{t:.3f} {next(dark, -1)}", flush=True)
    time.sleep(0.03)
