"""What an X display shows, read through Xlib itself (ctypes, no module to
install): the colour of a screen pixel, and the pointer's cursor image and
name through XFixes. Fast enough to poll a swap frame by frame."""

import ctypes
import ctypes.util
import hashlib


class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


class Display:
    def __init__(self, name):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.fixes = ctypes.CDLL(ctypes.util.find_library("Xfixes") or "libXfixes.so.3")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XGetImage.restype = ctypes.c_void_p
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                     ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XGetPixel.restype = ctypes.c_ulong
        self.x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        self.x.XDestroyImage.argtypes = [ctypes.c_void_p]
        self.x.XDestroyImage = self.x.XDestroyImage  # a macro in C; libX11 also exports it
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.fixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
        self.fixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        self.display = self.x.XOpenDisplay(name.encode())
        if not self.display:
            raise RuntimeError(f"cannot open display {name}")
        self.root = self.x.XDefaultRootWindow(self.display)

    def close(self):
        self.x.XCloseDisplay(self.display)

    def pixel(self, x, y):
        """The (r, g, b) of a screen pixel."""
        image = self.x.XGetImage(self.display, self.root, x, y, 1, 1, 0xFFFFFFFF, 2)  # ZPixmap
        value = self.x.XGetPixel(image, 0, 0)
        self.x.XDestroyImage(image)
        return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF

    def cursor(self):
        """The pointer's cursor: (name, width, height, hot spot, a digest of its
        pixels), so that two cursors can be told apart."""
        image = self.fixes.XFixesGetCursorImage(self.display).contents
        count = image.width * image.height
        pixels = bytes(ctypes.cast(image.pixels, ctypes.POINTER(ctypes.c_ulong * count)).contents) if count else b""
        found = ((image.name or b"").decode(), image.width, image.height, (image.xhot, image.yhot),
                 hashlib.sha1(pixels).hexdigest()[:12])
        self.x.XFree(ctypes.addressof(image))
        return found
