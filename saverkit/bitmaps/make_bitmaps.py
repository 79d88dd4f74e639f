#!/usr/bin/env python3
"""Draws the kit's bitmap resources as 24-bit BMP files next to this script.

SCRMONITOR.bmp        368 x 170: the monitor picture (left half) and its transparency mask (right
                      half: white where the background shows through, black where the picture is).
                      The picture is black wherever the mask is white, so AND with the mask then
                      XOR with the picture draws it transparently.
SCRCORNERDEFAULT.bmp  24 x 22 corner buttons: a plain pointer (normal), a green "start now" button
SCRCORNERNOW.bmp      with a play mark, a red "never" button with a no-entry sign.
SCRCORNERNEVER.bmp
../../dialogs/bitmaps/TAGMARK.bmp
                      15 x 13 tag mark of the configuration dialog's settings list: a tick on
                      magenta, which is drawn as transparent.

Run it again after changing a picture and commit the .bmp files it writes.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


class Image:
    def __init__(self, width, height, fill=(0, 0, 0)):
        self.width, self.height = width, height
        self.px = [[fill] * width for _ in range(height)]

    def set(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):  # inclusive
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, light, dark):
        for x in range(x0, x1 + 1):
            self.set(x, y0, light)
            self.set(x, y1, dark)
        for y in range(y0, y1 + 1):
            self.set(x0, y, light)
            self.set(x1, y, dark)

    def rounded(self, x0, y0, x1, y1, r, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                cx = min(max(x, x0 + r), x1 - r)
                cy = min(max(y, y0 + r), y1 - r)
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                    self.set(x, y, c)

    def polygon(self, points, c):
        ys = [p[1] for p in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            for x in range(self.width):
                if inside(points, x + 0.5, y + 0.5):
                    self.set(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(self.height):
            for x in range(self.width):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r_in, r_out, c):
        for y in range(self.height):
            for x in range(self.width):
                d = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
                if r_in * r_in <= d <= r_out * r_out:
                    self.set(x, y, c)

    def thick_line(self, x0, y0, x1, y1, w, c):
        for y in range(self.height):
            for x in range(self.width):
                if seg_distance(x + 0.5, y + 0.5, x0, y0, x1, y1) <= w / 2:
                    self.set(x, y, c)

    def save(self, name):  # relative to this script's folder
        row = (self.width * 3 + 3) // 4 * 4
        data = bytearray()
        for y in range(self.height - 1, -1, -1):  # bottom-up
            line = bytearray()
            for r, g, b in self.px[y]:
                line += bytes((b, g, r))
            data += line + bytes(row - len(line))
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data),
                           2835, 2835, 0, 0)
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(header + info + data)


def inside(points, x, y):
    result = False
    j = len(points) - 1
    for i in range(len(points)):
        (xi, yi), (xj, yj) = points[i], points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def seg_distance(px, py, x0, y0, x1, y1):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (x0 + t * dx), py - (y0 + t * dy))


BLACK, WHITE = (0, 0, 0), (255, 255, 255)
CASE, CASE_LIGHT, CASE_DARK, CASE_SHADOW = (200, 200, 196), (240, 240, 236), (120, 120, 116), \
    (64, 64, 62)
SCREEN = (0, 84, 112)


def monitor():
    w, h = 184, 170
    pic = Image(w, h, BLACK)
    opaque = Image(w, h, BLACK)  # white where the picture is

    def both(draw, *args):
        getattr(pic, draw)(*args)
        getattr(opaque, draw)(*(args[:-1] + (WHITE,)))

    # Stand: a neck and a flat base.
    both("polygon", [(78, 140), (106, 140), (110, 154), (74, 154)], CASE_DARK)
    both("polygon", [(76, 140), (104, 140), (107, 152), (73, 152)], CASE)
    both("rounded", 42, 152, 142, 165, 5, CASE_SHADOW)
    both("rounded", 42, 151, 141, 163, 5, CASE)
    pic.rect(48, 152, 135, 152, CASE_LIGHT)
    # Case with a bevel, the screen sunk into it.
    both("rounded", 3, 4, 182, 143, 7, CASE_SHADOW)
    both("rounded", 2, 3, 180, 141, 7, CASE)
    pic.rect(9, 4, 173, 4, CASE_LIGHT)
    pic.rect(3, 10, 3, 134, CASE_LIGHT)
    pic.frame(13, 14, 172, 133, CASE_DARK, CASE_LIGHT)
    pic.frame(14, 15, 171, 132, CASE_SHADOW, CASE_DARK)
    pic.rect(15, 16, 170, 131, BLACK)
    pic.rect(16, 17, 169, 130, SCREEN)
    # A power light under the screen.
    pic.rect(160, 136, 164, 137, (40, 200, 60))

    sheet = Image(2 * w, h, BLACK)
    for y in range(h):
        for x in range(w):
            is_picture = opaque.px[y][x] == WHITE
            sheet.px[y][x] = pic.px[y][x] if is_picture else BLACK
            sheet.px[y][w + x] = BLACK if is_picture else WHITE
    sheet.save("SCRMONITOR.bmp")


def button(face, light, dark):
    img = Image(24, 22, face)
    img.frame(0, 0, 23, 21, light, BLACK)
    img.frame(1, 1, 22, 20, light, dark)
    return img


def corners():
    img = button((212, 208, 200), WHITE, (128, 128, 128))
    # A mouse pointer: nothing special happens in this corner.
    arrow = [(8, 4), (8, 17), (11, 14), (14, 19), (16, 18), (13, 13), (17, 13)]
    img.polygon(arrow, BLACK)
    inner = [(9, 7), (9, 14), (11, 12), (14, 17), (14.5, 16.5), (12, 12), (15, 12)]
    img.polygon(inner, WHITE)
    img.save("SCRCORNERDEFAULT.bmp")

    img = button((40, 150, 60), (140, 230, 150), (10, 80, 20))
    img.polygon([(8, 5), (8, 17), (18, 11)], WHITE)  # start now
    img.save("SCRCORNERNOW.bmp")

    img = button((200, 40, 40), (250, 150, 150), (110, 10, 10))
    img.ring(12, 11, 5.2, 7.6, WHITE)  # never: a no-entry sign
    img.thick_line(7, 16, 17, 6, 2.4, WHITE)
    img.save("SCRCORNERNEVER.bmp")


def tag_mark():
    img = Image(15, 13, (255, 0, 255))
    img.thick_line(2, 7, 6, 11, 2.6, (0, 110, 0))
    img.thick_line(6, 11, 13, 2, 2.6, (0, 110, 0))
    img.save(os.path.join("..", "..", "dialogs", "bitmaps", "TAGMARK.bmp"))


if __name__ == "__main__":
    monitor()
    corners()
    tag_mark()
