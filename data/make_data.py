#!/usr/bin/env python3
"""Writes the starter data: the palette files in Palette/ and the plain-text settings collection
Nimbrel_32_Settings.txt. Every setting lists every parameter, so none depends on the one shown
before it. Pack the text into Nimbrel_32_Settings.cmp with

    build/bin/nimbrel-settings pack data/Nimbrel_32_Settings.txt data/Nimbrel_32_Settings.cmp

(the unit tests check that the packed file holds exactly this text)."""

import colorsys
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
CRLF = "\r\n"

# ---------------------------------------------------------------------------------------------
# Palettes: a count, then one "R G B" line per colour.


def hsv(h, s, v):
    r, g, b = colorsys.hsv_to_rgb(h % 1.0, s, v)
    return round(r * 255), round(g * 255), round(b * 255)


def ramp(stops, n):
    """n colours along a closed loop through the stops, so rotation has no seam."""
    out = []
    k = len(stops)
    for i in range(n):
        t = i * k / n
        a, b = stops[int(t) % k], stops[(int(t) + 1) % k]
        f = t - int(t)
        f = 0.5 - 0.5 * math.cos(f * math.pi)
        out.append(tuple(round(a[c] + (b[c] - a[c]) * f) for c in range(3)))
    return out


PALETTES = {
    "Rainbow.pal": [hsv(i / 236, 1.0, 1.0) for i in range(236)],
    "Fire.pal": ramp([(40, 0, 0), (200, 20, 0), (255, 140, 0), (255, 240, 120), (255, 90, 0),
                      (150, 0, 30)], 200),
    "Ocean.pal": ramp([(0, 20, 80), (0, 120, 200), (40, 220, 220), (220, 255, 255), (0, 160, 140),
                       (10, 60, 160)], 180),
    "Neon.pal": ramp([(255, 0, 200), (0, 255, 255), (180, 255, 0), (255, 60, 0), (120, 0, 255)],
                     150),
    "Pastel.pal": [hsv(i / 96, 0.35, 1.0) for i in range(96)],
}


def write_palettes():
    folder = os.path.join(HERE, "Palette")
    os.makedirs(folder, exist_ok=True)
    for name, colours in PALETTES.items():
        with open(os.path.join(folder, name), "w", newline="") as f:
            f.write(str(len(colours)) + CRLF)
            for r, g, b in colours:
                f.write(f"{r} {g} {b}{CRLF}")


# ---------------------------------------------------------------------------------------------
# Settings. Scroll values are (Min, Max, Position); checks and radios True/False; the palette
# choice a file name.

SCROLL_RANGES = {
    "max_polygons": (0, 200), "vanishing": (0, 100), "perspective": (-128, 128),
    "magnification": (0, 256), "aspect_a_x": (0, 100), "aspect_a_y": (0, 100),
    "aspect_f_x": (-128, 128), "aspect_f_y": (-128, 128), "ampl": (0, 256),
    "freq": (-128, 128), "precess": (-128, 128), "max_rot_speed": (-128, 128),
    "min_rot_speed": (-128, 128), "rot_ran_freq": (2, 100),
    **{f"density{k}": (-100, 0) for k in range(1, 11)},
    "shape_freq": (2, 100), "mot_b_damping": (0, 128), "mot_ran_freq": (2, 100),
    **{f"mot_par_{c}": (0, 128) for c in "abcdef"},
    "control_points": (3, 16), "eccentricity": (1, 16), "Gamma": (1, 20),
    "palette_inc": (-128, 128), "colour_step": (-128, 128), "speed_scroll": (1, 200),
}

DEFAULTS = {
    "max_polygons": 50, "vanishing": 0, "perspective": 0, "magnification": 100,
    "in_out": False, "rub_out": True, "hide_cursor": False, "aspect_sync": False,
    "lock_xy_aspect": False, "aspect_a_x": 100, "aspect_a_y": 100, "aspect_f_x": 0,
    "aspect_f_y": 0, "ampl": 25, "freq": 10, "precess": 0, "max_rot_speed": 0,
    "min_rot_speed": 0, "rot_ran_freq": 2, **{f"density{k}": 0 for k in range(1, 11)},
    "density3": -100,
    "shape_freq": 100, "mot_b_damping": 50, "mot_ran_freq": 2, "lock_xy_motion": False,
    **{f"mot_par_{c}": 0 for c in "abcdef"}, "control_points": 3, "eccentricity": 2, "Gamma": 1,
    "palette_inc": 0, "colour_step": 10, "fix_speed": True, "speed_scroll": 30,
}

GROUPS = {
    "rotation": ["no_rotation", "sin_rotation", "ran_rotation"],
    "rotation_timing": ["rot_ran_per", "rot_ran_ran"],
    "shape_timing": ["shape_per", "shape_ran"],
    "motion": ["no_motion", "mouse_motion", "ran_fluid_motion", "ran_jump_motion", "par_motion"],
    "distribution": ["ran_gaussian", "ran_uniform"],
    "draw": ["draw_solid", "draw_vertices"],
    "colour": ["UsePalette", "RGBwalk"],
    "pause": ["pause_freeze", "pause_continue"],
}

GROUP_DEFAULTS = {"rotation_timing": "rot_ran_per", "shape_timing": "shape_per",
                  "distribution": "ran_gaussian", "draw": "draw_solid",
                  "pause": "pause_continue"}

SETTINGS = [
    ("Triangle Tunnel", dict(
        rotation="sin_rotation", motion="par_motion", colour="UsePalette",
        palette="Rainbow.pal", max_polygons=60, vanishing=8, perspective=40, magnification=110,
        ampl=40, freq=12, precess=8, mot_par_a=10, mot_par_b=3, mot_par_c=60, mot_par_d=14,
        mot_par_e=5, mot_par_f=60, palette_inc=24, colour_step=12, tagged=True)),
    ("Fluid Squares", dict(
        rotation="ran_rotation", motion="ran_fluid_motion", colour="RGBwalk",
        density3=0, density4=-100, max_rot_speed=24, min_rot_speed=4, rot_ran_freq=92,
        mot_b_damping=40, control_points=5, eccentricity=5, Gamma=3, palette_inc=10,
        colour_step=20, tagged=True)),
    ("Jumping Stars", dict(
        rotation="no_rotation", motion="ran_jump_motion", colour="UsePalette", palette="Neon.pal",
        draw="draw_vertices", rub_out=False, in_out=True, max_polygons=60, vanishing=4,
        perspective=30, magnification=160, density3=0, density5=-60, density6=-100,
        density8=-40, shape_timing="shape_ran", shape_freq=50, mot_ran_freq=90, palette_inc=16,
        colour_step=6, speed_scroll=40, tagged=True)),
    ("Breathing Hexagons", dict(
        rotation="sin_rotation", motion="no_motion", colour="RGBwalk", density3=0,
        density6=-100, aspect_a_x=45, aspect_a_y=45, aspect_f_x=10, aspect_f_y=14, ampl=30,
        freq=6, precess=-10, control_points=7, eccentricity=6, Gamma=6, palette_inc=-12,
        colour_step=14, tagged=True)),
    ("Mouse Follower", dict(
        rotation="ran_rotation", rotation_timing="rot_ran_ran", motion="mouse_motion",
        colour="UsePalette", palette="Ocean.pal", density3=-80, density4=-60, density5=-30,
        max_rot_speed=16, min_rot_speed=-16, rot_ran_freq=60, mot_b_damping=100,
        palette_inc=8, colour_step=8, tagged=True)),
    ("Vertex Spiral", dict(
        rotation="sin_rotation", motion="par_motion", colour="UsePalette", palette="Rainbow.pal",
        draw="draw_vertices", rub_out=False, max_polygons=200, magnification=150, perspective=20,
        density3=0, density10=-100, density7=-50, ampl=60, freq=3, precess=20, mot_par_a=6, mot_par_c=40,
        mot_par_d=9, mot_par_f=40, palette_inc=30, colour_step=4, tagged=True)),
    ("Neon Segments", dict(
        rotation="no_rotation", motion="ran_fluid_motion", distribution="ran_uniform",
        colour="UsePalette", palette="Neon.pal", density3=0, density2=-100, density4=-20,
        mot_b_damping=30, palette_inc=40, colour_step=18, max_polygons=80, tagged=True)),
    ("Pastel Pulse", dict(
        rotation="sin_rotation", motion="ran_jump_motion", colour="UsePalette",
        palette="Pastel.pal", aspect_sync=True, aspect_a_x=60, aspect_a_y=30, aspect_f_x=24,
        aspect_f_y=-16, density3=-50, density5=-100, ampl=20, freq=20, precess=4,
        mot_ran_freq=40, palette_inc=6, colour_step=10, tagged=True)),
    ("Racing Pentagons", dict(
        rotation="ran_rotation", motion="par_motion", colour="RGBwalk", fix_speed=False,
        density3=0, density5=-100, max_rot_speed=40, min_rot_speed=10, rot_ran_freq=70,
        mot_par_a=20, mot_par_b=7, mot_par_c=70, mot_par_d=25, mot_par_e=3, mot_par_f=70,
        control_points=4, eccentricity=10, Gamma=8, palette_inc=50, colour_step=30,
        tagged=False)),
    ("Deep Bloom", dict(
        rotation="ran_rotation", motion="no_motion", colour="UsePalette", palette="Rainbow.pal",
        perspective=-60, max_polygons=100, density3=-30, density5=-100, density7=-40,
        max_rot_speed=12, min_rot_speed=2, rot_ran_freq=20, palette_inc=-20, colour_step=16,
        tagged=True)),
]


def setting_lines(name, values):
    lines = []
    v = dict(DEFAULTS)
    v.update({k: x for k, x in values.items() if k in DEFAULTS})
    for param, (lo, hi) in SCROLL_RANGES.items():
        lines.append(f"{param} {lo} {hi} {v[param]}")
    for param in ["in_out", "rub_out", "hide_cursor", "aspect_sync", "lock_xy_aspect",
                  "lock_xy_motion", "fix_speed"]:
        lines.append(f"{param} {'TRUE' if v[param] else 'FALSE'}")
    for group, members in GROUPS.items():
        chosen = values.get(group, GROUP_DEFAULTS.get(group))
        for m in members:
            lines.append(f"{m} {'TRUE' if m == chosen else 'FALSE'}")
    if "palette" in values:
        lines.append(f"palette_list {values['palette']}")
    lines.append(" " * 9 + "Screensaver\t" + ("TRUE" if values.get("tagged") else "FALSE"))
    return lines


def write_settings():
    text = ""
    for name, values in SETTINGS:
        text += "{ " + name + CRLF
        for line in setting_lines(name, values):
            text += line + CRLF
        text += "}" + CRLF
    with open(os.path.join(HERE, "Nimbrel_32_Settings.txt"), "w", newline="") as f:
        f.write(text)


if __name__ == "__main__":
    write_palettes()
    write_settings()
