#!/usr/bin/env python3
"""Compares an-sweep's reading of Touchstone version 1 files with scikit-rf,
an independent reader: the sample sweep, and the same impedances written as
S, Y and Z data in RI, MA and DB form against a 75 ohm reference. Needs
Debian's python3-scikit-rf, which the test command installs."""
import cmath
import csv
import io
import math
import os
import subprocess
import sys
import tempfile

import numpy

# Debian 12's scikit-rf still names numpy.complex and numpy.float, aliases
# that its numpy has dropped; they were the builtins all along.
for alias, builtin in (("complex", complex), ("float", float), ("int", int)):
    if alias not in numpy.__dict__:
        setattr(numpy, alias, builtin)

try:
    import skrf
except ImportError:
    sys.exit("scikit-rf is missing: apt-get install python3-scikit-rf (./build.sh test does)")

an_sweep, sample = sys.argv[1], sys.argv[2]


def ours(path):
    out = subprocess.run([an_sweep, "--format", "csv", path], check=True, capture_output=True, text=True).stdout
    return list(csv.DictReader(io.StringIO(out)))


def pair(value, form):
    if form == "RI":
        return value.real, value.imag
    magnitude, angle = abs(value), math.degrees(cmath.phase(value))
    return (20 * math.log10(magnitude) if form == "DB" else magnitude), angle


def write(path, parameter, form, reference, impedances):
    with open(path, "w") as out:
        out.write(f"# MHz {parameter} {form} R {reference}\n")
        for i, z in enumerate(impedances):
            value = {"S": (z - reference) / (z + reference), "Z": z / reference, "Y": reference / z}[parameter]
            out.write("%d %.12g %.12g\n" % ((i + 1,) + pair(value, form)))


# Pairs of (file for an-sweep, file for scikit-rf). Debian's scikit-rf reads
# S data only, so Y and Z files are checked against the same impedances
# written as S data.
def fixtures(directory):
    yield sample, sample
    impedances = [complex(33.4, 32.7), complex(50.1, 9.8), complex(61.0, 18.2), complex(120.0, -40.0)]
    reference = 75.0
    for form in ("RI", "MA", "DB"):
        twin = os.path.join(directory, f"S_{form}.s1p")
        write(twin, "S", form, reference, impedances)
        for parameter in "SYZ":
            path = os.path.join(directory, f"{parameter}_{form}.s1p")
            write(path, parameter, form, reference, impedances)
            yield path, twin


failures = checked = 0
with tempfile.TemporaryDirectory() as directory:
    for path, twin in fixtures(directory):
        network = skrf.Network(twin)
        rows = ours(path)
        if len(rows) != len(network.f):
            print(path, ": point counts differ")
            failures += 1
        for row, f_hz, z in zip(rows, network.f, network.z[:, 0, 0]):
            checked += 1
            magnitude, phase = abs(z), math.degrees(cmath.phase(z))
            if (abs(float(row["frequency_MHz"]) - f_hz / 1e6) > 1e-9 * f_hz / 1e6
                    or abs(float(row["magnitude_ohm"]) - magnitude) > 6e-4
                    or abs(float(row["phase_deg"]) - phase) > 6e-4):
                print("differs:", path, row, magnitude, phase)
                failures += 1
print(f"{checked - failures} passed, {failures} failed")
sys.exit(1 if failures else 0)
