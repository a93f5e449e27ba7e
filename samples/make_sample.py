#!/usr/bin/env python3
"""Synthesises samples/an-type1-sweep.s1p: a measured 50 ohm // (50 uH + 5 ohm)
artificial network from 150 kHz to 30 MHz whose error grows with frequency
(a few per cent in magnitude and degrees in phase at the low end, more above
10 MHz, where a parasitic capacitance and a longer lead start to show), as a
vector network analyser would write it: S11, real and imaginary part, 201
points on a logarithmic grid.
Usage: make_sample.py [POINTS [FILE]] (201 points into an-type1-sweep.s1p by
default; a larger sweep is handy for timing an-sweep).
"""
import cmath
import math
import sys

POINTS = int(sys.argv[1]) if len(sys.argv) > 1 else 201
OUTPUT = sys.argv[2] if len(sys.argv) > 2 else 'an-type1-sweep.s1p'
F_START, F_STOP = 150e3, 30e6


def nominal(f_hz):
    branch = complex(5.0, 2 * math.pi * f_hz * 50e-6)
    return 50 * branch / (50 + branch)


def measured(f_hz):
    x = math.log(f_hz / F_START) / math.log(F_STOP / F_START)  # 0 .. 1 across the sweep
    magnitude_error = 0.02 + 0.06 * x + 0.22 * x ** 4           # 2 % up to about 30 %
    phase_error = math.radians(1.0 + 3.0 * x + 12.0 * x ** 5)   # 1 degree up to 16 degrees
    ripple = 1 + 0.01 * math.sin(17 * x)                        # fixture ripple
    return nominal(f_hz) * (1 + magnitude_error) * ripple * cmath.exp(1j * phase_error)


with open(OUTPUT, 'w') as out:
    out.write('! Synthetic AN impedance measurement: 50 ohm // (50 uH + 5 ohm), type 1\n')
    out.write(f'! 150 kHz to 30 MHz, {POINTS} points; made by make_sample.py\n')
    out.write('# Hz S RI R 50\n')
    for i in range(POINTS):
        f = F_START * (F_STOP / F_START) ** (i / (POINTS - 1))
        z = measured(f)
        s = (z - 50) / (z + 50)
        out.write(f'{f:.1f} {s.real:.9f} {s.imag:.9f}\n')
