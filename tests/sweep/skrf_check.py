#!/usr/bin/env python3
"""Reads the sample sweep with scikit-rf, an independent Touchstone reader,
and compares its impedances with what an-sweep read. Skipped (exit 77) when
scikit-rf is not installed."""
import cmath
import csv
import io
import math
import subprocess
import sys

try:
    import skrf
except ImportError:
    print("scikit-rf is not installed: skipped")
    sys.exit(77)

an_sweep, sample = sys.argv[1], sys.argv[2]
ours = list(csv.DictReader(io.StringIO(
    subprocess.run([an_sweep, "--format", "csv", sample], check=True, capture_output=True, text=True).stdout)))
network = skrf.Network(sample)
failures = 0
for row, f_hz, z in zip(ours, network.f, network.z[:, 0, 0]):
    magnitude, phase = abs(z), math.degrees(cmath.phase(z))
    if (abs(float(row["frequency_MHz"]) - f_hz / 1e6) > 1e-9 * f_hz / 1e6
            or abs(float(row["magnitude_ohm"]) - magnitude) > 6e-4
            or abs(float(row["phase_deg"]) - phase) > 6e-4):
        print("differs at", row["frequency_MHz"], "MHz:", row, magnitude, phase)
        failures += 1
print(f"{len(ours) - failures} passed, {failures} failed")
sys.exit(1 if failures or len(ours) != len(network.f) else 0)
