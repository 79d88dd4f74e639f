#!/usr/bin/env python3
"""Writes data/Nimbrel_32_Settings.txt, the plain source of the shipped settings collection.

Every setting lists all of its parameters, in the editor's order, so none depends on the one
shown before it (a parameter a setting leaves out keeps the previous setting's value). Lines
look like the editor's: the name right-aligned in 20 columns, a TAB, then the value(s); line
ends are CR LF. `./dev build` packs the text into Nimbrel_32_Settings.cmp.

Each setting below was tuned by looking at it: docs/make_contact_sheet.sh renders them."""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
CRLF = "\r\n"

# Parameters in the editor's order: (name, kind, Min, Max). Kinds: s scroll, c check,
# r radio (with its group), p palette choice.
PARAMS = [
    ("max_polygons", "s", 0, 200), ("vanishing", "s", 0, 100),
    ("perspective", "s", -128, 128), ("magnification", "s", 0, 256),
    ("in_out", "c"), ("rub_out", "c"), ("hide_cursor", "c"), ("Screensaver", "c"),
    ("aspect_sync", "c"), ("lock_xy_aspect", "c"),
    ("aspect_a_x", "s", 0, 100), ("aspect_a_y", "s", 0, 100),
    ("aspect_f_x", "s", -128, 128), ("aspect_f_y", "s", -128, 128),
    ("no_rotation", "r", "rotation"), ("sin_rotation", "r", "rotation"),
    ("ran_rotation", "r", "rotation"),
    ("ampl", "s", 0, 256), ("freq", "s", -128, 128), ("precess", "s", -128, 128),
    ("max_rot_speed", "s", -128, 128), ("min_rot_speed", "s", -128, 128),
    ("rot_ran_per", "r", "rot_timing"), ("rot_ran_ran", "r", "rot_timing"),
    ("rot_ran_freq", "s", 2, 100),
    *[(f"density{k}", "s", -100, 0) for k in range(1, 11)],
    ("shape_per", "r", "shape_timing"), ("shape_ran", "r", "shape_timing"),
    ("shape_freq", "s", 2, 100),
    ("no_motion", "r", "motion"), ("mouse_motion", "r", "motion"),
    ("ran_fluid_motion", "r", "motion"), ("ran_jump_motion", "r", "motion"),
    ("par_motion", "r", "motion"),
    ("mot_b_damping", "s", 0, 128),
    ("ran_gaussian", "r", "distribution"), ("ran_uniform", "r", "distribution"),
    ("mot_ran_freq", "s", 2, 100), ("lock_xy_motion", "c"),
    *[(f"mot_par_{c}", "s", 0, 128) for c in "abcdef"],
    ("draw_solid", "r", "draw"), ("draw_vertices", "r", "draw"),
    ("UsePalette", "r", "colour"), ("RGBwalk", "r", "colour"), ("palette_list", "p"),
    ("control_points", "s", 3, 16), ("eccentricity", "s", 1, 16), ("Gamma", "s", 1, 20),
    ("palette_inc", "s", -128, 128), ("colour_step", "s", -128, 128),
    ("pause_freeze", "r", "pause"), ("pause_continue", "r", "pause"),
    ("fix_speed", "c"), ("speed_scroll", "s", 1, 200),
]

# What a setting gets unless it says otherwise. Radio groups are set by group name; `sides`
# maps a number of sides to its weight (0..100); `ranges` overrides a scroll value's Min, Max.
BASE = dict(
    max_polygons=60, vanishing=4, perspective=30, magnification=110,
    in_out=False, rub_out=True, hide_cursor=False, aspect_sync=False, lock_xy_aspect=False,
    aspect_a_x=100, aspect_a_y=100, aspect_f_x=0, aspect_f_y=0,
    rotation="sin_rotation", ampl=30, freq=8, precess=6, max_rot_speed=20, min_rot_speed=4,
    rot_timing="rot_ran_per", rot_ran_freq=70, sides={3: 100},
    shape_timing="shape_per", shape_freq=60,
    motion="par_motion", mot_b_damping=50, distribution="ran_gaussian", mot_ran_freq=60,
    lock_xy_motion=False,
    mot_par_a=8, mot_par_b=3, mot_par_c=50, mot_par_d=11, mot_par_e=4, mot_par_f=50,
    draw="draw_solid", colour="UsePalette", palette="Rainbow.pal",
    control_points=5, eccentricity=4, Gamma=3, palette_inc=10, colour_step=10,
    pause="pause_continue", fix_speed=True, speed_scroll=40, tagged=False, ranges={},
)

# name, then what differs from BASE.
SETTINGS = [
    # --- Tunnels: the rings flow away into a vanishing point that wanders.
    ("Triangle Tunnel", dict(tagged=True, perspective=40, ampl=40, freq=12, precess=8,
                             mot_par_a=10, mot_par_c=60, mot_par_d=14, mot_par_f=60,
                             palette_inc=14, colour_step=12)),
    ("Square Vortex", dict(tagged=True, sides={4: 100}, ampl=90, freq=6, precess=14,
                           motion="no_motion", palette="Fire.pal", perspective=50,
                           palette_inc=12, colour_step=8)),
    ("Hexagon Corridor", dict(sides={6: 100}, in_out=True, perspective=60, vanishing=2,
                              ampl=20, freq=5, precess=4, mot_par_a=5, mot_par_c=40,
                              mot_par_d=7, mot_par_f=40, palette="Ocean.pal", palette_inc=8)),
    ("Plasma Spiral", dict(tagged=True, sides={4: 100}, ampl=150, freq=3, precess=20,
                           motion="no_motion", palette="Plasma.pal", max_polygons=90,
                           perspective=20, colour_step=6, palette_inc=16)),
    ("Pentagon Drift", dict(sides={5: 100}, motion="ran_fluid_motion", mot_b_damping=70,
                            palette="Sunset.pal", ampl=45, freq=7, precess=-6)),
    ("Octagon Well", dict(sides={8: 100}, perspective=90, vanishing=0, max_polygons=80,
                          motion="no_motion", ampl=60, freq=4, precess=10, palette="Ice.pal",
                          palette_inc=-10, colour_step=22)),
    ("Deep Bloom", dict(tagged=True, rotation="ran_rotation", motion="no_motion",
                        perspective=-60, max_polygons=100, sides={3: 30, 5: 100, 7: 40},
                        max_rot_speed=12, min_rot_speed=2, rot_ran_freq=80,
                        palette_inc=-20, colour_step=16)),
    ("Looking Glass", dict(perspective=-110, vanishing=10, sides={4: 100}, ampl=40, freq=-9,
                           precess=8, palette="Twilight.pal", motion="no_motion")),
    # --- Random rotation: the twist jumps to a new value now and then.
    ("Fluid Squares", dict(tagged=True, rotation="ran_rotation", motion="ran_fluid_motion",
                           colour="RGBwalk", sides={4: 100}, max_rot_speed=24,
                           min_rot_speed=4, rot_ran_freq=92, mot_b_damping=40,
                           control_points=5, eccentricity=5, Gamma=3, palette_inc=10,
                           colour_step=20)),
    ("Shuffled Stars", dict(rotation="ran_rotation", rot_timing="rot_ran_ran",
                            rot_ran_freq=85, sides={5: 100, 6: 50}, max_rot_speed=30,
                            min_rot_speed=-30, palette="Gold.pal", motion="no_motion")),
    ("Ratchet", dict(rotation="ran_rotation", rot_ran_freq=40, sides={4: 100},
                     max_rot_speed=10, min_rot_speed=10, motion="no_motion",
                     palette="Copper.pal", colour_step=14)),
    ("Kaleidoscope", dict(tagged=True, rotation="ran_rotation", rot_timing="rot_ran_ran",
                          rot_ran_freq=92, sides={3: 60, 4: 60, 6: 100},
                          shape_timing="shape_ran", shape_freq=90, max_rot_speed=40,
                          min_rot_speed=0, motion="no_motion", palette="Candy.pal",
                          colour_step=18, palette_inc=12)),
    ("Restless Triangles", dict(rotation="ran_rotation", rot_ran_freq=60, max_rot_speed=50,
                                min_rot_speed=-50, motion="ran_jump_motion", mot_ran_freq=70,
                                palette="Neon.pal")),
    # --- No rotation: shape, motion and colour carry it.
    ("Neon Segments", dict(tagged=True, rotation="ran_rotation", rot_ran_freq=85,
                           max_rot_speed=40, min_rot_speed=10, motion="ran_fluid_motion",
                           palette="Neon.pal",
                           sides={2: 100, 4: 20}, mot_b_damping=30, palette_inc=40,
                           colour_step=18, max_polygons=80)),
    ("Still Pond", dict(rotation="no_rotation", motion="no_motion", sides={10: 100},
                        in_out=True, perspective=70, palette="Ocean.pal", palette_inc=6,
                        colour_step=8, speed_scroll=25)),
    ("Wandering Diamonds", dict(rotation="no_rotation", sides={4: 100},
                                aspect_a_x=55, aspect_a_y=100, motion="ran_fluid_motion",
                                mot_b_damping=60, palette="Aurora.pal")),
    ("Shape Shifter", dict(rotation="no_rotation", sides={k: 100 for k in range(3, 9)},
                           shape_freq=92, motion="par_motion", palette="Primary_16.pal",
                           colour_step=4, palette_inc=0)),
    # --- Motion: paths of the vanishing point.
    ("Lissajous Ribbon", dict(tagged=True, sides={2: 100}, rotation="sin_rotation",
                              ampl=70, freq=5, precess=3, mot_par_a=9, mot_par_b=0,
                              mot_par_c=110, mot_par_d=15, mot_par_e=0, mot_par_f=110,
                              max_polygons=120, palette="Rainbow.pal", colour_step=5)),
    ("Figure Eight", dict(mot_par_a=6, mot_par_b=0, mot_par_c=100, mot_par_d=12,
                          mot_par_e=0, mot_par_f=90, sides={4: 100}, palette="Sunset.pal")),
    ("Orbit", dict(mot_par_a=10, mot_par_b=0, mot_par_c=80, mot_par_d=10, mot_par_e=0,
                   mot_par_f=80, sides={6: 100}, in_out=True, palette="Electric.pal",
                   colour_step=6)),
    ("Jumping Stars", dict(tagged=True, rotation="no_rotation", motion="ran_jump_motion",
                           palette="Fire.pal", draw="draw_vertices", rub_out=False,
                           in_out=True, max_polygons=120, vanishing=4, perspective=60,
                           magnification=140, sides={5: 60, 6: 100, 8: 40},
                           shape_timing="shape_ran", shape_freq=50, mot_ran_freq=80,
                           palette_inc=16, colour_step=6)),
    ("Hopscotch", dict(motion="ran_jump_motion", distribution="ran_uniform",
                       mot_ran_freq=85, sides={4: 100}, rotation="no_rotation",
                       palette="Traffic_Lights.pal", colour_step=3)),
    ("Glide", dict(motion="ran_fluid_motion", mot_b_damping=100, sides={3: 100},
                   palette="Twilight.pal", ampl=20)),
    ("Quick Glide", dict(motion="ran_fluid_motion", mot_b_damping=15,
                         distribution="ran_uniform", sides={5: 100}, palette="Lava.pal")),
    ("Mouse Follower", dict(rotation="ran_rotation", rot_timing="rot_ran_ran",
                            motion="mouse_motion", palette="Ocean.pal",
                            sides={3: 80, 4: 60, 5: 30}, max_rot_speed=16,
                            min_rot_speed=-16, rot_ran_freq=60, mot_b_damping=100,
                            palette_inc=8, colour_step=8)),
    ("Chase the Pointer", dict(motion="mouse_motion", mot_b_damping=60, sides={6: 100},
                               palette="Phosphor.pal", ampl=40)),
    # --- Aspect: rings squeezed and pulsing.
    ("Breathing Hexagons", dict(tagged=True, rotation="sin_rotation", motion="no_motion",
                                colour="RGBwalk", sides={6: 100}, aspect_a_x=45,
                                aspect_a_y=45, aspect_f_x=10, aspect_f_y=14, ampl=30, freq=6,
                                precess=-10, control_points=7, eccentricity=6, Gamma=6,
                                palette_inc=-12, colour_step=14)),
    ("Pastel Pulse", dict(rotation="sin_rotation", motion="ran_jump_motion",
                          palette="Pastel_Rainbow.pal", aspect_sync=True, aspect_a_x=60,
                          aspect_a_y=30, aspect_f_x=24, aspect_f_y=-16,
                          sides={3: 50, 5: 100}, ampl=20, freq=20, precess=4,
                          mot_ran_freq=40, palette_inc=6, colour_step=10)),
    ("Heartbeat", dict(tagged=True, aspect_sync=True, aspect_a_x=40, aspect_a_y=40,
                       aspect_f_x=40, aspect_f_y=40, lock_xy_aspect=True, sides={8: 100},
                       motion="no_motion", palette="Cherry_Blossom.pal", ampl=10, freq=4)),
    ("Flattened Circles", dict(sides={10: 100}, aspect_a_x=100, aspect_a_y=35,
                               rotation="no_rotation", palette="Gold.pal")),
    ("Squeezebox", dict(aspect_a_x=80, aspect_a_y=0, aspect_f_x=18, aspect_f_y=0,
                        sides={4: 100}, palette="Copper.pal", motion="no_motion")),
    ("Jellyfish", dict(aspect_a_x=50, aspect_a_y=70, aspect_f_x=-12, aspect_f_y=20,
                       sides={7: 100}, in_out=True, motion="ran_fluid_motion",
                       mot_b_damping=80, palette="Aurora.pal", ampl=25)),
    # --- Vertex style: points instead of lines.
    ("Vertex Spiral", dict(tagged=True, palette="Rainbow.pal", draw="draw_vertices",
                           max_polygons=200, magnification=150,
                           perspective=20, sides={10: 100, 7: 50}, ampl=60, freq=3,
                           precess=20, mot_par_a=6, mot_par_c=40, mot_par_d=9, mot_par_f=40,
                           palette_inc=30, colour_step=4)),
    ("Star Field", dict(tagged=True, draw="draw_vertices", rotation="ran_rotation",
                        max_polygons=200, in_out=True, perspective=80, vanishing=0,
                        magnification=200, sides={10: 100}, max_rot_speed=60,
                        min_rot_speed=20, rot_ran_freq=95, motion="no_motion",
                        palette="Greys.pal", colour_step=3)),
    ("Dotted Helix", dict(draw="draw_vertices", sides={10: 100}, ampl=80, freq=4,
                          precess=12, max_polygons=150, palette="Electric.pal",
                          colour_step=8)),
    # --- Trails: nothing is erased.
    ("Trails", dict(rub_out=False, sides={3: 100}, motion="par_motion", mot_par_a=4,
                    mot_par_c=50, mot_par_d=5, mot_par_f=50, palette="Aurora.pal",
                    max_polygons=20)),
    ("Silk Scarf", dict(rub_out=False, sides={2: 100}, max_polygons=10, ampl=20, freq=6,
                        mot_par_a=3, mot_par_b=1, mot_par_c=90, mot_par_d=5, mot_par_e=1,
                        mot_par_f=70, palette="Twilight.pal", palette_inc=6,
                        colour_step=20)),
    # --- RGB walk: colours that wander on their own.
    ("Colour Walk", dict(tagged=True, colour="RGBwalk", control_points=6, eccentricity=8,
                         Gamma=4, sides={5: 100}, palette_inc=0, colour_step=12)),
    ("Deep Walk", dict(colour="RGBwalk", control_points=12, eccentricity=8, Gamma=10,
                       sides={4: 100, 6: 60}, shape_freq=80, ampl=60)),
    ("Slow Walk", dict(colour="RGBwalk", control_points=4, eccentricity=2, Gamma=1,
                       sides={8: 100}, in_out=True, motion="no_motion", palette_inc=4)),
    ("Racing Pentagons", dict(rotation="ran_rotation", motion="par_motion", colour="RGBwalk",
                              fix_speed=False, sides={5: 100}, max_rot_speed=40,
                              min_rot_speed=10, rot_ran_freq=70, mot_par_a=20, mot_par_b=7,
                              mot_par_c=70, mot_par_d=25, mot_par_e=3, mot_par_f=70,
                              control_points=4, eccentricity=10, Gamma=8, palette_inc=50,
                              colour_step=30)),
    # --- Mixed shapes.
    ("Shape Storm", dict(tagged=True, sides={1: 0, 2: 30, 3: 100, 4: 80, 5: 60, 6: 40},
                         shape_timing="shape_ran", shape_freq=95, ampl=50, freq=10,
                         palette="Plasma.pal", colour_step=8)),
    ("Polygon Parade", dict(sides={k: 100 for k in range(3, 11)}, shape_freq=75,
                            palette="Rainbow.pal", motion="ran_fluid_motion")),
    ("Crystal", dict(sides={3: 100, 6: 100}, shape_freq=88, ampl=20, precess=-8,
                     palette="Ice.pal", motion="no_motion", perspective=70)),
    ("Thorn Crown", dict(sides={2: 100, 3: 30}, shape_freq=96, rotation="sin_rotation",
                         ampl=120, freq=9, precess=5, palette="Lava.pal", motion="no_motion")),
    # --- Speed and scale.
    ("Slow Dance", dict(tagged=True, speed_scroll=15, sides={5: 100}, ampl=50, freq=20,
                        precess=10, palette="Twilight.pal", colour_step=14)),
    ("Hyperspace", dict(tagged=True, in_out=True, perspective=110, vanishing=0,
                        max_polygons=150, sides={4: 100}, speed_scroll=60,
                        rotation="sin_rotation", ampl=10, freq=8, precess=2,
                        palette="Electric.pal", colour_step=3, palette_inc=20)),
    ("Many Rings", dict(ranges={"max_polygons": (0, 500)}, max_polygons=300,
                        sides={3: 100}, ampl=8, freq=3, palette="Rainbow.pal",
                        colour_step=2, perspective=60)),
    ("Few Rings", dict(max_polygons=12, sides={6: 100}, rotation="ran_rotation",
                       rot_ran_freq=75, perspective=0, vanishing=30, palette="Neon.pal",
                       colour_step=40)),
    ("Giant Rings", dict(magnification=240, sides={3: 100}, palette="Sunset.pal",
                         perspective=10, ampl=70, freq=5, precess=6)),
    ("Desert Wind", dict(tagged=True, sides={3: 100, 4: 40}, motion="ran_fluid_motion",
                         mot_b_damping=90, palette="Desert.pal", ampl=35, freq=6,
                         precess=-4)),
    ("Greyscale", dict(sides={4: 100}, palette="Greys.pal", ampl=60, freq=5, precess=8)),
    # A palette name no file can have: the saver picks a palette at random each time.
    ("Surprise Colours", dict(tagged=True, palette="*", sides={4: 100, 5: 100}, shape_freq=70,
                              ampl=45, freq=7, precess=5, motion="ran_fluid_motion")),
    ("Forest Canopy", dict(tagged=True, sides={6: 100, 7: 60}, shape_freq=85,
                           palette="Forest.pal", motion="ran_fluid_motion", ampl=35)),
]


def line(name, *values):
    return f"{name:>20}\t" + " ".join(str(v) for v in values)


def setting_lines(values):
    v = dict(BASE)
    v.update(values)
    weights = {k: 0 for k in range(1, 11)}
    weights.update(v["sides"])
    chosen = {v[g] for g in ("rotation", "rot_timing", "shape_timing", "motion",
                             "distribution", "draw", "colour", "pause")}
    out = []
    for p in PARAMS:
        name, kind = p[0], p[1]
        if kind == "s":
            lo, hi = v["ranges"].get(name, (p[2], p[3]))
            if name.startswith("density"):
                pos = -weights[int(name[len("density"):])]
            else:
                pos = v[name]
            assert lo <= pos <= hi, (name, pos)
            out.append(line(name, lo, hi, pos))
        elif kind == "c":
            on = v["tagged"] if name == "Screensaver" else v[name]
            out.append(line(name, "TRUE" if on else "FALSE"))
        elif kind == "r":
            out.append(line(name, "TRUE" if name in chosen else "FALSE"))
        elif v["colour"] == "UsePalette":
            out.append(line(name, v["palette"]))
    return out


def main():
    known = set(BASE) | {"sides", "ranges"}
    names = set()
    text = ""
    for name, values in SETTINGS:
        assert name not in names, name
        names.add(name)
        assert set(values) <= known, set(values) - known
        text += "{ " + name + CRLF
        text += "".join(l + CRLF for l in setting_lines(values))
        text += "}" + CRLF
    with open(os.path.join(HERE, "Nimbrel_32_Settings.txt"), "w", newline="") as f:
        f.write(text)


if __name__ == "__main__":
    main()
