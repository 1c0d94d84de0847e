#!/usr/bin/env python3
"""Draws the program's two icons as 16-colour .ico files.

resources/tavpatch.ico: the 32x32 program icon (icon group 103).
resources/intro.ico:    the 64x64 picture of the intro dialog (icon group 113).

Both show a hand-held two-way radio: an antenna, a dark body, a lit display and a keypad,
with a small chip beside it standing for the processor that gets the new firmware.
Run from anywhere; the files are written next to the resource script.
"""

import os
import struct

# The standard 16-colour palette (RGB), index 0 black to 15 white.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_RED, DARK_GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)
CLEAR = None  # transparent pixel


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[CLEAR] * size for _ in range(size)]

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the rectangle from (x0, y0) to (x1, y1), both corners included."""
        for y in range(max(0, y0), min(self.size, y1 + 1)):
            for x in range(max(0, x0), min(self.size, x1 + 1)):
                self.pixels[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0, colour)
        self.rect(x0, y1, x1, y1, colour)
        self.rect(x0, y0, x0, y1, colour)
        self.rect(x1, y0, x1, y1, colour)


def draw(size):
    """The radio and the chip, laid out on a grid of size/32 pixels per unit."""
    u = size // 32
    c = Canvas(size)

    def r(x0, y0, x1, y1, colour):
        c.rect(x0 * u, y0 * u, (x1 + 1) * u - 1, (y1 + 1) * u - 1, colour)

    # Antenna with its knob.
    r(7, 1, 8, 8, GREY)
    r(6, 0, 9, 1, BLACK)
    # Body with a light edge on the left and a shadow on the right.
    r(3, 8, 16, 30, BLACK)
    r(4, 9, 15, 29, GREY)
    r(4, 9, 4, 29, SILVER)
    r(15, 9, 15, 29, BLACK)
    # Speaker grille.
    for y in (11, 13):
        r(6, y, 13, y, BLACK)
    # Display.
    r(5, 15, 14, 19, BLACK)
    r(6, 16, 13, 18, GREEN)
    r(7, 17, 10, 17, DARK_GREEN)
    # Keypad: three rows of three keys.
    for row in range(3):
        for col in range(3):
            x = 6 + col * 3
            y = 21 + row * 3
            r(x, y, x + 1, y + 1, WHITE if (row + col) % 2 == 0 else SILVER)
    # Push-to-talk key on the left edge.
    r(2, 12, 3, 17, RED)
    # The processor: a chip with pins, joined to the radio by a yellow arrow.
    r(21, 15, 29, 23, BLACK)
    r(22, 16, 28, 22, NAVY)
    r(23, 17, 24, 18, CYAN)
    for x in (22, 24, 26, 28):
        r(x, 13, x, 14, SILVER)
        r(x, 24, x, 25, SILVER)
    r(17, 19, 19, 19, YELLOW)
    r(19, 18, 19, 20, YELLOW)
    r(20, 19, 20, 19, YELLOW)
    return c


def bitmap_bytes(canvas):
    """The icon image: BITMAPINFOHEADER, palette, 4-bit colour rows and 1-bit mask rows."""
    size = canvas.size
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r_, 0)) for (r_, g, b) in PALETTE)
    xor_rows = []
    and_rows = []
    for y in reversed(range(size)):  # bottom-up
        row = canvas.pixels[y]
        nibbles = [0 if p is CLEAR else p for p in row]
        data = bytes((nibbles[x] << 4) | nibbles[x + 1] for x in range(0, size, 2))
        xor_rows.append(data + b"\0" * ((-len(data)) % 4))
        bits = bytearray((size + 7) // 8)
        for x, p in enumerate(row):
            if p is CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_rows.append(bytes(bits) + b"\0" * ((-len(bits)) % 4))
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def ico_bytes(canvas):
    image = bitmap_bytes(canvas)
    size = canvas.size
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    for name, size in (("tavpatch.ico", 32), ("intro.ico", 64)):
        with open(os.path.join(out, name), "wb") as f:
            f.write(ico_bytes(draw(size)))


if __name__ == "__main__":
    main()
