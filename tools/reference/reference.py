#!/usr/bin/env python3
"""Deliberately literal model of Talvik's export and import.

Everything here is written as plainly as possible (linear searches, the
exchange sort, the element-by-element face-2 shift, the word splitter that
removes doubled blanks one at a time) so that it can serve as an independent
oracle for the C++ code on random inputs.  It is slow on purpose.

All texts are handled as Python str decoded with latin-1, which maps every
byte to one code point and back, so file contents pass through unchanged.
"""

import re

CRLF = "\r\n"
INT16_MAX = 32767
INT16_MIN = -32768


# ---------------------------------------------------------------- text helpers


def to_upper(s):
    out = []
    for ch in s:
        c = ord(ch)
        if 0x61 <= c <= 0x7A:
            c -= 0x20
        elif 0xE0 <= c <= 0xFE and c != 0xF7:
            c -= 0x20
        elif c == 0x9A:
            c = 0x8A
        elif c == 0x9C:
            c = 0x8C
        elif c == 0x9E:
            c = 0x8E
        elif c == 0xFF:
            c = 0x9F
        out.append(chr(c))
    return "".join(out)


def trim_blanks(s):
    start = 0
    while start < len(s) and s[start] == " ":
        start += 1
    end = len(s)
    while end > start and s[end - 1] == " ":
        end -= 1
    return s[start:end]


_NUMBER = re.compile(r"[+-]?(?:[0-9]+(?:\.[0-9]*)?|\.[0-9]+)(?:[eE][+-]?[0-9]+)?")


def numeric_value(word):
    m = _NUMBER.match(word)
    if not m:
        return 0.0
    v = float(m.group(0))
    if v in (float("inf"), float("-inf")):
        return 0.0
    return v


def round_half_even_int16(v):
    """Whole number nearest to v, halves to even; None when outside 16 bits."""
    if v != v:
        return None
    r = round(v)  # Python rounds halves to even
    if r < INT16_MIN or r > INT16_MAX:
        return None
    return int(r)


def sat16(v):
    if v > INT16_MAX:
        return INT16_MAX
    if v < INT16_MIN:
        return INT16_MIN
    return v


def fit9(name):
    if len(name) >= 9:
        return name[:9]
    return name + " " * (9 - len(name))


def split_lines(data):
    """Lines ended by CR LF, CR or LF; a last line without end is a line."""
    lines = []
    cur = []
    i = 0
    n = len(data)
    while i < n:
        ch = data[i]
        if ch == "\r":
            lines.append("".join(cur))
            cur = []
            if i + 1 < n and data[i + 1] == "\n":
                i += 1
        elif ch == "\n":
            lines.append("".join(cur))
            cur = []
        else:
            cur.append(ch)
        i += 1
    if cur:
        lines.append("".join(cur))
    return lines


def split_words(line, sep=" "):
    rest = to_upper(trim_blanks(line))
    double = sep + sep
    while True:
        k = rest.find(double)
        if k < 0:
            break
        rest = rest[: k + len(sep)] + rest[k + 2 * len(sep):]
    if rest.startswith(sep):
        rest = rest[len(sep):]
        if rest.endswith(sep):
            rest = rest[: len(rest) - len(sep)]
    words = []
    while rest != "":
        k = rest.find(sep)
        if k < 0:
            words.append(rest)
            rest = ""
        else:
            words.append(rest[:k])
            rest = rest[k + len(sep):]
    return words


# ---------------------------------------------------------------- numbers


def format_value(value, fmt="###########0.0000"):
    t = "%.4f" % value
    if t.startswith("-") and t[1:].strip("0.") == "":
        t = t[1:]
    t = t.replace(",", ".")
    if fmt.endswith("*"):
        t += "*"
    return t


def format_angle(value, angle_unit, fmt="###########0.0000"):
    t = format_value(value, fmt)
    if t.startswith("400."):
        t = "  " + t[2:]
    if angle_unit == 0:
        p = t.find(".")
        t = t[:p] + " " + t[p + 1: p + 3] + " " + t[p + 3:]
    return "  " + t


# ---------------------------------------------------------------- tables


class PointRecord:
    __slots__ = ("name", "x", "y", "z", "has", "used")

    def __init__(self):
        self.name = fit9("")
        self.x = 0.0
        self.y = 0.0
        self.z = 0.0
        self.has = False
        self.used = False


class Obs:
    __slots__ = ("station", "target", "ih", "th", "az", "dir", "zen", "dist", "dist2")

    def __init__(self):
        self.station = fit9("")
        self.target = fit9("")
        self.ih = 0.0
        self.th = 0.0
        self.az = 0.0
        self.dir = 0.0
        self.zen = 0.0
        self.dist = 0.0
        self.dist2 = 0.0

    def copy(self):
        o = Obs()
        for k in Obs.__slots__:
            setattr(o, k, getattr(self, k))
        return o


# ---------------------------------------------------------------- IDEX reader


class _LineSource:
    def __init__(self, lines):
        self.lines = lines
        self.i = 0

    def eof(self):
        return self.i >= len(self.lines)

    def raw(self):
        s = self.lines[self.i]
        self.i += 1
        return s

    def line(self):
        return to_upper(trim_blanks(self.raw()))


def read_idex(data, messages):
    """data: str (latin-1) or None for a missing file. Returns Points list."""
    points = [PointRecord()]
    if data is None:
        return points
    src = _LineSource(split_lines(data))
    separator = ","
    terminator = ";"

    def skip_to(keyword):
        while not src.eof():
            if keyword in to_upper(src.raw()):
                return

    def keyword_line():
        if src.eof():
            return "EOF", ""
        s = src.line()
        k = s.find(" ")
        if k >= 0:
            return s[:k], trim_blanks(s[k:])
        return s, ""

    skip_to("HEADER")
    complete = False
    while True:
        kw, val = keyword_line()
        if kw == "SEPARATOR":
            separator = val[1] if len(val) >= 2 else " "
        elif kw == "TERMINATOR":
            terminator = val[1] if len(val) >= 2 else " "
        elif kw == "END" and val == "HEADER":
            complete = True
            break
        elif kw == "EOF":
            break
    if not complete:
        messages.append("Er is een probleem met de Kavrin tekening")
    skip_to("DATABASE")
    while True:
        kw, val = keyword_line()
        if kw == "EOF":
            break
        if kw == "POINTS":
            _read_points(src, val, separator, terminator, points)
            break
    return points


def _read_points(src, value, separator, terminator, points):
    keywords = ["POINTNO", "POINTID", "EAST", "NORTH", "ELEVATION"]
    positions = [0, 0, 0, 0, 0]
    k = value.find("(")
    text = value[k + 1:] if k >= 0 else value
    text = to_upper(trim_blanks(text))
    while not text.endswith(")"):
        if src.eof():
            return  # list never closed: the table ends here
        text += src.line()
    text = text[:-1]
    names = text.split(separator)
    for number, name in enumerate(names, start=1):
        for c in range(5):
            if keywords[c] == name:
                positions[c] = number
                break
    while not src.eof():
        line = src.line()
        if line.startswith("END"):
            return
        if line.startswith("EXTRAINFO"):
            while not src.eof():
                if src.line().startswith("END"):
                    break
            continue
        if terminator not in line and not src.eof():
            line += src.line()
        # a last record without terminator is taken as it stands
        values = _parse_record(line, separator, terminator, positions)
        p = PointRecord()
        p.name = fit9(values[1] if values[1] != "" else values[0])
        p.x = numeric_value(values[2])
        p.y = numeric_value(values[3])
        p.z = numeric_value(values[4])
        p.has = True
        p.used = False
        points.append(p)


def _parse_record(line, separator, terminator, positions):
    k = line.find(terminator)
    if k >= 0:
        line = line[:k]
    values = ["", "", "", "", ""]
    number = 0
    while True:
        number += 1
        k = line.find(separator)
        if k >= 0:
            field = line[:k]
            line = line[k + 1:]
            last = False
        else:
            field = line
            last = True
        field = trim_blanks(field)
        for c in range(5):
            if positions[c] == number:
                if field != "" and field[0] == '"':
                    field = field[1:-1] if len(field) >= 2 else ""
                values[c] = field
                break
        if last:
            break
    return values


# ---------------------------------------------------------------- field file


class _Reader:
    def __init__(self, points, face2to1, selcodes, messages):
        self.points = points
        self.face2to1 = face2to1
        self.selcodes = list(selcodes) + [""] * (16 - len(selcodes))
        self.messages = messages
        self.reversed = False
        self.scale = 1.0
        self.xoff = 0.0
        self.yoff = 0.0
        self.zoff = 0.0
        self.angle_unit = 0
        self.obs = [Obs()]
        self.station = fit9("")
        self.ih = 0.0
        self.th = 0.0
        self.work = Obs()
        self.block_open = False
        self.round_targets = []  # positions 0 .. np1
        self.np1 = -1  # last position of the list (n + 1)
        self.rounds = 0
        self.collected = 0
        self.observed = 0
        self.position = 0
        self.step = 0
        self.prev_step = 0
        self.seen160 = False

    # -- helpers
    def mark_used(self, name):
        key = fit9(name)
        for i in range(1, len(self.points)):
            if self.points[i].name == key:
                self.points[i].used = True
                return
        p = PointRecord()
        p.name = key
        p.used = True
        self.points.append(p)

    def selected(self, code):
        if code.startswith("-"):
            code = code[1:]
        for entry in self.selcodes:
            e = trim_blanks(entry)
            if e != "" and code[: len(e)] == e:
                return True
        return False

    # -- records
    def handle(self, w):
        code = numeric_value(w[1])
        f = lambda n: w[n] if n < len(w) else None  # noqa: E731
        num = lambda n: numeric_value(w[n]) if n < len(w) else None  # noqa: E731
        if code == 21:
            if f(2) is not None:
                self.reversed = "YX" in f(2)
        elif code == 22:
            if f(2) is not None:
                self.scale = num(2)
        elif code == 23:
            if not self.reversed:
                if f(2) is not None:
                    self.xoff = num(2)
                if f(3) is not None:
                    self.yoff = num(3)
            else:
                if f(2) is not None:
                    self.yoff = num(2)
                if f(3) is not None:
                    self.xoff = num(3)
            if f(4) is not None:
                self.zoff = num(4)
        elif code == 51:
            if f(2) is not None:
                self.angle_unit = ("DM DD GR".find(f(2)) + 1) // 3
        elif code == 53:
            if f(2) is not None and f(2) != "M":
                self.messages.append(
                    "Eenheid voor afstanden staat ingesteld op: "
                    + ("US Voeten" if f(2) == "F" else "Schakels")
                )
        elif code in (61, 62, 117):
            p = PointRecord()
            if f(2) is not None:
                p.name = fit9(f(2))
            if code == 61 and f(5) is not None:
                p.z = num(5) * self.scale + self.zoff
            p.used = True
            p.has = True
            a = num(3)
            b = num(4)
            if not self.reversed:
                if a is not None:
                    p.x = a * self.scale + self.xoff
                if b is not None:
                    p.y = b * self.scale + self.yoff
            else:
                if b is not None:
                    p.x = b * self.scale + self.xoff
                if a is not None:
                    p.y = a * self.scale + self.yoff
            self.points.append(p)
        elif code in (63, 118):
            if f(2) is not None:
                key = fit9(f(2))
                for i in range(1, len(self.points)):
                    if self.points[i].name == key:
                        if f(3) is not None:
                            self.points[i].z = num(3) * self.scale + self.zoff
                        break
        elif code in (101, 102, 107, 103, 108):
            if f(2) is not None:
                self.station = fit9(f(2))
            if f(3) is not None:
                self.ih = num(3)
            if f(4) is not None:
                self.th = num(4)
            if code == 101:
                self.mark_used(self.station)
            elif code in (102, 107):
                r = Obs()
                r.station = self.station
                if f(5) is not None:
                    r.target = fit9(f(5))
                r.ih = self.ih
                r.th = self.th
                if f(6) is not None:
                    r.dir = num(6)
                r.zen = -1.0
                self.obs.append(r)
                self.block_open = False
                self.mark_used(self.station)
                if f(5) is not None:
                    self.mark_used(f(5))
            else:
                r = Obs()
                r.station = self.station
                if f(5) is not None:
                    r.target = fit9(f(5))
                r.ih = self.ih
                r.th = self.th
                if f(6) is not None:
                    r.az = num(6)
                if f(7) is not None:
                    r.dir = num(7)
                self.obs.append(r)
                self.mark_used(self.station)
                if f(5) is not None:
                    self.mark_used(f(5))
        elif code == 105:
            if f(2) is not None:
                self.th = num(2)
        elif code in (111, 112):
            w = list(w)
            self.round_bookkeeping(w)
            f = lambda n: w[n] if n < len(w) else None  # noqa: E731
            if f(6) is not None and not self.selected(f(6)):
                return
            if code == 111:
                o = self.work
                o.station = self.station
                if f(2) is not None:
                    o.target = fit9(f(2))
                o.ih = self.ih
                o.th = self.th
                if f(3) is not None:
                    o.dir = num(3)
                if f(4) is not None:
                    o.zen = num(4)
                if f(5) is not None:
                    o.dist = num(5)
                o.az = 0.0
                o.dist2 = 0.0
                if o.zen > 200 and self.face2to1:
                    if o.dir < 200:
                        o.dir = o.dir + 200
                    else:
                        o.dir = o.dir - 200
                    o.zen = 400 - o.zen
                if o.zen > 200:
                    self.separate(o.copy())
                else:
                    self.obs.append(o.copy())
            else:
                r = Obs()
                r.station = self.station
                if f(2) is not None:
                    r.target = fit9(f(2))
                r.ih = self.ih
                r.th = self.th
                if f(3) is not None:
                    r.dir = num(3)
                if f(4) is not None:
                    r.dist2 = num(4)
                self.obs.append(r)
            self.mark_used(self.station)
            if f(2) is not None:
                self.mark_used(f(2))
        elif code == 160:
            v = num(2)
            if v is not None:
                np1 = round_half_even_int16(v + 1)
                # positions 0 to n + 1: a last position below -1 makes no list
                if np1 is not None and np1 >= -1:
                    self.np1 = np1
                    self.round_targets = [""] * (np1 + 1)
                    self.seen160 = True
            v = num(3)
            if v is not None:
                r = round_half_even_int16(v)
                if r is not None:
                    self.rounds = r
            self.collected = 0
            self.observed = 0
            self.position = 0
        elif code == 161:
            if self.seen160:
                if self.collected != self.np1 or self.observed != self.rounds * self.np1:
                    self.messages.append(
                        "Mismatch in aantallen waarnemingen voor standplaats: " + self.station
                    )
            self.rounds = 0

    def round_bookkeeping(self, w):
        # a round set counts only once a record 160 has made a list
        if self.rounds != 0 and self.seen160:
            self.observed = sat16(self.observed + 1)
            if self.collected < self.np1:
                self.collected = sat16(self.collected + 1)
                self.position = self.collected
                if len(w) > 2 and 0 <= self.position < len(self.round_targets):
                    self.round_targets[self.position] = w[2]
                self.step = 0
            else:
                if len(w) > 2 and 0 <= self.position < len(self.round_targets):
                    w[2] = self.round_targets[self.position]
                if self.step == 0:
                    self.step = 1 if self.position == 1 else -1
                else:
                    if self.position == 1 or self.position == self.collected:
                        self.step = 0
                self.position = sat16(self.position + self.step)
        if self.step == -1 and self.prev_step == 0:
            r = Obs()
            r.station = self.station
            r.target = fit9("0")
            r.ih = self.ih
            r.th = self.th
            r.dir = 0.0
            r.zen = -1.0
            self.obs.append(r)
            self.block_open = False
        self.prev_step = self.step

    def separate(self, work):
        obs = self.obs
        last = len(obs) - 1
        found = False
        for i in range(last, 0, -1):
            if obs[i].zen == -1:
                found = True
                break
        if not found:
            obs.append(work)
            return
        if not self.block_open:
            self.block_open = True
            obs.append(Obs())
            obs.append(Obs())
        else:
            obs.append(Obs())
        dest = len(obs) - 1
        source = last
        while True:
            obs[dest] = obs[source].copy()
            dest -= 1
            if obs[source].zen == -1:
                break
            source -= 1
        obs[dest] = work


# ---------------------------------------------------------------- writers

SIGMA_KEYS = [
    "SigmaAbsR          ",
    "SigmaRelR          ",
    "SigmaAbsS          ",
    "SigmaRelS          ",
    "SigmaAbsZ          ",
    "SigmaRelZ          ",
    "SigmaLatLon        ",
    "SigmaHgt           ",
    "SigmaCentr         ",
    "SigmaInstr         ",
]


def export(field, idex, project, version, face2to1, sigmas, codes):
    """field: str or None (missing); idex: str, None (missing file) or False
    (no IDEX file given).  sigmas: ten texts in the order AbsHor, RelHor,
    AbsDis, RelDis, AbsVer, RelVer, SDXY, SDZ, SigmaCent, SigmaInst.
    Returns (files: dict suffix -> str, messages: list of str)."""
    messages = []
    if idex is False:
        points = [PointRecord()]
    else:
        points = read_idex(idex, messages)
    if field is None:
        messages.append("Kavrin FIELD file niet gevonden; Afgebroken.")
        return {}, messages
    dir_sig = " " + sigmas[0] + " " + sigmas[1] + " "
    dis_sig = " " + sigmas[2] + " " + sigmas[3] + " "
    zen_sig = " " + sigmas[4] + " " + sigmas[5] + " "
    header = "KORVU  V1.0    " if version == 1 else "KORVU  V3.0.0  "
    dim = "" if version == 1 else "  3D"
    base = trim_blanks(project)
    base = base[: len(base) - 4]
    netname = to_upper(base)

    prj = [
        header + "PRJ FILE",
        "$ NETWORK NAME",
        netname,
        "$ INCLUDED FILE TYPES",
        "TERCOORD       YES",
        "GPSCOORD       NO",
        "TEROBSERV      YES",
        "GPSOBSERV      NO",
        "$ GEOMETRY PARAMETERS",
        "DIMENSION      2",
        "PROJECTION     RD",
        "ELLIPSOID      BESSEL_1841",
        "PROJSCALEFAC   0.99990790",
        "FALSEEASTING   155000.000",
        "FALSENORTHING  463000.000",
        "$ ADJUSTMENT PARAMETERS",
        "ADJDESIGN      ADJUST",
        "PHASE          2",
    ]
    obsl = [header + ("TOB file" if version == 1 else "OBS file"), "$ NETWORK NAME", netname, "$"]
    tco = [header + "TCO file", "$ NETWORK NAME", netname, "$", "PROJECTION     RD", "$"]

    rd = _Reader(points, face2to1, codes, messages)
    for line in split_lines(field):
        w = split_words(line, " ")
        if len(w) < 2:
            continue
        rd.handle(w)

    unit = "DMSDEGGON"[3 * rd.angle_unit: 3 * rd.angle_unit + 3]
    prj.append("ANGLEUNIT      " + unit)
    obsl.append("ANGLEUNIT      " + unit)
    obsl.append("$")

    # observation lines
    obs = rd.obs
    label = "    R0  "
    for i in range(1, len(obs)):
        r = obs[i]
        if r.zen < 0:
            count = 0
            for j in range(1, i + 1):
                if obs[j].zen < 0 and obs[j].station == r.station:
                    count += 1
            label = "    R" + str(count - 1) + "  "
            continue
        au = rd.angle_unit
        s = "TS  " if version == 3 else ""
        s += r.station + "    " + r.target
        s += "    " + format_value(r.ih)
        s += "    " + format_value(r.th)
        if not (r.dir == 0 and r.zen == 0):
            s += label + format_angle(r.dir, au)
            if version == 3:
                s += dir_sig
        if r.dist != 0:
            s += "    S0  " + format_value(r.dist)
            if version == 3:
                s += dis_sig
        if r.dist2 != 0:
            s += "    S0  " + format_value(r.dist2)
            if version == 3:
                s += dis_sig
        if r.zen != 0:
            s += "    Z0  " + format_angle(r.zen, au)
            if version == 3:
                s += zen_sig
        if r.az != 0:
            s += "    A0  " + format_angle(r.az, au)
            if version == 3:
                s += dir_sig
        s += dim
        obsl.append(s)
    obsl.append("$")

    # coordinate lines
    n = len(points) - 1
    for i in range(1, n):
        for j in range(i + 1, n + 1):
            if points[i].name.encode("latin-1") > points[j].name.encode("latin-1"):
                points[i], points[j] = points[j], points[i]
    for i in range(2, n + 1):
        if points[i].name == points[i - 1].name:
            if points[i].has:
                points[i - 1], points[i] = points[i], points[i - 1]
            points[i].used = False
    for i in range(1, n + 1):
        p = points[i]
        if not p.used:
            continue
        fmt = "###########0.0000" + ("*" if p.has else "")
        tco.append(
            "  " + p.name + "  " + format_value(p.x, fmt) + "  " + format_value(p.y, fmt)
            + "  " + format_value(p.z, fmt)
        )
    tco.append("$")

    prj.append("$ PRECISION AND TESTING PARAMETERS")
    prj.append("$ DEFAULT STANDARD DEVIATIONS")
    for k in range(10):
        if trim_blanks(sigmas[k]) != "":
            prj.append(SIGMA_KEYS[k] + sigmas[k])
    prj.append("$ ADDITIONAL PARAMETERS")
    prj.append("$ PRINT OUTPUT SWITCHES")
    prj.append("$")

    files = {
        ".PRJ": CRLF.join(prj) + CRLF,
        (".TOB" if version == 1 else ".OBS"): CRLF.join(obsl) + CRLF,
        ".TCO": CRLF.join(tco) + CRLF,
    }
    return files, messages


# ---------------------------------------------------------------- import


def import_cor(cor, layer, code):
    """Returns (idex text or None, messages)."""
    messages = []
    bad = False
    if trim_blanks(layer) == "":
        messages.append("Helaas, gaat niet. Kavrin Laagnaam ontbreekt")
        bad = True
    if trim_blanks(code) == "":
        messages.append("Helaas, gaat niet. Kavrin Grondslagcode ontbreekt")
        bad = True
    if bad:
        return None, messages
    out = [
        "HEADER",
        "  VERSION      1.20",
        '  SYSTEM       "KAVRIN"',
        "END HEADER",
        "",
        "",
        "DEFINITIONS",
        "  LAYERS (LayerNo,Name,Flags)",
        '    0,  "' + layer + '",  00000001;',
        "  END LAYERS",
        "END DEFINITIONS",
        "",
        "",
        "DATABASE",
        "  POINTS (PointNo, PointID, East, North, Elevation, Code, LayerNo)",
    ]
    sections = 0
    count = 0
    for line in split_lines(cor):
        rest = trim_blanks(line)
        while "  " in rest:
            rest = rest.replace("  ", " ", 1)
        w = split_words(rest, " ")
        for i in range(1, len(w)):
            if w[i] != "" and w[i][-1] in "*^":
                w[i] = w[i][:-1]
        if len(w) == 1 and w[0] == "$":
            sections = sat16(sections + 1)
        elif len(w) >= 5 and sections == 3:
            count = sat16(count + 1)
            num = (" " + str(count)) if count >= 0 else str(count)
            out.append(
                "   " + num + ', "' + w[0] + '", ' + w[1] + ",  " + w[2] + ",  " + w[3]
                + ',  "' + code + '", 0;'
            )
    out.append("  END POINTS")
    out.append("END DATABASE")
    return CRLF.join(out) + CRLF, messages
