#!/usr/bin/env python3
"""Compares an-sweep's reading of Touchstone version 1 files with scikit-rf,
an independent reader: the sample sweep, and the same impedances written as
S, Y and Z data in RI, MA and DB form against a 75 ohm reference. Skipped
(exit 77) when scikit-rf is not installed."""
import cmath
import csv
import io
import math
import os
import subprocess
import sys
import tempfile

try:
    import skrf
except ImportError:
    print("scikit-rf is not installed: skipped")
    sys.exit(77)

an_sweep, sample = sys.argv[1], sys.argv[2]


def ours(path):
    out = subprocess.run([an_sweep, "--format", "csv", path], check=True, capture_output=True, text=True).stdout
    return list(csv.DictReader(io.StringIO(out)))


def pair(value, form):
    if form == "RI":
        return value.real, value.imag
    magnitude, angle = abs(value), math.degrees(cmath.phase(value))
    return (20 * math.log10(magnitude) if form == "DB" else magnitude), angle


def fixtures(directory):
    yield sample
    impedances = [complex(33.4, 32.7), complex(50.1, 9.8), complex(61.0, 18.2), complex(120.0, -40.0)]
    reference = 75.0
    for parameter in "SYZ":
        for form in ("RI", "MA", "DB"):
            path = os.path.join(directory, f"{parameter}_{form}.s1p")
            with open(path, "w") as out:
                out.write(f"# MHz {parameter} {form} R {reference}\n")
                for i, z in enumerate(impedances):
                    value = {"S": (z - reference) / (z + reference), "Z": z / reference, "Y": reference / z}[parameter]
                    out.write("%d %.12g %.12g\n" % ((i + 1,) + pair(value, form)))
            yield path


failures = checked = 0
with tempfile.TemporaryDirectory() as directory:
    for path in fixtures(directory):
        network = skrf.Network(path)
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
