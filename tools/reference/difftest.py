#!/usr/bin/env python3
"""Random differential test: talvik-cli against the literal model in reference.py.

Usage: difftest.py [--cli PATH] [--cases N] [--seed S] [--keep DIR] [--only export|import]

For every case it writes random but plausible input files into a fresh
temporary directory, runs talvik-cli on them and compares every output byte
and every message with the model.  The first few failing cases are kept
under --keep (default /tmp/talvik-difftest) for a closer look.
"""

import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference as ref  # noqa: E402

# ------------------------------------------------------------------ random text

NAMES = [
    "P1", "P2", "P3", "p1", "p10", "ST1", "st1", "ST2", "1001", "1002", "2001", "10", "2",
    "A", "B", "C", "ABCDEFGHI", "ABCDEFGHIJ", "abcdefghiXYZ", "0", "Z9",
    "P\xe91", "\xe9t", "\xff", "\x9a1", "\x8aX", "\xf7x", "\xd7", "Q\x81", "\xa0A", "K7*",
]
NUMBERS = [
    "0", "1.5", "1.3", "-1", "399.99996", "0.00005", "0.00015", "0.00025", "-0.00004",
    "-0.00005", "200", "200.0001", "250", "300", "400", "400.5", "12.5A", "1E2", "12E", "1D2",
    ".5", "+3", "-.5", "1e999", "-1e999", "INF", "NAN", "X1", "3,5", "1234567.1", "155000.25",
    "-12.3045", "123.453", "5.073", "89.5959", "100", "99.5", "50", "2.5", "0.5", "-0",
    "1.e1", "1E+", "1E-400", "0.000050000001", "1.23456789", "155400.25", "1400.5",
]
CODES_IN_FILE = ["K1", "-K12", "K2", "k1", "--K1", "K", "X", "GR", "K12A", "-", "k12"]
SEL_CODES = ["K1", "K", "K12", "k1", " K2 ", "", "  ", "X", "GR"]
SIGMAS = ["0.003", "", "  ", " 0.5", "2", "x y", "0.0005", "1.0 "]
SEPS = [",", "|", ";", "#", "/", ":"]


def rnum(rng):
    r = rng.random()
    if r < 0.5:
        return rng.choice(NUMBERS)
    if r < 0.8:
        return "%.*f" % (rng.randint(0, 6), rng.uniform(-500, 500))
    if r < 0.9:
        return str(rng.randint(-5, 5))
    return "%.*f" % (rng.randint(0, 5), rng.uniform(0, 400))


def rname(rng, pool):
    if rng.random() < 0.15:
        return rng.choice(NAMES)
    return rng.choice(pool)


def fld_line(rng, code, fields):
    word0 = rng.choice(["1", "9", "A", "x", "0"])
    ctext = {0: str(code), 1: "%d.0" % code, 2: "0%d" % code, 3: str(code) + "x"}[
        rng.choice([0, 0, 0, 0, 0, 0, 1, 2, 3])
    ]
    if rng.random() < 0.01:
        ctext = "%d.5" % code
    if rng.random() < 0.3:  # missing fields at the end
        fields = fields[: rng.randint(0, len(fields))]
    words = [word0, ctext] + fields
    gap = lambda: " " * rng.choice([1, 1, 1, 2, 3])  # noqa: E731
    s = gap().join(words)
    if rng.random() < 0.2:
        s = " " * rng.randint(1, 3) + s
    if rng.random() < 0.2:
        s = s + " " * rng.randint(1, 3)
    if rng.random() < 0.1:
        s = s.lower()
    return s


def gen_survey(rng):
    """A plausible survey: set-ups, round sets with matching or nearly
    matching counts, face-2 readings, known points."""
    pool = rng.sample(NAMES, 10)
    lines = []
    if rng.random() < 0.5:
        lines.append(fld_line(rng, 51, [rng.choice(["GR", "DD", "DM"])]))
    for name in rng.sample(pool, 3):
        lines.append(fld_line(rng, rng.choice([61, 62, 117]), [name, rnum(rng), rnum(rng), rnum(rng)]))
    for _ in range(rng.randint(1, 5)):
        st = rng.choice(pool)
        c = rng.choice([101, 102, 102, 107, 103, 108])
        lines.append(fld_line(rng, c, [st, "1.5", "1.3", rng.choice(pool), rnum(rng), rnum(rng)]))
        use_round = rng.random() < 0.5
        n = rng.randint(0, 4)
        k = rng.randint(1, 4)
        count = (n + 1) * k
        if use_round:
            lines.append(fld_line(rng, 160, [str(n), str(k)]))
            count += rng.choice([0, 0, 0, -1, 1])
        else:
            count = rng.randint(0, 8)
        for _ in range(max(count, 0)):
            face2 = rng.random() < 0.3
            zen = "%.4f" % (rng.uniform(200.0001, 399.9999) if face2 else rng.uniform(0.0001, 200))
            code = 111 if rng.random() < 0.85 else 112
            if rng.random() < 0.1:
                lines.append(fld_line(rng, 105, [rnum(rng)]))
            lines.append(fld_line(rng, code, [rng.choice(pool), "%.4f" % rng.uniform(0, 400), zen, "%.3f" % rng.uniform(1, 500), rng.choice(CODES_IN_FILE)]))
        if use_round or rng.random() < 0.1:
            lines.append(fld_line(rng, 161, []))
    return "".join(ln + rng.choice(["\r\n", "\r\n", "\n", "\r"]) for ln in lines)


def gen_field(rng):
    if rng.random() < 0.35:
        return gen_survey(rng)
    pool = rng.sample(NAMES, 8)
    lines = []
    nlines = rng.randint(0, 80)
    in_round = False
    for _ in range(nlines):
        r = rng.random()
        if r < 0.03:
            lines.append(rng.choice(["", "   ", "1", " x ", "\t1 111 P1", "1 111 P\x001 5 300 2",
                                     "1 101 " + "X" * rng.randint(1, 3000), "1" + " " * 500 + "105 2",
                                     "1 111\x00 P1 1 1", "1 \x00", "\x1a", "1 62 N\t1 3 4"]))
            continue
        if r < 0.06:
            lines.append(fld_line(rng, 21, [rng.choice(["YX", "XY", "AYXB", "yx", "Y"])]))
            continue
        if r < 0.08:
            lines.append(fld_line(rng, 22, [rng.choice(["0.5", "2", "1", "-1", "0"])]))
            continue
        if r < 0.10:
            lines.append(fld_line(rng, 23, [rnum(rng), rnum(rng), rnum(rng)]))
            continue
        if r < 0.13:
            lines.append(
                fld_line(rng, 51, [rng.choice(["DM", "DD", "GR", "gr", "R", "G", "M", "D", "XX", "DMS"])])
            )
            continue
        if r < 0.15:
            lines.append(fld_line(rng, 53, [rng.choice(["M", "m", "F", "L", "FT"])]))
            continue
        if r < 0.22:
            c = rng.choice([61, 62, 117])
            lines.append(fld_line(rng, c, [rname(rng, pool), rnum(rng), rnum(rng), rnum(rng)]))
            continue
        if r < 0.25:
            c = rng.choice([63, 118])
            lines.append(fld_line(rng, c, [rname(rng, pool), rnum(rng)]))
            continue
        if r < 0.33:
            c = rng.choice([101, 102, 107, 103, 108])
            f = [rname(rng, pool), rnum(rng), rnum(rng), rname(rng, pool), rnum(rng), rnum(rng)]
            lines.append(fld_line(rng, c, f))
            continue
        if r < 0.36:
            lines.append(fld_line(rng, 105, [rnum(rng)]))
            continue
        if r < 0.40:
            if not in_round or rng.random() < 0.3:
                n = rng.choice(["0", "1", "2", "3", "2.5", "1.5", "-1", "-3", "40000", "3.4"])
                k = rng.choice(["1", "2", "3", "0", "2.5", "-1", "70000"])
                lines.append(fld_line(rng, 160, [n, k]))
                in_round = True
            else:
                lines.append(fld_line(rng, 161, [rng.choice(["", "x"])]))
                in_round = False
            continue
        c = 111 if rng.random() < 0.75 else 112
        zen = rnum(rng) if rng.random() < 0.4 else rng.choice(["100", "99.5", "300", "250", "200", "-1", "0", "399.99996", "200.00001"])
        f = [rname(rng, pool), rnum(rng), zen, rnum(rng), rng.choice(CODES_IN_FILE)]
        lines.append(fld_line(rng, c, f))
    out = []
    for ln in lines:
        out.append(ln)
        out.append(rng.choice(["\r\n", "\r\n", "\r\n", "\r", "\n"]))
    if out and rng.random() < 0.2:
        out.pop()
    return "".join(out)


IDEX_COLS = ["PointNo", "PointID", "East", "North", "Elevation", "Code", "LayerNo"]


def gen_idex(rng, names):
    sep = rng.choice(SEPS) if rng.random() < 0.3 else ","
    term = rng.choice([c for c in SEPS + [";"] if c != sep]) if rng.random() < 0.3 else ";"
    nl = lambda: rng.choice(["\r\n", "\r\n", "\n", "\r"])  # noqa: E731
    out = []
    if rng.random() < 0.2:
        out.append("junk before")
    out.append(rng.choice(["HEADER", "header", "  HEADER"]))
    out.append("  VERSION      1.20")
    if sep != "," or rng.random() < 0.2:
        out.append('  SEPARATOR "%s"' % sep)
    if term != ";" or rng.random() < 0.2:
        out.append('  TERMINATOR "%s"' % term)
    if rng.random() < 0.05:
        out.append("  SEPARATOR ,")
        sep = " "
    if rng.random() < 0.05:
        out.append("  END NOTHEADER")
    if rng.random() < 0.95:
        out.append(rng.choice(["END HEADER", "end header", "END   HEADER"]))
    out.append("")
    if rng.random() < 0.3:
        out += ["DEFINITIONS", "  LAYERS (LayerNo,Name,Flags)", '    0,  "L",  00000001;', "  END LAYERS", "END DEFINITIONS"]
    out.append("DATABASE")
    if rng.random() < 0.3:
        out += ["  LINES (LineNo,Flags)", "    1, 2;", "  END LINES"]
    cols = IDEX_COLS[:]
    if rng.random() < 0.3:
        rng.shuffle(cols)
    if rng.random() < 0.2:
        cols = [c for c in cols if rng.random() < 0.8]
    joiner = sep if rng.random() < 0.9 else sep + " "
    collist = joiner.join(cols)
    r = rng.random()
    if r < 0.15 and len(cols) > 2:
        k = collist.find(sep)
        out.append("  POINTS (" + collist[: k + 1])
        out.append("   " + collist[k + 1:] + ")")
    elif r < 0.18:
        out.append("  POINTS (" + collist)  # never closed
    else:
        out.append("  POINTS (" + collist + ")")
    npts = rng.randint(0, 25)
    for i in range(1, npts + 1):
        vals = {
            "PointNo": str(i),
            "PointID": rng.choice(['"%s"' % rng.choice(names), rng.choice(names), '""', '"', '"A B"', ""]),
            "East": rnum(rng),
            "North": rnum(rng),
            "Elevation": rnum(rng),
            "Code": '"GR"',
            "LayerNo": "0",
        }
        fields = [vals[c] for c in IDEX_COLS]
        gap = rng.choice(["", " ", "  "])
        rec = (sep + gap).join(fields)
        if rng.random() < 0.1:
            k = rec.find(sep, len(rec) // 2)
            if k < 0:
                k = len(rec) // 2
            out.append("    " + rec[:k])
            out.append("    " + rec[k:] + term)
        elif rng.random() < 0.03:
            out.append("    " + rec)  # no terminator at all
        else:
            out.append("    " + rec + term + rng.choice(["", "", " trailing"]))
        if rng.random() < 0.05:
            out += ["    EXTRAINFO", "      whatever, 1, 2;", "    END EXTRAINFO"]
        if rng.random() < 0.01:
            out.append("    extrainfo")
    if rng.random() < 0.1:
        # odd lines: each a plausible slip of a hand-edited file
        k = rng.randint(0, len(out))
        out.insert(k, rng.choice(["EOF", "  SEPARATOR \"", "  TERMINATOR x", "  POINTS(PointNo,PointID)",
                                  "  points (pointno,pointid,east,north,elevation)", "ENDX", "  END",
                                  "  END HEADER", "DATABASE", "    7,\x00Q,1,2,3;", "\t8,T,1,2,3;",
                                  '    9,"Q\xe9",1,2,3;', "    EXTRAINFO 1;", '    10,"\xff\x9a",4,5,6;']))
    if rng.random() < 0.9:
        out.append("  END POINTS")
        out.append("END DATABASE")
    text = ""
    for ln in out:
        text += ln + nl()
    if rng.random() < 0.1:
        text = text.rstrip("\r\n")
    return text


def gen_cor(rng):
    out = []
    structured = rng.random() < 0.6
    if structured:
        out += ["KORVU  V3.0.0  COR file", "$", "NAME", "$", "x", "$"]
    for _ in range(rng.randint(0, 40)):
        r = rng.random()
        if r < (0.03 if structured else 0.15):
            out.append(rng.choice(["$", " $ ", "$ x", "$*", "  $"]))
        elif r < 0.25:
            out.append(rng.choice(["", "   ", "text line", "a b c d"]))
        else:
            n = rng.choice([4, 5, 5, 5, 6, 7])
            words = [rng.choice(NAMES + ["p12", "K7*", "x^"])]
            for _ in range(n - 1):
                w = rnum(rng)
                w += rng.choice(["", "", "*", "^", "**", "^*", "*^"])
                words.append(w)
            if rng.random() < 0.1:
                words[1] = "*"
            gap = lambda: " " * rng.choice([1, 1, 2, 5])  # noqa: E731
            s = gap().join(words)
            if rng.random() < 0.1:
                s = "\t" + s
            if rng.random() < 0.2:
                s = "  " + s + "  "
            if rng.random() < 0.1:
                s = s.lower()
            out.append(s)
    return "".join(ln + rng.choice(["\r\n", "\r\n", "\n", "\r"]) for ln in out)


# ------------------------------------------------------------------ running


def utf8_of(s):
    """latin-1 str holding Windows-1252 bytes -> UTF-8 bytes."""
    out = []
    for ch in s:
        b = bytes([ord(ch)])
        try:
            out.append(b.decode("cp1252"))
        except UnicodeDecodeError:
            out.append(ch)
    return "".join(out).encode("utf-8")


def run_cli(cli, args, cfg):
    env = dict(os.environ)
    env["XDG_CONFIG_HOME"] = cfg
    env["LC_ALL"] = "C"
    p = subprocess.run([cli] + args, capture_output=True, env=env, timeout=60)
    msgs = [ln for ln in p.stderr.split(b"\n") if ln and not ln.startswith(b"talvik-cli: ")]
    return p.returncode, msgs


def export_case(rng, cli, work):
    field = gen_field(rng)
    idex_mode = rng.random()
    names = NAMES
    if idex_mode < 0.15:
        idex = False
    else:
        idex = gen_idex(rng, names)
    version = rng.choice([1, 3])
    face2to1 = rng.random() < 0.5
    sigmas = [rng.choice(SIGMAS) for _ in range(10)]
    codes = [rng.choice(SEL_CODES) for _ in range(rng.randint(1, 16))]
    cfg = os.path.join(work, "cfg")
    os.makedirs(cfg)
    fpath = os.path.join(work, "in.fld")
    with open(fpath, "wb") as fh:
        fh.write(field.encode("latin-1"))
    project = os.path.join(work, "out", "Net1.prj")
    os.makedirs(os.path.dirname(project))
    args = ["export", "--field", fpath, "--project", project, "--no-save", "--overwrite",
            "--package-version", str(version), "--face2", "reduce" if face2to1 else "series"]
    if idex is not False:
        ipath = os.path.join(work, "in.idx")
        with open(ipath, "wb") as fh:
            fh.write(idex.encode("latin-1"))
        args += ["--idex", ipath]
    opts = ["--abs-hor", "--rel-hor", "--abs-dis", "--rel-dis", "--abs-ver", "--rel-ver",
            "--sd-xy", "--sd-z", "--sigma-cent", "--sigma-inst"]
    for o, v in zip(opts, sigmas):
        args += [o, v]
    for c in codes:
        args += ["--code", c]
    rc, msgs = run_cli(cli, args, cfg)
    files, emsgs = ref.export(field, idex, project, version, face2to1, sigmas, codes)
    problems = []
    base = project[:-4]
    for suffix in (".PRJ", ".OBS", ".TOB", ".TCO"):
        path = base + suffix
        got = open(path, "rb").read() if os.path.exists(path) else None
        want = files[suffix].encode("latin-1") if suffix in files else None
        if got != want:
            problems.append(("file " + suffix, want, got))
    want_msgs = [utf8_of(m) for m in emsgs]
    if msgs != want_msgs:
        problems.append(("messages", want_msgs, msgs))
    return problems, {"field": field, "idex": idex, "args": args}


def import_case(rng, cli, work):
    cor = gen_cor(rng)
    layer = rng.choice(["PUNTEN", " A ", "Laag 1", "  ", "", "x"])
    code = rng.choice(["GR", " GR", "", " ", "k1 "])
    cfg = os.path.join(work, "cfg")
    os.makedirs(cfg)
    cpath = os.path.join(work, "in.cor")
    with open(cpath, "wb") as fh:
        fh.write(cor.encode("latin-1"))
    ipath = os.path.join(work, "out.idx")
    args = ["import", "--cor", cpath, "--idex", ipath, "--layer", layer, "--code", code, "--no-save"]
    rc, msgs = run_cli(cli, args, cfg)
    text, emsgs = ref.import_cor(cor, layer, code)
    problems = []
    got = open(ipath, "rb").read() if os.path.exists(ipath) else None
    want = text.encode("latin-1") if text is not None else None
    if got != want:
        problems.append(("file .idx", want, got))
    want_msgs = [utf8_of(m) for m in emsgs]
    if msgs != want_msgs:
        problems.append(("messages", want_msgs, msgs))
    return problems, {"cor": cor, "args": args}


def first_diff(a, b):
    if a is None or b is None:
        return "one side missing: want=%r got=%r" % (a is not None, b is not None)
    if isinstance(a, list):
        return "want %r\n      got  %r" % (a, b)
    al = a.split(b"\r\n")
    bl = b.split(b"\r\n")
    for i in range(max(len(al), len(bl))):
        x = al[i] if i < len(al) else None
        y = bl[i] if i < len(bl) else None
        if x != y:
            return "line %d\n      want %r\n      got  %r" % (i + 1, x, y)
    return "?"


def main():
    ap = argparse.ArgumentParser()
    here = os.path.dirname(os.path.abspath(__file__))
    ap.add_argument("--cli", default=os.path.join(here, "..", "..", "build-ref", "app", "talvik-cli", "talvik-cli"))
    ap.add_argument("--cases", type=int, default=2000)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--keep", default=os.path.join(tempfile.gettempdir(), "talvik-difftest"))
    ap.add_argument("--only", choices=["export", "import"])
    ap.add_argument("--show", type=int, default=5, help="failing cases to print")
    a = ap.parse_args()
    cli = os.path.abspath(a.cli)
    agreed = 0
    failed = 0
    for case in range(a.cases):
        rng = random.Random(a.seed * 1000003 + case)
        kind = a.only or ("import" if rng.random() < 0.25 else "export")
        work = tempfile.mkdtemp(prefix="tdt")
        try:
            fn = export_case if kind == "export" else import_case
            problems, inputs = fn(rng, cli, work)
            if problems:
                failed += 1
                if failed <= a.show:
                    print("case %d (%s) differs:" % (case, kind))
                    for what, want, got in problems:
                        print("  %s: %s" % (what, first_diff(want, got)))
                    keep = os.path.join(a.keep, "case%d" % case)
                    shutil.rmtree(keep, ignore_errors=True)
                    shutil.copytree(work, keep)
            else:
                agreed += 1
        finally:
            shutil.rmtree(work, ignore_errors=True)
    print("%d cases agreed, %d differed" % (agreed, failed))
    # A run that compared nothing proves nothing.
    return 0 if failed == 0 and agreed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
