#!/usr/bin/env python3
"""Draws Lexivane's toolbar pictures, arrows and program icon as PNG files.

The pictures are simple vector shapes rasterised with 4x4 supersampling, so the
script needs nothing beyond the Python standard library. Run it from the
repository root; it rewrites res/pictures/*.png.
"""
import math
import struct
import zlib
from pathlib import Path

SS = 4  # samples per pixel along each axis


def hexcolor(text, alpha=255):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


def inside_polygon(px, py, points):
    result = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def polygon(points, color):
    return (lambda x, y: inside_polygon(x, y, points), color)


def rect(x0, y0, x1, y1, color, radius=0.0):
    def test(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 + 1e-9
    return (test, color)


def ellipse(cx, cy, rx, ry, color):
    return (lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, color)


def ring(cx, cy, r_outer, r_inner, color):
    return (lambda x, y: r_inner ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r_outer ** 2, color)


def line(x0, y0, x1, y1, width, color):
    def test(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= (width / 2) ** 2
    return (test, color)


def arc(cx, cy, r, width, start_deg, end_deg, color):
    def test(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > width / 2:
            return False
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (angle - start_deg) % 360 <= (end_deg - start_deg) % 360
    return (test, color)


def render(size, shapes):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    x = px + (sx + 0.5) / SS
                    y = py + (sy + 0.5) / SS
                    color = None
                    for test, c in shapes:
                        if test(x, y):
                            color = c
                    if color is not None:
                        a = color[3] / 255.0
                        for k in range(3):
                            acc[k] += color[k] * a
                        acc[3] += a
            n = SS * SS
            alpha = acc[3] / n
            if acc[3] > 0:
                rgb = [round(acc[k] / acc[3]) for k in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((*rgb, round(alpha * 255)))
        pixels.append(row)
    return pixels


def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\x00" + b"".join(struct.pack("4B", *p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    Path(path).write_bytes(png)


INK = hexcolor("#2b3a55")
PAPER = hexcolor("#ffffff")
BOARD = hexcolor("#b07a3a")
CLIP = hexcolor("#9aa4b1")
FOLDER = hexcolor("#e8b84a")
FOLDER_DARK = hexcolor("#b8861e")
BLUE = hexcolor("#2f6fd0")
GREEN = hexcolor("#2e8b57")
RED = hexcolor("#c0392b")


def paste():
    return [
        rect(2.5, 2.5, 13.5, 15.0, BOARD, 1.2),
        rect(4.5, 5.5, 11.5, 13.5, PAPER),
        line(5.8, 8, 10.2, 8, 0.9, INK), line(5.8, 10, 10.2, 10, 0.9, INK),
        line(5.8, 12, 9.0, 12, 0.9, INK),
        rect(5.5, 1.0, 10.5, 4.0, CLIP, 0.8),
    ]


def bookmarks():
    return [
        polygon([(1, 3.5), (6, 3.5), (7.5, 5), (15, 5), (15, 13.5), (1, 13.5)], FOLDER_DARK),
        polygon([(1, 6.5), (15, 6.5), (14.5, 13.5), (1.5, 13.5)], FOLDER),
        polygon([(9.5, 2), (13, 2), (13, 9), (11.25, 7.5), (9.5, 9)], RED),
    ]


def history():
    shapes = []
    for ox, oy in ((0.5, 5.0), (8.0, 0.5)):
        shapes.append(ellipse(ox + 3.4, oy + 3.8, 2.6, 3.6, INK))
        shapes.append(ellipse(ox + 3.6, oy + 9.0, 1.9, 1.6, INK))
    return shapes


def help_():
    return [
        ellipse(8, 8, 7, 7, BLUE),
        arc(8, 6.2, 2.4, 1.8, 180, 90, PAPER),
        line(8.0, 8.6, 8.0, 10.0, 1.8, PAPER),
        ellipse(8, 12.3, 1.1, 1.1, PAPER),
    ]


def copy():
    return [
        rect(1.5, 1.5, 10.5, 11.5, INK), rect(2.5, 2.5, 9.5, 10.5, PAPER),
        rect(5.5, 4.5, 14.5, 14.5, INK), rect(6.5, 5.5, 13.5, 13.5, PAPER),
        line(8, 8, 12, 8, 0.9, INK), line(8, 10, 12, 10, 0.9, INK), line(8, 12, 11, 12, 0.9, INK),
    ]


def lookup():
    return [
        ring(6.5, 6.5, 5.0, 3.4, INK),
        ellipse(6.5, 6.5, 3.4, 3.4, hexcolor("#cfe3ff")),
        line(10.2, 10.2, 14.2, 14.2, 2.6, INK),
    ]


def arrow(direction):
    if direction == "left":
        points = [(3, 8), (10, 2), (10, 5.5), (14, 5.5), (14, 10.5), (10, 10.5), (10, 14)]
    else:
        points = [(13, 8), (6, 2), (6, 5.5), (2, 5.5), (2, 10.5), (6, 10.5), (6, 14)]
    return [polygon(points, INK)]


def app_icon():
    s = 48 / 16.0
    cover = hexcolor("#1f4e8c")
    return [
        rect(4 * s / 3, 3 * s / 3, 44, 45, cover, 3.0),
        rect(9, 6, 41, 40, PAPER, 1.0),
        rect(9, 40, 41, 43, hexcolor("#d8dde6")),
        line(15, 12, 15, 32, 4.0, cover),
        line(15, 32, 28, 32, 4.0, cover),
        line(20, 17, 35, 17, 1.6, CLIP), line(20, 22, 35, 22, 1.6, CLIP),
        line(20, 27, 32, 27, 1.6, CLIP),
        polygon([(33, 3), (39, 3), (39, 14), (36, 11.5), (33, 14)], RED),
    ]


def close():
    # The command bar's close button: a cross.
    return [line(4, 4, 12, 12, 2.0, INK), line(12, 4, 4, 12, 2.0, INK)]


def more():
    # The command bar's overflow button, shown when its buttons do not fit.
    return [polygon([(3, 3), (5, 3), (9, 8), (5, 13), (3, 13), (7, 8)], INK),
            polygon([(8, 3), (10, 3), (14, 8), (10, 13), (8, 13), (12, 8)], INK)]


def scaled(shapes, factor):
    """The same shapes drawn `factor` times as large."""
    return [((lambda x, y, t=test: t(x / factor, y / factor)), color) for test, color in shapes]


def about():
    # The About box's 32 x 32 picture: the program icon, drawn at that size.
    return scaled(app_icon(), 32 / 48)


PICTURES = {
    "paste": (16, paste), "bookmarks": (16, bookmarks), "history": (16, history),
    "help": (16, help_), "copy": (16, copy), "lookup": (16, lookup),
    "arrow-left": (16, lambda: arrow("left")), "arrow-right": (16, lambda: arrow("right")),
    "close": (16, close), "more": (16, more),
    "lexivane": (48, app_icon), "about": (32, about),
}


def main():
    out = Path("res/pictures")
    out.mkdir(parents=True, exist_ok=True)
    for name, (size, draw) in PICTURES.items():
        write_png(out / f"{name}.png", render(size, draw()))


if __name__ == "__main__":
    main()
