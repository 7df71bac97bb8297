"""Screens of the X display read from xwd's dump (ZPixmap, 24 or 32 bits a pixel)."""
import struct
import subprocess


class Screen:
    def __init__(self, data):
        header = struct.unpack(">25I", data[:100])
        header_size, _, _, depth, width, height = header[:6]
        byte_order, bpp, bytes_per_line = header[7], header[11], header[12]
        ncolors = header[19]
        self.masks = header[14:17]
        self.width, self.height = width, height
        self.bpp, self.stride, self.order = bpp, bytes_per_line, byte_order
        self.pixels = data[header_size + ncolors * 12:]

    def pixel(self, x, y):
        """(red, green, blue) at (x, y)."""
        at = y * self.stride + x * (self.bpp // 8)
        raw = self.pixels[at:at + self.bpp // 8]
        value = int.from_bytes(raw, "little" if self.order == 0 else "big")
        out = []
        for mask in self.masks:
            shift = (mask & -mask).bit_length() - 1
            out.append((value & mask) >> shift)
        return tuple(out)

    def ink_runs(self, x, y, w, h, gap=3):
        """The runs of columns holding something darker than the background (the colour at the
        rectangle's left edge), separated by at least gap empty columns."""
        background = self.pixel(x, y + h // 2)
        inked = []
        for cx in range(x, x + w):
            inked.append(any(sum(self.pixel(cx, cy)) < sum(background) - 150
                             for cy in range(y, y + h)))
        runs, start, empty = [], None, 0
        for i, ink in enumerate(inked):
            if ink:
                if start is None:
                    start = i
                empty = 0
            elif start is not None:
                empty += 1
                if empty >= gap:
                    runs.append((x + start, x + i - empty + 1))
                    start, empty = None, 0
        if start is not None:
            runs.append((x + start, x + len(inked) - empty))
        return runs


def grab_root():
    data = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    return Screen(data)
