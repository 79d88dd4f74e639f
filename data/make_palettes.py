#!/usr/bin/env python3
"""Writes the palette files in data/Palette/: a colour count on the first line, then one
"R G B" line per colour, CR LF line ends.

The saver rotates palettes, so every gradient here is a closed loop: the last colour flows into
the first. Stops are blended in linear light, which keeps the middle of a blend from going
muddy, and eased so that each stop colour holds for a moment before the next one takes over.
Run it from anywhere; it rewrites every file it knows and leaves other files alone."""

import colorsys
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
CRLF = "\r\n"


def to_linear(c):
    c /= 255.0
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def to_srgb(c):
    c = min(max(c, 0.0), 1.0)
    c = 12.92 * c if c <= 0.0031308 else 1.055 * c ** (1 / 2.4) - 0.055
    return round(c * 255)


def loop(stops, n, ease=0.5):
    """n colours on a closed loop through the stops (hex strings or RGB triples). `ease` 0 blends
    straight, 1 dwells longest on each stop."""
    rgb = [tuple(int(s[i:i + 2], 16) for i in (1, 3, 5)) if isinstance(s, str) else s
           for s in stops]
    lin = [tuple(to_linear(c) for c in s) for s in rgb]
    out = []
    k = len(lin)
    for i in range(n):
        t = i * k / n
        j = int(t)
        f = t - j
        f = (1 - ease) * f + ease * (0.5 - 0.5 * math.cos(f * math.pi))
        a, b = lin[j % k], lin[(j + 1) % k]
        out.append(tuple(to_srgb(a[c] + (b[c] - a[c]) * f) for c in range(3)))
    return out


def hues(n, s, v, start=0.0, turns=1):
    """A hue wheel: `turns` full turns in n colours."""
    out = []
    for i in range(n):
        r, g, b = colorsys.hsv_to_rgb((start + turns * i / n) % 1.0, s, v)
        out.append((round(r * 255), round(g * 255), round(b * 255)))
    return out


def bands(stops, repeat):
    """Hard-edged bands: each stop `repeat` times, no blending."""
    return [tuple(int(s[i:i + 2], 16) for i in (1, 3, 5)) for s in stops for _ in range(repeat)]


# Names say what the colours are; a palette's name is also how a setting picks it, so it holds
# no spaces. Counts run from 16 to 236 (the most the saver animates).
PALETTES = {
    "Rainbow.pal": hues(236, 1.0, 1.0),
    "Pastel_Rainbow.pal": hues(96, 0.38, 1.0),
    "Fire.pal": loop(["#5a0000", "#c81400", "#ff7800", "#ffd23c", "#fff5b4", "#ffb400",
                      "#e63c00", "#8c0a14"], 200),
    "Lava.pal": loop(["#780000", "#c80a00", "#ff3c00", "#ffa000", "#e62800", "#960a0a"], 160,
                     ease=0.8),
    "Ocean.pal": loop(["#001450", "#0050b4", "#00a0dc", "#50e6e6", "#e6ffff", "#00b4a0",
                       "#003c8c"], 180),
    "Ice.pal": loop(["#ffffff", "#c8ebff", "#64b4ff", "#1e50dc", "#0a2896", "#3c8cf0",
                     "#a0f0ff"], 160),
    "Aurora.pal": loop(["#003c32", "#00c864", "#78ff96", "#00dcc8", "#3c64ff", "#a028dc",
                        "#ff3ca0", "#14143c"], 220),
    "Neon.pal": loop(["#ff00c8", "#00ffff", "#b4ff00", "#ff3c00", "#7800ff"], 150, ease=0.2),
    "Sunset.pal": loop(["#2d0a50", "#8c1478", "#e6285a", "#ff6e28", "#ffc846", "#ff8c8c",
                        "#6e1e8c"], 200),
    "Twilight.pal": loop(["#0f0a46", "#283cb4", "#7878e6", "#c8a0f0", "#f0a0c8", "#8c3ca0"],
                         190),
    "Forest.pal": loop(["#1e6414", "#3ca01e", "#8cd232", "#e1f064", "#a08232", "#508c28"],
                       180),
    "Candy.pal": loop(["#ff78c8", "#ffffff", "#78f0b4", "#fff078", "#c896ff", "#78d2ff"], 120,
                      ease=0.3),
    "Gold.pal": loop(["#6e3c0a", "#c8821e", "#ffd250", "#fff8d2", "#f0b428", "#a05a14"], 160),
    "Copper.pal": loop(["#8c3c14", "#dc7846", "#ffbe8c", "#3ca08c", "#147864", "#b4501e"],
                       140),
    "Desert.pal": loop(["#e6c38c", "#d2783c", "#a03c28", "#e69678", "#f0dcaa", "#b48246"],
                       150),
    "Electric.pal": loop(["#0028ff", "#00c8ff", "#ffffff", "#b400ff", "#1400a0"], 64, ease=0.1),
    "Phosphor.pal": loop(["#0a5014", "#1ea032", "#50ff64", "#c8ffc8", "#28c83c"], 100),
    "Greys.pal": loop([(48, 48, 48), (150, 150, 150), (255, 255, 255), (150, 150, 150)], 128,
                      ease=0.0),
    "Cherry_Blossom.pal": loop(["#ffe6f0", "#ffaacc", "#f05a8c", "#ffffff", "#c8dc8c"], 110),
    "Plasma.pal": loop(["#0d0887", "#6a00a8", "#b12a90", "#e16462", "#fca636", "#f0f921",
                        "#fca636", "#e16462", "#b12a90", "#6a00a8"], 236, ease=0.0),
    "Primary_16.pal": bands(["#ff0000", "#ffff00", "#00ff00", "#00ffff", "#0000ff",
                             "#ff00ff", "#ffffff", "#ff8000"], 2),
    "Traffic_Lights.pal": bands(["#ff2020", "#ffc000", "#20e040"], 8),
}


def write_palette(path, colours):
    with open(path, "w", newline="") as f:
        f.write(str(len(colours)) + CRLF)
        for r, g, b in colours:
            f.write(f"{r} {g} {b}{CRLF}")


def main():
    folder = os.path.join(HERE, "Palette")
    os.makedirs(folder, exist_ok=True)
    for name, colours in PALETTES.items():
        assert 16 <= len(colours) <= 236, name
        write_palette(os.path.join(folder, name), colours)


if __name__ == "__main__":
    main()
