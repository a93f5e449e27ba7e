#!/usr/bin/env python3
"""Prints every speed figure of the release build in one run, each with the
baseline it is measured against:

  - one 629-point sweep (SweepDeviation) against the naive loop (sine,
    cosine and all four square roots inside the loop), CPU time medians of
    Google Benchmark;
  - the engine's sine, cosine and logarithm per call over the arguments the
    calculator meets, against their accurate paths alone (what the functions
    were before they had a quick path) and the C library's;
  - an-sweep on a 10001-point sample and on a 1,000,001-point file
    (--format csv), whole process, wall-clock medians and peak memory; the
    10001-point run also against bench/sweep_numpy.py, the numpy script a
    lab would write for the job (when Debian's python3 has numpy);
  - the calculator's launch to first paint under Xvfb with openbox against
    a bare Qt Widgets window of the same size (bench/bare_window.cpp);
  - the sweep window on the 1,000,001-point file, from its creation to its
    table and plot painted, and the longest its thread went without
    handling events meanwhile (bench/sweep_window_open.cpp), against an-sweep
    on the same file.

Usage: bench/compare.py [BUILD_DIR] [--baseline OLD_BUILD_DIR] [--runs N]
BUILD_DIR defaults to build/release. With --baseline, the an-sweep and
start-up figures of an older build are measured in the same run (its
bench/quillet_benchmarks too, when it has one).
"""
import argparse
import os
import pathlib
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent


def benchmark_medians(binary, names, runs):
    """CPU-time medians in ns of the named benchmarks."""
    out = subprocess.run([binary, f'--benchmark_filter=^({"|".join(names)})$',
                          f'--benchmark_repetitions={runs}', '--benchmark_report_aggregates_only=true',
                          '--benchmark_format=console'], capture_output=True, text=True, check=True).stdout
    medians = {}
    for line in out.splitlines():
        m = re.match(r'(\w+)_median\s+([\d.]+) (\w+)\s+([\d.]+) (\w+)', line)
        if m:
            scale = {'ns': 1, 'us': 1e3, 'ms': 1e6}[m.group(5)]
            medians[m.group(1)] = float(m.group(4)) * scale
    return medians


def timed(command, env=None):
    """Wall-clock seconds, peak resident memory (MB) and CPU seconds (user
    and system) of a whole process."""
    with tempfile.NamedTemporaryFile('r') as report:
        start = time.perf_counter()
        subprocess.run(['/usr/bin/time', '-f', '%M %U %S', '-o', report.name] + command, env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        elapsed = time.perf_counter() - start
        peak, user, system = report.read().split()[-3:]
        return elapsed, int(peak) / 1024, float(user) + float(system)


class Display:
    """Xvfb with openbox on a free display, for as long as the block runs."""

    def __enter__(self):
        number = next(n for n in range(90, 200) if not os.path.exists(f'/tmp/.X11-unix/X{n}'))
        self.name = f':{number}'
        self.xvfb = subprocess.Popen(['Xvfb', self.name, '-screen', '0', '1920x1080x24', '-nolisten', 'tcp'],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(f'/tmp/.X11-unix/X{number}'):
                break
            time.sleep(0.05)
        self.env = dict(os.environ, DISPLAY=self.name, QT_QPA_PLATFORM='xcb')
        self.wm = subprocess.Popen(['openbox'], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)
        return self

    def __exit__(self, *exc):
        for process in (self.wm, self.xvfb):
            process.terminate()
            process.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('build', nargs='?', default=str(ROOT / 'build/release'))
    parser.add_argument('--baseline')
    parser.add_argument('--runs', type=int, default=11)
    args = parser.parse_args()
    builds = [('this build', pathlib.Path(args.build))]
    if args.baseline:
        builds.append(('baseline', pathlib.Path(args.baseline)))

    print(f'Machine: {cpu_name()}, {os.cpu_count()} cores; load average {os.getloadavg()[0]:.2f} at the start')
    print()
    print('| figure | build | median | against | ratio |')
    print('|---|---|---|---|---|')

    for label, build in builds:
        bench = build / 'bench/quillet_benchmarks'
        if bench.exists():
            names = ['NaiveLoop', 'OneSweep', 'SweepToolPerPoint'] + [
                kind + name for kind in ('Engine', 'Accurate', 'CLibrary') for name in ('Sin', 'Cos', 'Log')]
            m = benchmark_medians(str(bench), names, args.runs)
            if 'NaiveLoop' in m and 'OneSweep' in m:
                print(f'| one sweep (CPU) | {label} | {m["OneSweep"] / 1e3:.2f} µs | naive loop '
                      f'{m["NaiveLoop"] / 1e3:.2f} µs | {m["NaiveLoop"] / m["OneSweep"]:.1f}x faster |')
            elif 'OneSweep' in m:
                print(f'| one sweep (CPU) | {label} | {m["OneSweep"] / 1e3:.2f} µs | | |')
            for name in ('Sin', 'Cos', 'Log'):  # 1024 calls an iteration
                engine, accurate, library = (m.get(f'{kind}{name}') for kind in ('Engine', 'Accurate', 'CLibrary'))
                if engine and accurate and library:
                    print(f'| engine {name.lower()} per call (CPU) | {label} | {engine / 1024:.1f} ns | accurate path '
                          f'alone {accurate / 1024:.0f} ns; C library {library / 1024:.1f} ns | '
                          f'{accurate / engine:.1f}x faster; {engine / library:.2f}x the C library |')
            if 'SweepToolPerPoint' in m:  # 100 points an iteration
                print(f'| one an-sweep point, one thread (CPU) | {label} | {m["SweepToolPerPoint"] / 1e5:.2f} µs'
                      f' | | |')

    with tempfile.TemporaryDirectory() as work:
        small, big = f'{work}/sample-10001.s1p', f'{work}/sample-1000001.s1p'
        for points, path in ((10001, small), (1000001, big)):
            subprocess.run([sys.executable, str(ROOT / 'samples/make_sample.py'), str(points), path], check=True)
        # Each build's runs alternate with the other's, so a spell of load
        # hits both alike; the first build's rows name the second's figures.
        small_runs = {label: [] for label, _ in builds}
        big_runs = {label: [] for label, _ in builds}
        for runs, path, extra, results in ((args.runs, small, [], small_runs), (3, big, ['--format', 'csv'], big_runs)):
            for _ in range(runs):
                for label, build in builds:
                    results[label].append(timed([str(build / 'apps/an-sweep')] + extra + [path]))
        # The numpy script a lab would write for the job, in the same spell
        # of load: Debian's python3 has numpy from python3-numpy.
        numpy_runs = []
        if subprocess.run(['/usr/bin/python3', '-c', 'import numpy'], capture_output=True).returncode == 0:
            for _ in range(args.runs):
                numpy_runs.append(timed(['/usr/bin/python3', str(ROOT / 'bench/sweep_numpy.py'), small]))

        def medians(results):
            return (statistics.median(r[0] for r in results), max(r[1] for r in results),
                    statistics.median(r[2] for r in results))

        base = builds[1][0] if len(builds) > 1 else None
        for label, _ in builds:
            seconds, _, cpu = medians(small_runs[label])
            against, ratio = 'target 0.05 s', ''
            if base and label != base:
                base_seconds, _, base_cpu = medians(small_runs[base])
                against = f'baseline {base_seconds:.3f} s ({base_cpu:.2f} s CPU); target 0.05 s'
                ratio = f'{seconds / base_seconds:.2f}x the time'
            print(f'| an-sweep, 10001 points, table | {label} | {seconds:.3f} s ({cpu:.2f} s CPU) | {against} | {ratio} |')
            if numpy_runs:
                numpy_seconds = statistics.median(r[0] for r in numpy_runs)
                print(f'| an-sweep, 10001 points, against bench/sweep_numpy.py | {label} | {seconds:.3f} s | '
                      f'numpy script {numpy_seconds:.3f} s; target 0.05x | {seconds / numpy_seconds:.3f}x the time |')
        for label, _ in builds:
            seconds, peak, cpu = medians(big_runs[label])
            against, ratio = 'target 1.0 s on 2 cores, 64 MB', ''
            if base and label != base:
                base_seconds, base_peak, base_cpu = medians(big_runs[base])
                against = (f'baseline {base_seconds:.2f} s ({base_cpu:.2f} s CPU), {base_peak:.0f} MB; '
                           f'target 1.0 s on 2 cores, 64 MB')
                ratio = f'{seconds / base_seconds:.2f}x the time'
            print(f'| an-sweep, 1,000,001 points, csv | {label} | {seconds:.2f} s ({cpu:.2f} s CPU), '
                  f'{peak:.0f} MB peak | {against} | {ratio} |')

    if shutil.which('Xvfb') and shutil.which('openbox'):
        with Display() as display:
            env = dict(display.env, QUILLET_EXIT_AFTER_FIRST_PAINT='1')
            bare = str(pathlib.Path(args.build) / 'bench/bare_window')
            for label, build in builds:
                calculator = str(build / 'apps/quillet')
                # Alternate, so a spell of load hits both alike.
                times = {'bare': [], 'calculator': []}
                for _ in range(args.runs):
                    times['bare'].append(timed([bare], env)[0])
                    times['calculator'].append(timed([calculator], env)[0])
                b, c = statistics.median(times['bare']), statistics.median(times['calculator'])
                print(f'| launch to first paint | {label} | {c * 1e3:.0f} ms | bare window {b * 1e3:.0f} ms '
                      f'| {c / b:.2f}x |')
            sweep_window_rows(builds, display.env, big_runs)
    else:
        print('| launch to first paint | | Xvfb or openbox missing | | |')


def sweep_window_rows(builds, env, big_runs):
    """The sweep window on the 1,000,001-point file: seconds to table and
    plot shown and the longest stall, medians of three runs, against
    an-sweep's own time on the file."""
    with tempfile.TemporaryDirectory() as work:
        big = f'{work}/sample-1000001.s1p'
        subprocess.run([sys.executable, str(ROOT / 'samples/make_sample.py'), '1000001', big], check=True)
        env = dict(env, XDG_RUNTIME_DIR=work)
        for label, build in builds:
            program = build / 'bench/sweep_window_open'
            if not program.exists():
                continue
            runs = [subprocess.run([str(program), big], env=env, capture_output=True, text=True,
                                   check=True).stdout.split() for _ in range(3)]
            seconds = statistics.median(float(r[0]) for r in runs)
            stall = statistics.median(int(r[1]) for r in runs)
            tool = statistics.median(r[0] for r in big_runs[label])
            print(f'| sweep window, 1,000,001 points, open to table and plot shown | {label} | {seconds:.2f} s, '
                  f'longest unresponsive {stall} ms (runs: {", ".join(r[1] for r in runs)} ms) | '
                  f'an-sweep --format csv {tool:.2f} s; target 3 s, 50 ms | {seconds / tool:.2f}x an-sweep |')


def cpu_name():
    for line in subprocess.run(['lscpu'], capture_output=True, text=True).stdout.splitlines():
        if line.startswith('Model name:'):
            return line.split(':', 1)[1].strip()
    return 'unknown processor'


if __name__ == '__main__':
    main()
