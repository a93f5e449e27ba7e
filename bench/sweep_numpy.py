#!/usr/bin/env python3
"""The baseline an-sweep's speed is measured against: what a lab's own
script for this job does, written the usual way with numpy. It reads a
one-port Touchstone file of S11 (RI, MA or DB; Hz to GHz), takes the AN
type 1 nominal impedance 50 ohm // (50 uH + 5 ohm), sweeps the EUT phase
over the calculator's grid (0 to 6.28 rad in steps of 0.01) at every point
and writes per point the largest and smallest receiver deviation in dB with
their EUT phases, the mean and standard deviation over the grid and whether
the impedance is within +-20 % and +-11.5 deg, as CSV on the standard
output. It is a timing baseline, not a second implementation to trust:
an-sweep's results come from the engine alone.

Usage: sweep_numpy.py FILE.s1p  (needs numpy: Debian's python3-numpy)
"""
import sys

import numpy as np

UNITS = {'hz': 1.0, 'khz': 1e3, 'mhz': 1e6, 'ghz': 1e9}
EUT_PHASES = np.arange(629) * 0.01  # rad, as the calculator sweeps them
CHUNK = 4096                         # points a step, so memory stays bounded


def read_touchstone(path):
    unit, form, z0 = 1e9, 'ma', 50.0  # Touchstone's defaults
    rows = []
    with open(path) as text:
        for line in text:
            line = line.split('!', 1)[0].strip()
            if not line:
                continue
            if line.startswith('#'):
                words = line[1:].lower().split()
                for i, word in enumerate(words):
                    if word in UNITS:
                        unit = UNITS[word]
                    elif word in ('ri', 'ma', 'db'):
                        form = word
                    elif word == 'r':
                        z0 = float(words[i + 1])
                continue
            rows.append(line.split()[:3])
    data = np.array(rows, dtype=float)
    f_hz, a, b = data[:, 0] * unit, data[:, 1], data[:, 2]
    if form == 'ri':
        s = a + 1j * b
    else:
        magnitude = 10 ** (a / 20) if form == 'db' else a
        s = magnitude * np.exp(1j * np.radians(b))
    return f_hz, z0 * (1 + s) / (1 - s), z0


def main():
    f_hz, z, z0 = read_touchstone(sys.argv[1])
    zn = 50 * (5 + 2j * np.pi * f_hz * 50e-6) / (50 + 5 + 2j * np.pi * f_hz * 50e-6)
    gm, gn = (z - z0) / (z + z0), (zn - z0) / (zn + z0)
    ge = np.exp(1j * EUT_PHASES)
    out = sys.stdout
    out.write('frequency_MHz,magnitude_ohm,phase_deg,highest_dB,highest_eut_deg,lowest_dB,lowest_eut_deg,'
              'mean_dB,standard_deviation_dB,within_tolerance\n')
    for start in range(0, len(f_hz), CHUNK):
        part = slice(start, start + CHUNK)
        m, n = gm[part, None], gn[part, None]
        ratio = np.abs(1 + m) / np.abs(1 - ge * m) * np.abs(1 - ge * n) / np.abs(1 + n)
        db = 20 * np.log10(ratio)
        high, low = db.argmax(axis=1), db.argmin(axis=1)
        rows = np.arange(db.shape[0])
        offset = z[part] / zn[part]
        within = (np.abs(np.abs(offset) - 1) <= 0.2) & (np.abs(np.degrees(np.angle(offset))) <= 11.5)
        table = np.column_stack([f_hz[part] / 1e6, np.abs(z[part]), np.degrees(np.angle(z[part])), db[rows, high],
                                 np.degrees(EUT_PHASES[high]), db[rows, low], np.degrees(EUT_PHASES[low]),
                                 db.mean(axis=1), db.std(axis=1), within])
        np.savetxt(out, table, delimiter=',', fmt='%.10g')


if __name__ == '__main__':
    main()
