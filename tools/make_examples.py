#!/usr/bin/env python3
"""Writes the example field files from true coordinates, booked as a total station books them.

    tools/make_examples.py            (writes examples/net1.fld and examples/net2.fld)

The known points are those of examples/net1.idx; the new points 2001 to 2003 are those of
examples/net1.cor (the adjustment's result), so the three files agree. Directions and zenith
angles in gon to 0.0001, distances to the millimetre, both faces where a surveyor measures them,
with the small differences between faces and rounds an instrument shows. net2.fld is net1.fld
with one blunder: a slope distance booked with two digits swapped.
"""
import math
from pathlib import Path

R, K = 6381000.0, 0.13  # the earth's radius and the refraction the check uses
GON = math.pi / 200.0

# East, north, height.
P = {
    "1001": (155000.000, 463000.000, 12.345),
    "1002": (155123.456, 463210.987, 11.000),
    "1003": (154870.310, 463188.020, 10.550),
    "1004": (155310.775, 462950.410, 13.105),
    "PM17": (155050.000, 463100.000, 4.812),
    "2001": (155087.1234, 463112.5678, 11.2345),
    "2002": (155171.0042, 463020.3317, 10.9871),
    "2003": (155102.7780, 463004.1195, 9.8750),
    "BOOM1": (155021.300, 463034.800, 14.200),
    "TOREN": (155061.450, 463163.200, 38.620),  # the church tower's cross: no distance
}


def bearing(a, b):
    (xa, ya, _), (xb, yb, _) = P[a], P[b]
    return math.atan2(xb - xa, yb - ya) / GON % 400.0


def sight(a, b, ih, th):
    """Zenith angle (gon) and slope distance from instrument over a to target over b."""
    (xa, ya, za), (xb, yb, zb) = P[a], P[b]
    h = math.hypot(xb - xa, yb - ya)
    v = (zb + th) - (za + ih) - h * h * (1.0 - K) / (2.0 * R)
    return math.atan2(h, v) / GON, math.hypot(h, v), h


def g(value):
    return f"{value % 400.0:.4f}"


def m(value):
    return f"{value:.3f}"


class Book:
    def __init__(self):
        self.lines = []

    def add(self, text):
        self.lines.append(text if text.startswith("*") else f"{len([l for l in self.lines if not l.startswith('*')]) + 1} {text}")


def book(blunder=False):
    b = Book()
    for line in ("21 XY", "22 1.0", "23 0.0 0.0 0.0", "51 GR", "53 M"):
        b.add(line)

    def obs(station, zero, target, ih, th, code, face2=False, distance=True, dd=0.0, dz=0.0,
            dist_err=0.0, text=None):
        z, s, _ = sight(station, target, ih, th)
        d = bearing(station, target) - zero + dd
        z += dz
        if face2:
            d, z = d + 200.0 + 0.0003, 400.0 - z + 0.0002
        distance_text = text if text else (m(s + dist_err) if distance else "0")
        b.add(f"111 {target} {g(d)} {g(z)} {distance_text} {code}")

    # 1001, oriented on 1002: both faces to the reference and to 2001; the tower by direction.
    b.add("* Opstelling op 1001, ori\xebntatie op 1002")
    zero = bearing("1001", "1002")
    b.add("102 1001 1.552 1.300 1002 0.0000")
    obs("1001", zero, "1002", 1.552, 1.3, "K1")
    obs("1001", zero, "2001", 1.552, 1.3, "K1")
    obs("1001", zero, "2002", 1.552, 1.3, "K1", dd=0.0002, dz=-0.0001)
    obs("1001", zero, "BOOM1", 1.552, 1.3, "BOOM")
    obs("1001", zero, "TOREN", 1.552, 0.0, "K1", distance=False)
    obs("1001", zero, "1002", 1.552, 1.3, "K1", face2=True, dist_err=-0.001)
    obs("1001", zero, "2001", 1.552, 1.3, "K1", face2=True, dist_err=0.001)
    b.add("105 1.800")
    _, _, h = sight("1001", "1003", 1.552, 1.8)
    b.add(f"112 1003 {g(bearing('1001', '1003') - zero)} {m(h)} 0 -K1")

    # 2001 with the azimuth to 1001.
    b.add("* Opstelling op 2001 met azimut naar 1001")
    zero = bearing("2001", "1001")
    b.add(f"103 2001 1.495 1.300 1001 {g(zero)} 0.0000")
    obs("2001", zero, "1001", 1.495, 1.3, "K1")
    obs("2001", zero, "2002", 1.495, 1.3, "K1", dd=-0.0002)
    if blunder:
        # The slope distance with two digits swapped (109.583 booked as 109.853).
        _, s, _ = sight("2001", "2003", 1.495, 1.3)
        t = m(s)
        obs("2001", zero, "2003", 1.495, 1.3, "K1", text=t[:-2] + t[-1] + t[-2])
    else:
        obs("2001", zero, "2003", 1.495, 1.3, "K1")
    obs("2001", zero, "TOREN", 1.495, 0.0, "K1", distance=False, dd=0.0001)

    # 2002, two rounds to three targets.
    b.add("* Opstelling op 2002 met richtingsreeksen")
    zero = bearing("2002", "2001")
    b.add("102 2002 1.601 1.300 2001 0.0000")
    b.add("160 2 2")
    obs("2002", zero, "2001", 1.601, 1.3, "K1")
    obs("2002", zero, "2003", 1.601, 1.3, "K1", dd=0.0001)
    obs("2002", zero, "1004", 1.601, 1.3, "K1", dz=0.0001)
    obs("2002", zero, "1004", 1.601, 1.3, "K1", dd=0.0003, dist_err=0.001)
    obs("2002", zero, "2003", 1.601, 1.3, "K1", dd=0.0004, dz=-0.0001)
    obs("2002", zero, "2001", 1.601, 1.3, "K1", dd=0.0002, dist_err=-0.001)
    b.add("161")

    # 2003, a free station: the circle's zero where the instrument happened to point.
    b.add("* Opstelling op 2003, hoogte van PM17")
    zero = 37.4185
    b.add("101 2003 1.450 1.300")
    obs("2003", zero, "PM17", 1.450, 1.3, "K2")
    obs("2003", zero, "2002", 1.450, 1.3, "K1")
    obs("2003", zero, "2001", 1.450, 1.3, "K1")
    obs("2003", zero, "2002", 1.450, 1.3, "K1", face2=True, dist_err=0.001)
    b.add(f"63 2003 {P['2003'][2]:.3f}")
    b.add("62 3001 155200.000 463050.000")
    b.add("61 3002 155250.000 463060.000 11.250")
    return "".join(line + "\r\n" for line in b.lines).encode("cp1252")


here = Path(__file__).resolve().parent.parent / "examples"
(here / "net1.fld").write_bytes(book())
(here / "net2.fld").write_bytes(book(blunder=True))
