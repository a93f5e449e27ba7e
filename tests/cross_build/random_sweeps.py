#!/usr/bin/env python3
"""Writes measured sweeps of every kind the readers take, with random points
near and far from a nominal AN, for comparing the reports of two builds.
Deterministic: the same files for the same arguments.

    random_sweeps.py FOLDER [POINTS]
"""
import math
import random
import sys

folder = sys.argv[1]
points = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
rng = random.Random(23)


def impedance(f_mhz, unbounded=False):
    """Near a 50 ohm // 50 uH AN mostly, anything now and then; with
    unbounded, now and then without a positive real part too."""
    x = 2 * math.pi * f_mhz * 50
    nominal = 50 * complex(5, x) / complex(55, x)
    chance = rng.random()
    if unbounded and chance < 0.001:
        return complex(rng.uniform(-5, 0), rng.uniform(-600, 600))  # no bound
    if chance < 0.1:
        return complex(rng.uniform(0.01, 600), rng.uniform(-600, 600))
    return nominal * rng.uniform(0.7, 1.3) * complex(math.cos(d := math.radians(rng.uniform(-20, 20))), math.sin(d))


def frequencies():
    f = 0.009
    for _ in range(points):
        yield f
        f *= 1 + rng.uniform(1e-6, 16 / points)  # up to about 30 MHz


for parameter, form in (("S", "DB"), ("Z", "MA"), ("Y", "RI"), ("S", "MA")):
    with open(f"{folder}/sweep-{parameter}-{form}.s1p", "w", newline="\n") as out:
        out.write(f"! random sweep\n# MHz {parameter} {form} R 50\n")
        for f in frequencies():
            z = impedance(f)
            value = {"S": (z - 50) / (z + 50), "Z": z / 50, "Y": 50 / z if z else 1e9}[parameter]
            magnitude, angle = abs(value), math.degrees(math.atan2(value.imag, value.real))
            if form == "DB":
                a, b = (20 * math.log10(magnitude) if magnitude else -400.0), angle
            elif form == "MA":
                a, b = magnitude, angle
            else:
                a, b = value.real, value.imag
            out.write(f"{f:.10g} {a:.12g} {b:.12g}\n")

with open(f"{folder}/sweep.csv", "w", newline="\n") as out:
    out.write("Frequency (kHz);|Z| (Ohm);Phase (deg)\n")
    for f in frequencies():
        z = impedance(f, unbounded=True)
        out.write(f"{f * 1000:.10g};{abs(z):.9g};{math.degrees(math.atan2(z.imag, z.real)):.9g}\n".replace(".", ","))
