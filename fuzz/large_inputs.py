#!/usr/bin/env python3
"""Runs every harness on inputs of 1 MiB and fails when one takes more processor time than the
limit (1 s unless given).

    fuzz/large_inputs.py BUILD_FOLDER [SECONDS]

BUILD_FOLDER is a fuzzing build (harnesses fuzz/fuzz_<name>, run with -runs=1 on one file at a
time) or an ordinary one (fuzz/fuzz_<name>_replay). The inputs: every seed of the harness
repeated to 1 MiB, random bytes, one byte over and over, only line ends, and a few shapes that
are costly for one reader (long names, deep keys, many sections; for the network check a set-up
of many targets and chains of heights and free set-ups against the order of the file)."""

import os
import random
import resource
import subprocess
import sys
import tempfile

MIB = 1 << 20
HERE = os.path.dirname(os.path.abspath(__file__))


def fill(piece: bytes) -> bytes:
    return (piece * (MIB // max(len(piece), 1) + 1))[:MIB]


def inputs(name: str):
    rng = random.Random(20261206)
    yield "random", bytes(rng.getrandbits(8) for _ in range(MIB))
    yield "one-byte", b"7" * MIB
    yield "blanks", b" " * MIB
    yield "lf", b"\n" * MIB
    yield "cr", b"\r" * MIB
    yield "crlf", b"\r\n" * (MIB // 2)
    yield "zero", b"\0" * MIB
    seeds = os.path.join(HERE, "corpus", name)
    for seed in sorted(os.listdir(seeds)):
        with open(os.path.join(seeds, seed), "rb") as f:
            yield "seed-" + seed, fill(f.read())
    if name == "fuzz_fieldfile":
        yield "one-set-up", b"7 101 S 1 1\r\n" + fill(b"7 111 T 1 99 5\r\n")
        yield "round-set", b"7 160 32000 32000\r\n" + fill(b"7 111 T 1 99 5\r\n")
        yield "long-word", b"7 111 " + fill(b"A")
    if name == "fuzz_check":
        yield "many-targets", (b"7 102 K1 1.5 1.6 K2 0\r\n" + b"".join(
            b"7 111 T%d %d 99 %d\r\n" % (i, i % 400, 10 + i % 500) for i in range(50000)))[:MIB]
        # Heights that reach one set-up further in every sweep: each set-up sees the station of
        # the one after it, the last one the known point.
        n = MIB // 44
        yield "height-chain", b"7 51 GR\r\n" + b"".join(
            b"7 102 S%d 1.5 1.6 %s 0\r\n7 111 %s 0 99 100\r\n"
            % (k, b"S%d" % (k - 1) if k > 1 else b"K1", b"S%d" % (k - 1) if k > 1 else b"K1")
            for k in range(n, 0, -1))
        # Free set-ups that place each other against the order of the file.
        chain = [b"7 51 GR\r\n"]
        for k in range(MIB // 150, 0, -1):
            a = b"Q%dA" % (k - 1) if k > 1 else b"K1"
            b = b"Q%dB" % (k - 1) if k > 1 else b"K2"
            chain.append(b"7 101 F%d 1.5 1.6\r\n7 111 %s 10 100 50\r\n7 111 %s 110 100 60\r\n"
                         b"7 111 Q%dA 210 100 70\r\n7 111 Q%dB 310 100 80\r\n" % (k, a, b, k, k))
        yield "free-chain", b"".join(chain)
    if name == "fuzz_idex":
        yield "points", fill(b"POINTS (1 2 3 4 5 6)\r\n")
    if name == "fuzz_cor":
        yield "points", b"$\r\n$\r\n" + fill(b"P1 1.0 2.0 3.0 x\r\n")
    if name == "fuzz_registry":
        head = b"REGEDIT4\r\n\r\n"
        yield "sections", head + fill(b"[HKEY_CURRENT_USER\\K\\L]\r\n\"A\"=\"b\"\r\n")[: MIB - 12]
        yield "many-keys", head + b"".join(
            b"[HKEY_CURRENT_USER\\K%d]\r\n" % i for i in range(40000))
        yield "deep-key", head + b"[HKEY_CURRENT_USER" + fill(b"\\a")[: MIB - 40] + b"]\r\n"
        yield "long-value", head + b"[HKEY_CURRENT_USER\\K]\r\n\"A\"=\"" + fill(b"x")[:MIB - 40] + b"\"\r\n"
        yield "continued", head + b"[HKEY_CURRENT_USER\\K]\r\n\"A\"=hex:" + fill(b"01,\\\r\n")[: MIB - 40]
    if name == "fuzz_commandline":
        yield "quotes", fill(b'"')
        yield "words", fill(b"0 a.prj ")


def main() -> int:
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    build = sys.argv[1]
    limit = float(sys.argv[2]) if len(sys.argv) > 2 else 1.0
    names = sorted(n for n in os.listdir(os.path.join(HERE, "corpus")))
    slow = 0
    with tempfile.TemporaryDirectory() as folder:
        for name in names:
            program = os.path.join(build, "fuzz", name)
            fuzzing = os.path.exists(program)
            if not fuzzing:
                program += "_replay"
            worst = (0.0, "")
            for label, data in inputs(name):
                path = os.path.join(folder, label)
                with open(path, "wb") as f:
                    f.write(data)
                command = [program, path] + (["-runs=1"] if fuzzing else [])
                # Processor time, not wall time: the machine may be shared.
                before = resource.getrusage(resource.RUSAGE_CHILDREN)
                result = subprocess.run(command, capture_output=True)
                after = resource.getrusage(resource.RUSAGE_CHILDREN)
                took = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
                if result.returncode != 0:
                    print(f"{name} {label}: exit {result.returncode}")
                    print(result.stderr.decode(errors="replace")[-2000:])
                    slow += 1
                if took > limit:
                    print(f"{name} {label}: {took:.2f} s")
                    slow += 1
                worst = max(worst, (took, label))
            print(f"{name}: slowest {worst[1]} {worst[0]:.2f} s")
    return 1 if slow else 0


if __name__ == "__main__":
    sys.exit(main())
