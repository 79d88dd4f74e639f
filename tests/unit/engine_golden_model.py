#!/usr/bin/env python3
"""Independent model of the ring engine, used to derive the golden checksums of
engine_golden_test.cpp. It follows the engine's rules step by step in plain Python,
sharing no code with the C++ engine; Python's floats and math functions are the same
IEEE doubles and C library as the engine's, so both must agree to the bit.

Run: python3 engine_golden_model.py   (prints name, drawing checksum, palette checksum)"""
import math

M32 = 0xFFFFFFFF

def w32(v):
    v &= M32
    return v - (1 << 32) if v >= (1 << 31) else v

def fix(i):  # integer part -> 16.16
    return w32(i << 16)

def fint(v):
    u = ((v & M32) >> 16)
    return u - 65536 if u >= 32768 else u

def aidx(v):
    return ((v & M32) >> 16) & 16383

def rnd(x):
    if x != x:
        return 0
    return int(round(x))

class Rng:
    def __init__(self, seed):
        self.seed = seed & M32
    def adv(self):
        self.seed = (self.seed * 134775813 + 1) & M32
    def random(self, n):
        self.adv()
        return (self.seed * (n & M32)) >> 32
    def real(self):
        self.adv()
        return self.seed / 4294967296.0
    def gaussian(self, mean, dev):
        while True:
            u = 2 * self.real() - 1
            v = 2 * self.real() - 1
            s = u * u + v * v
            if s < 1:
                break
        if s == 0:
            return mean
        return math.sqrt(-2 * math.log(s) / s) * u * dev + mean
    def sign(self):
        return 1 if self.random(1024) & 8 else -1

COS = [math.cos(2 * math.pi * i / 16384) for i in range(16384)]
SIN = [math.sin(2 * math.pi * i / 16384) for i in range(16384)]
SMOOTH = [(math.tanh((i - 8192) * 6.0 / 16384) + 1) * 0.5 for i in range(16384)]
SIDE_STEP = [0] + [16384 // k for k in range(1, 11)]

STATIC = {0: (0, 0, 0), 1: (128, 0, 0), 2: (0, 128, 0), 3: (128, 128, 0), 4: (0, 0, 128),
          5: (128, 0, 128), 6: (0, 128, 128), 7: (192, 192, 192), 8: (192, 220, 192),
          9: (166, 202, 240), 246: (255, 251, 240), 247: (160, 160, 164), 248: (128, 128, 128),
          249: (255, 0, 0), 250: (0, 255, 0), 251: (255, 255, 0), 252: (0, 0, 255),
          253: (255, 0, 255), 254: (0, 255, 255), 255: (255, 255, 255)}

class Fnv:
    def __init__(self):
        self.v = 14695981039346656037
    def add(self, x):
        u = x & 0xFFFFFFFFFFFFFFFF
        for i in range(8):
            self.v ^= (u >> (8 * i)) & 0xFF
            self.v = (self.v * 1099511628211) & 0xFFFFFFFFFFFFFFFF

# Parameter defaults: (Min, Max, Position) for scroll values, bool for checks/radios.
DEFAULTS = {
    'max_polygons': (0, 200, 50), 'vanishing': (0, 100, 0), 'perspective': (-128, 128, 0),
    'magnification': (0, 256, 100), 'in_out': False, 'rub_out': True,
    'aspect_sync': False, 'aspect_a_x': (0, 100, 100), 'aspect_a_y': (0, 100, 100),
    'aspect_f_x': (-128, 128, 0), 'aspect_f_y': (-128, 128, 0),
    'no_rotation': False, 'sin_rotation': False, 'ran_rotation': False,
    'ampl': (0, 256, 25), 'freq': (-128, 128, 10), 'precess': (-128, 128, 0),
    'max_rot_speed': (-128, 128, 0), 'min_rot_speed': (-128, 128, 0),
    'rot_ran_per': True, 'rot_ran_ran': False, 'rot_ran_freq': (2, 100, 2),
    'shape_per': True, 'shape_ran': False, 'shape_freq': (2, 100, 100),
    'no_motion': False, 'mouse_motion': False, 'ran_fluid_motion': False,
    'ran_jump_motion': False, 'par_motion': False, 'mot_b_damping': (0, 128, 50),
    'ran_gaussian': True, 'ran_uniform': False, 'mot_ran_freq': (2, 100, 2),
    'mot_par_a': (0, 128, 0), 'mot_par_b': (0, 128, 0), 'mot_par_c': (0, 128, 0),
    'mot_par_d': (0, 128, 0), 'mot_par_e': (0, 128, 0), 'mot_par_f': (0, 128, 0),
    'draw_solid': True, 'draw_vertices': False, 'UsePalette': False, 'RGBwalk': True,
    'control_points': (3, 16, 3), 'eccentricity': (1, 16, 2), 'Gamma': (1, 20, 1),
    'palette_inc': (-128, 128, 0), 'colour_step': (-128, 128, 10),
}
for k in range(1, 11):
    DEFAULTS['density%d' % k] = (-100, 0, -100 if k == 3 else 0)
GROUPS = [['no_rotation', 'sin_rotation', 'ran_rotation'], ['rot_ran_per', 'rot_ran_ran'],
          ['shape_per', 'shape_ran'],
          ['no_motion', 'mouse_motion', 'ran_fluid_motion', 'ran_jump_motion', 'par_motion'],
          ['ran_gaussian', 'ran_uniform'], ['draw_solid', 'draw_vertices'],
          ['UsePalette', 'RGBwalk']]

class Settings:
    def __init__(self, **kw):
        self.v = dict(DEFAULTS)
        self.palette_list = []
        self.palette_index = -1
        for k, x in kw.items():
            if isinstance(DEFAULTS[k], tuple):
                self.v[k] = self.v[k][:2] + (x,)
            else:
                if x:
                    for g in GROUPS:
                        if k in g:
                            for o in g:
                                self.v[o] = False
                self.v[k] = x
    def pos(self, k): return self.v[k][2]
    def max(self, k): return self.v[k][1]
    def on(self, k): return self.v[k]

class Window:
    def __init__(self):
        self.sum = Fnv()
    def begin(self): self.sum.add(1)
    def end(self): self.sum.add(2)
    def fill(self): self.sum.add(3)
    def polyline(self, pts, idx):
        self.sum.add(4); self.sum.add(idx); self.sum.add(len(pts))
        for x, y in pts:
            self.sum.add(x); self.sum.add(y)
    def pixel(self, x, y, idx):
        self.sum.add(5); self.sum.add(x); self.sum.add(y); self.sum.add(idx)

class Palette:
    def __init__(self):
        self.e = [(0, 0, 0, 0)] * 256
    def create(self, entries): self.e = list(entries)
    def animate(self, start, entries):
        for i, x in enumerate(entries):
            self.e[start + i] = x
    def read(self, start, count): return self.e[start:start + count]
    def checksum(self):
        f = Fnv()
        for e in self.e:
            for c in e:
                f.add(c)
        return f.v

def log_with_static(log):
    for i, c in STATIC.items():
        log[i] = c + (0,)

def read_palette_file(text):
    lines = text.split('\n')
    def line(k):
        return lines[k].rstrip('\r') if k < len(lines) else ''
    first = line(0).lstrip(' \t')
    digits = ''
    neg = False
    j = 0
    if first[:1] in '+-' and first[:1]:
        neg = first[0] == '-'; j = 1
    while j < len(first) and first[j].isdigit():
        digits += first[j]; j += 1
    n = 0 if (not digits or neg) else min(int(digits), 236)
    colours = []
    for k in range(n):
        s = line(1 + k)[:255]
        vals = []
        i = 0
        for c in range(3):
            while i < len(s) and s[i] == ' ':
                i += 1
            st = i
            while i < len(s) and s[i] != ' ':
                i += 1
            tok = s[st:i]
            neg = tok[:1] == '-'
            t = tok[1:] if tok[:1] in ('+', '-') and tok else tok
            d = ''
            for ch in t:
                if ch.isdigit(): d += ch
                else: break
            v = int(d) if d else 0
            vals.append((-v if neg else v) & 255)
        colours.append(tuple(vals) + (1,))
    return n, colours

class Animator:
    def __init__(self, rng, P, g, E):
        self.rng = rng
        self.P, self.E = P, E
        self.cc = (236 // P) * P
        self.K = self.cc // P
        self.pos = [[0] * 3 for _ in range(16)]
        self.vel = [[0] * 3 for _ in range(16)]
        for j in range(P):
            for c in range(3):
                self.pos[j][c] = rng.random(w32(254 - 2 * E)) + E + 1
                self.vel[j][c] = self.up()
                if rng.random(2) == 0:
                    self.vel[j][c] = -self.vel[j][c]
        A = math.exp(g / 2)
        self.gamma = []
        for i in range(256):
            B = math.exp((i / 255 - 0.5) * g)
            self.gamma.append(rnd((((A + 1) / (A - 1)) * 0.5 * ((B - 1) / (B + 1)) + 0.5) * 255))
        self.ramp = [[0, 0, 0] for _ in range(256)]
        self.out = [(0, 0, 0, 0)] * 256
        self.step()
    def up(self):
        return 0 if self.E <= 1 else self.rng.random(self.E) + 1
    def down(self):
        return 0 if self.E <= 1 else -self.rng.random(self.E) - 1
    def step(self):
        E = self.E
        for j in range(self.P):
            p, v = self.pos[j], self.vel[j]
            for c in range(3):
                p[c] += v[c]
            for c in range(3):
                if p[c] <= E: v[c] = self.up()
                elif p[c] >= 255 - E: v[c] = self.down()
            for c in range(3):
                if p[c] < 0: v[c] = self.up()
                if p[c] > 255: v[c] = -self.up()
        K = self.K
        p = self.P - 1
        for j in range(self.P):
            for s in range(K):
                for c in range(3):
                    self.ramp[p * K + s][c] = (rnd(s * (self.pos[j][c] - self.pos[p][c]) / K)
                                               + self.pos[p][c]) % 256
            p = j
        out = list(self.out)
        for i in range(self.cc):
            out[i] = tuple(self.gamma[self.ramp[i][c]] & 255 for c in range(3)) + (1,)
        self.out = out

def chance(m):
    l = math.log10(m) if m > 0 else -150.0
    return rnd((2 - l) * 50)

class Engine:
    def __init__(self, st, rng, w, h, files=None, cursor=None):
        self.st, self.rng, self.win, self.pal = st, rng, Window(), Palette()
        self.cursor = cursor
        self.log = [(0, 0, 0, 0)] * 256
        self.use_palette = st.on('UsePalette')
        self.cc = 0
        if self.use_palette:
            if st.palette_list:
                if st.palette_index < 0:
                    st.palette_index = rng.random(len(st.palette_list))
                name = st.palette_list[st.palette_index]
                if name in files:
                    n, cols = read_palette_file(files[name])
                    log_with_static(self.log)
                    for k, c in enumerate(cols):
                        self.log[10 + k] = c
                    self.pal.create(self.log)
                    self.cc = n
            if self.cc <= 0:
                self.use_palette = False
        self.anim = None
        if not self.use_palette:
            self.anim = Animator(rng, st.pos('control_points'), st.pos('Gamma'), st.pos('eccentricity'))
            self.cc = self.anim.cc
            log_with_static(self.log)
            for i in range(236):
                gv = rnd(i * 255.0 / 235)
                self.log[10 + i] = (gv, gv, gv, 1)
            self.pal.create(self.log)
            self.pal.animate(10, self.anim.out[:self.cc])
        self.cmax = self.cc - 1
        self.walk_offset = 0
        self.pphase = 0
        self.prate = w32(st.pos('palette_inc') * 5000)
        W, H = w, h
        self.cx = int((W - 1) / 2)
        self.cy = int((H - 1) / 2)
        self.sx, self.sy = self.cx // 4, self.cy // 4
        self.radius = min(self.cx, self.cy)
        self.win.begin(); self.win.fill(); self.win.end()
        # densities
        tot = 0
        self.cum = [0] * 11
        for k in range(1, 11):
            tot += -st.pos('density%d' % k)
            self.cum[k] = tot & 0xFFFF
        self.dtotal = w32(tot)
        self.aphx = self.aphy = 0
        N = st.pos('max_polygons')
        N = 50 if N == 0 else max(0, min(N, 500))
        self.N = N
        v = st.pos('vanishing') / (st.max('vanishing') + 1)
        S = self.radius * (4 / st.max('magnification')) * st.pos('magnification')
        d = (1 - v) / N
        q = 5 / st.max('perspective')
        p = st.pos('perspective')
        self.ampx = st.pos('aspect_a_x') / st.max('aspect_a_x')
        self.ampy = st.pos('aspect_a_y') / st.max('aspect_a_y')
        self.arx = st.pos('aspect_f_x') * 8
        self.ary = st.pos('aspect_f_y') * 8
        self.animated = st.pos('aspect_f_x') != 0 or st.pos('aspect_f_y') != 0
        def pw(b, e):
            return math.exp(e * math.log(b)) if b > 0 else 0.0
        self.rings = []
        for i in range(N + 1):
            z = v + (i if st.on('in_out') else N - i) * d
            if p >= 0:
                size = float(rnd(pw(z, 1 + p * q) * S))
            else:
                size = float(rnd((1 - pw(1 - z, 1 - p * q)) * S))
            r = dict(colour=0, spin=0, x=self.cx, y=self.cy, sides=self.pick(), changed=0,
                     ax=(1 - 0.5 * self.ampx) if self.animated else self.ampx,
                     ay=(1 - 0.5 * self.ampy) if self.animated else self.ampy,
                     size=size, angle=0, pts=[(0, 0)] * 11)
            self.vertices(r)
            self.rings.append(r)
        self.lead = self.rings[0]
        self.lead['colour'] = fix(self.rng.random(self.cmax))
        # shape
        self.shc = 0
        m = st.max('shape_freq') - st.pos('shape_freq')
        self.shp = m if st.on('shape_per') else chance(m)
        # rotation
        self.rotc = 0
        self.prec = fix(st.pos('precess') * 8)
        self.sinr = st.pos('freq') * 4
        self.sinp = 0
        self.sina = st.pos('ampl') * 2.0
        self.sprange = st.pos('max_rot_speed') - st.pos('min_rot_speed')
        m = st.max('rot_ran_freq') - st.pos('rot_ran_freq')
        self.rotp = m if st.on('rot_ran_per') else chance(m)
        if st.on('ran_rotation'):
            self.new_rotation()
            self.lead['changed'] = 0
        self.crate = w32(st.pos('colour_step') * 6000)
        self.cwrap = fix(self.cmax)
        # motion
        per = 400 / self.cx
        share = st.pos('mot_b_damping') / (st.max('mot_b_damping') + 1)
        if st.on('mouse_motion'):
            self.gain = min(per * (1 - share), 1.0)
        elif st.on('ran_fluid_motion'):
            self.gain = per * share
        else:
            self.gain = 0.0
        self.gfx = (st.max('mot_ran_freq') - st.pos('mot_ran_freq')) if st.on('ran_jump_motion') else 0
        self.gcx = self.gfy = self.gcy = 0
        self.grx = self.gry = self.gsx = self.gsy = self.gdx = self.gdy = 0
        self.pa = self.pb = self.pd = self.pe = 0
        self.ra, self.rb = st.pos('mot_par_a') * 2, st.pos('mot_par_b') * 2
        self.rd, self.re = st.pos('mot_par_d') * 2, st.pos('mot_par_e') * 2
        self.sc = st.pos('mot_par_c') / st.max('mot_par_c')
        self.sf = st.pos('mot_par_f') / st.max('mot_par_f')
        self.tx, self.ty = self.cx, self.cy
        if st.on('par_motion'):
            self.lead['x'], self.lead['y'] = self.par_pos()
        for r in self.rings[1:]:
            r['colour'] = -655360

    def pick(self):
        r = (self.rng.random(self.dtotal) + 1) & 0xFFFF
        for k in range(1, 11):
            if r <= self.cum[k]:
                return k
        return 0

    def vertices(self, r):
        n = r['sides']
        a = aidx(r['angle'])
        pts = list(r['pts'])
        if n >= 2:
            for k in range(n):
                pts[k] = (rnd(COS[a] * r['ax'] * r['size'] + r['x']),
                          rnd(SIN[a] * r['ay'] * r['size'] + r['y']))
                a = (a + SIDE_STEP[n]) & 16383
            pts[n] = pts[0]
        else:
            pts[0] = (rnd(COS[a] * r['ax'] * r['size']) + r['x'],
                      rnd(SIN[a] * r['ay'] * r['size']) + r['y'])
        r['pts'] = pts

    def outline(self, r, idx, vert):
        n = r['sides']
        p = r['pts']
        if vert:
            for k in range(n):
                self.win.pixel(p[k][0], p[k][1], idx)
        elif n > 2:
            self.win.polyline(p[:n + 1], idx)
        elif n == 2:
            self.win.polyline(p[:2], idx)
        else:
            self.win.pixel(p[0][0], p[0][1], idx)

    def new_rotation(self):
        L = self.lead
        L['angle'] = fix(self.rng.random(16384))
        a = self.rng.random(self.sprange) + self.st.pos('min_rot_speed')
        b = self.rng.random(8) + 8
        L['spin'] = fix(a * b)
        L['changed'] = 1

    def par_pos(self):
        x = rnd(self.cx * self.sc * COS[self.pa] * COS[self.pb]) + self.cx
        y = rnd(self.cy * self.sf * SIN[self.pd] * COS[self.pe]) + self.cy
        return x, y

    def rotate(self):
        self.pphase = w32(self.pphase + self.prate)
        s = fint(self.pphase)
        self.pphase = w32(self.pphase - fix(s))
        n = self.cc
        s = int(math.fmod(s, n)) if n else 0  # keeps the sign, like C++ %
        if self.use_palette:
            if s == 0:
                return
            old = self.pal.read(10, n)
            if s > 0:
                self.pal.animate(10, old[s:n])
                self.pal.animate(10 + n - s, old[:s])
            else:
                m = -s
                self.pal.animate(10 + m, old[:n - m])
                self.pal.animate(10, old[n - m:n])
        else:
            self.anim.step()
            self.walk_offset += s
            if self.walk_offset < 0:
                self.walk_offset += n
            elif self.walk_offset > n - 1:
                self.walk_offset -= n
            wo = self.walk_offset
            out = self.anim.out
            self.pal.animate(10, out[wo:n])
            self.pal.animate(10 + n - wo, out[:wo])

    def fluid(self, ax, pos, centre, spread):
        frames, counter, rate, start, dd = ax
        counter += 1
        if counter > frames:
            start = pos
            if self.st.on('ran_uniform'):
                dd = self.rng.random(2 * centre) - pos
            else:
                g = rnd(self.rng.gaussian(0, spread))
                dd = g * self.rng.sign() + (centre - pos)
            frames = abs(rnd(dd * self.gain))
            if frames > 0:
                counter, rate = 0, 16383 // frames
            else:
                counter, rate = 1, 16383
        return [frames, counter, rate, start, dd]

    def frame(self):
        st, L = self.st, self.lead
        self.win.begin()
        self.rotate()
        erase, sync, vert = st.on('rub_out'), st.on('aspect_sync'), st.on('draw_vertices')
        for i in range(self.N, 0, -1):
            o, inn = self.rings[i], self.rings[i - 1]
            if erase and inn['changed']:
                self.outline(o, 0, vert)
            for k in ('colour', 'spin', 'x', 'y', 'sides', 'changed', 'ax', 'ay'):
                o[k] = inn[k]
            o['angle'] = w32(inn['angle'] + inn['spin'])
            inn['changed'] = 0
            self.vertices(o)
            if sync:
                o['ax'], o['ay'] = L['ax'], L['ay']
            self.outline(o, (fint(o['colour']) + 10) & 255, vert)
        # aspect
        if self.animated:
            self.aphx = (self.aphx + self.arx) & 16383
            self.aphy = (self.aphy + self.ary) & 16383
            L['ax'] = 1 - (0.5 * SIN[self.aphx] + 0.5) * self.ampx
            L['ay'] = 1 - (0.5 * SIN[self.aphy] + 0.5) * self.ampy
            L['changed'] = 1
        # shape
        if st.on('shape_per'):
            self.shc += 1
            if self.shc > self.shp:
                self.shc = 0
                L['sides'] = self.pick(); L['changed'] = 1
        elif self.rng.random(100) < self.shp:
            L['sides'] = self.pick(); L['changed'] = 1
        # rotation
        if st.on('no_rotation'):
            pass
        elif st.on('sin_rotation'):
            L['angle'] = w32(L['angle'] + self.prec)
            self.sinp = (self.sinp + self.sinr) & 16383
            L['spin'] = fix(rnd(SIN[self.sinp] * self.sina))
            L['changed'] = 1
        elif st.on('rot_ran_per'):
            self.rotc += 1
            if self.rotc > self.rotp:
                self.rotc = 0
                self.new_rotation()
        elif st.on('rot_ran_ran'):
            if self.rng.random(100) < self.rotp:
                self.new_rotation()
        # colour
        if L['colour'] != -655360:
            c = L['colour'] + self.crate
            if c > self.cwrap: c -= self.cwrap
            elif c < 0: c += self.cwrap
            if c < 0 or c > self.cwrap:
                c = c % self.cwrap if self.cwrap > 0 else 0
            L['colour'] = c
        # motion
        if st.on('no_motion'):
            pass
        elif st.on('mouse_motion'):
            if self.cursor:
                self.tx, self.ty = self.cursor()
            L['x'] = rnd((self.tx - L['x']) * self.gain + L['x'])
            L['y'] = rnd((self.ty - L['y']) * self.gain + L['y'])
            L['changed'] = 1
        elif st.on('ran_fluid_motion'):
            ax = self.fluid([self.gfx, self.gcx, self.grx, self.gsx, self.gdx], L['x'], self.cx, self.sx)
            self.gfx, self.gcx, self.grx, self.gsx, self.gdx = ax
            ay = self.fluid([self.gfy, self.gcy, self.gry, self.gsy, self.gdy], L['y'], self.cy, self.sy)
            self.gfy, self.gcy, self.gry, self.gsy, self.gdy = ay
            L['changed'] = 1
            L['x'] = rnd(self.gdx * SMOOTH[(self.gcx * self.grx) & 16383]) + self.gsx
            L['y'] = rnd(self.gdy * SMOOTH[(self.gcy * self.gry) & 16383]) + self.gsy
        elif st.on('ran_jump_motion'):
            self.gcx += 1
            if self.gcx > self.gfx:
                self.gcx = 0
                if st.on('ran_uniform'):
                    L['x'] = self.rng.random(2 * self.cx)
                    L['y'] = self.rng.random(2 * self.cy)
                else:
                    L['x'] = self.cx - rnd(self.rng.gaussian(0, self.sx)) * self.rng.sign()
                    L['y'] = self.cy - rnd(self.rng.gaussian(0, self.sy)) * self.rng.sign()
                L['changed'] = 1
        elif st.on('par_motion'):
            self.pa = (self.pa + self.ra) & 16383
            self.pd = (self.pd + self.rd) & 16383
            self.pb = (self.pb + self.rb) & 16383
            self.pe = (self.pe + self.re) & 16383
            L['x'], L['y'] = self.par_pos()
            L['changed'] = 1
        self.win.end()


# The settings of engine_golden_test.cpp.

def dens(**w):
    d = {}
    for k in range(1, 11):
        d['density%d' % k] = 0
    for k, v in w.items():
        d['density%s' % k[1:]] = -v
    return d

def fancy():
    t = "40 colours\n"
    for k in range(40):
        t += ' ' * (k % 3) + str(k * 37 % 256) + ' ' * (1 + k % 2) + str(k * 91 + 5)
        if k != 17:
            t += ' ' + str(300 - k * 13)
        t += '\n'
    return t

G = [
 ('defaults_with_sine_and_fluid', 1234567, 150, dict(sin_rotation=True, ran_fluid_motion=True), {}, -1, False),
 ('random_everything_in_vertices', 42, 150, dict(ran_rotation=True, rot_ran_ran=True, rot_ran_freq=60,
    max_rot_speed=40, min_rot_speed=-20, shape_ran=True, shape_freq=70,
    **dens(d1=50, d2=30, d4=100, d6=70, d10=20), ran_jump_motion=True, ran_uniform=True, mot_ran_freq=90,
    draw_vertices=True, aspect_a_x=60, aspect_a_y=30, aspect_f_x=17, aspect_f_y=-9, in_out=True,
    perspective=-64, vanishing=20, control_points=16, Gamma=20, eccentricity=8, palette_inc=-128,
    colour_step=-37, max_polygons=80), {}, -1, False),
 ('mouse_with_palette_file_no_erase', 987654321, 150, dict(mouse_motion=True, mot_b_damping=126,
    no_rotation=True, aspect_sync=True, aspect_f_x=40, aspect_a_x=80, UsePalette=True, palette_inc=77,
    perspective=100, vanishing=30, **dens(d1=40, d2=40, d5=60, d10=30), rub_out=False, colour_step=128,
    max_polygons=60, magnification=180), {'g3.pal': fancy()}, -1, True),
 ('parametric_sine_with_three_colours', 7, 150, dict(par_motion=True, mot_par_a=37, mot_par_b=5,
    mot_par_c=100, mot_par_d=23, mot_par_e=11, mot_par_f=90, sin_rotation=True, ampl=200, freq=-33,
    precess=17, shape_freq=90, **dens(d2=100, d3=50, d7=50), UsePalette=True, palette_inc=128,
    colour_step=-128, max_polygons=40, vanishing=50),
    {'a.pal': "5\n1 2 3\n4 5 6\n7 8 9\n10 11 12\n13 14 15\n", 'b.pal': "3\n255 0 0\n0 255 0\n0 0 255\n"}, 1, False),
 ('periodic_random_rotation_full_densities', 31337, 120, dict(rot_ran_freq=80, max_rot_speed=100,
    min_rot_speed=10, no_motion=True, **dens(d1=100, d2=100, d3=100, d4=100, d5=100, d6=100, d7=100,
    d8=100, d9=100, d10=100), magnification=256, perspective=128, max_polygons=120, control_points=5,
    eccentricity=1, Gamma=7, palette_inc=50, shape_freq=97, colour_step=3), {}, -1, False),
 ('gaussian_jumps_periodic_rotation', 2718281, 150, dict(ran_jump_motion=True, mot_ran_freq=93,
    ran_rotation=True, rot_ran_freq=85, min_rot_speed=-30, max_rot_speed=30, in_out=True, vanishing=10,
    perspective=-128, shape_ran=True, shape_freq=40, **dens(d3=20, d4=20, d8=60), eccentricity=16,
    control_points=7, Gamma=3, palette_inc=9, colour_step=55, aspect_a_y=50, max_polygons=70), {}, -1, False),
]


def main():
  for name, seed, frames, kw, files, pidx, moving in G:
      st = Settings(**kw)
      st.palette_list = sorted(files.keys(), key=str.upper)
      st.palette_index = pidx
      rng = Rng(seed)
      k = [0]
      def cur():
          k[0] += 1
          return (k[0] * 7 % 160, k[0] * 3 % 120)
      e = Engine(st, rng, 160, 120, files, cur if moving else None)
      for f in range(frames):
          e.frame()
      print(name, e.win.sum.v, e.pal.checksum())


if __name__ == '__main__':
    main()
