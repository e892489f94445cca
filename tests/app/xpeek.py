"""What an X display shows, read through Xlib itself (ctypes, no module to
install): the colour of a screen pixel, the pointer's cursor image and name
through XFixes, and a window's icons. Fast enough to poll a swap frame by
frame."""

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
        self.x.XInternAtom.restype = ctypes.c_ulong
        self.x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.x.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
            ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
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

    def icons(self, window):
        """The window's _NET_WM_ICON: {(width, height): rows of (r, g, b)},
        each pixel as the window manager shows it over black."""
        atom = self.x.XInternAtom(self.display, b"_NET_WM_ICON", 0)
        kind, size, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        self.x.XGetWindowProperty(self.display, int(window, 0), atom, 0, 1 << 24, 0, 0, ctypes.byref(kind),
                                  ctypes.byref(size), ctypes.byref(count), ctypes.byref(after), ctypes.byref(data))
        if not data.value:
            return {}
        # Format 32 comes as C longs, each holding one ARGB value.
        values = list(ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong * count.value)).contents)
        self.x.XFree(data)
        found, at = {}, 0
        while at + 2 <= len(values):
            width, height = values[at], values[at + 1]
            pixels = values[at + 2: at + 2 + width * height]
            at += 2 + width * height
            over_black = [tuple(((p >> shift) & 0xFF) * ((p >> 24) & 0xFF) // 255 for shift in (16, 8, 0))
                          for p in pixels]
            found[(width, height)] = [over_black[y * width:(y + 1) * width] for y in range(height)]
        return found
