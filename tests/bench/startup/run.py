#!/usr/bin/env python3
"""Start-up benchmark of Tecladim under Xvfb, beside a bare Qt window of the same size.

For each case the time from starting the process to its first mapped window is measured
(startup_map_time listens for the X MapNotify event), and the resident memory after about a
second of idling. Cases: the bare window, Tecladim in an empty folder (a first run), and
Tecladim over histories of 100,000 and 1,000,000 records. The cases take turns, run by run,
so that a busy machine slows them alike; medians are reported with the goals.

Usage: run.py [--build-dir DIR] [--runs N] [--large-runs N] [--skip-build]
"""
import argparse
import os
import pathlib
import shutil
import statistics
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
TOP = HERE.parents[2]
sys.path.insert(0, str(HERE))
import make_history  # noqa: E402

IDLE_MS = 1000
SCREEN = '1600x1000x24'


def build(build_dir: pathlib.Path) -> None:
    subprocess.run(['cmake', '-S', str(TOP), '-B', str(build_dir), '-DCMAKE_BUILD_TYPE=Release',
                    '-DTECLADIM_BUILD_BENCHMARKS=ON'], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(['cmake', '--build', str(build_dir), '-j2', '--target', 'tecladim',
                    'tecladim_sound', 'startup_bare_window', 'startup_map_time'], check=True)


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(['Xvfb', '-displayfd', str(write_end), '-noreset', '-screen', '0', SCREEN,
                               '-nolisten', 'tcp'], pass_fds=(write_end,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        number = reader.readline().strip()
    if not number:
        server.kill()
        sys.exit('Xvfb did not start')
    return server, ':' + number


def measure(tool, program, cwd, env, timeout_s):
    result = subprocess.run([str(tool), '--cwd', str(cwd), '--idle-ms', str(IDLE_MS),
                             '--timeout-ms', str(int(timeout_s * 1000)), '--', str(program)],
                            env=env, capture_output=True, text=True, timeout=timeout_s + 30)
    if result.returncode != 0:
        raise RuntimeError(result.stderr.strip() or 'startup_map_time failed')
    values = dict(item.split('=') for item in result.stdout.split())
    return float(values['map_ms']), int(values['rss_kb'])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--build-dir', default=str(TOP / 'build-bench'))
    parser.add_argument('--runs', type=int, default=10)
    parser.add_argument('--large-runs', type=int, default=10, help='runs of the 1,000,000-record case')
    parser.add_argument('--skip-build', action='store_true')
    args = parser.parse_args()

    build_dir = pathlib.Path(args.build_dir).resolve()
    if not args.skip_build:
        build(build_dir)
    tool = build_dir / 'tests/bench/startup/startup_map_time'
    bare = build_dir / 'tests/bench/startup/startup_bare_window'
    tecladim = build_dir / 'ui/tecladim'

    work = pathlib.Path(tempfile.mkdtemp(prefix='tecladim-startup-'))
    server = None
    try:
        folders = {}
        for label, count in (('empty', None), ('100k', 100_000), ('1M', 1_000_000)):
            folder = work / label
            folder.mkdir()
            if count is not None:
                make_history.write_history(count, str(folder / 'Exercicio.xml'))
            folders[label] = folder
        cases = [('bare window', bare, folders['empty'], args.runs),
                 ('empty history', tecladim, folders['empty'], args.runs),
                 ('100,000 records', tecladim, folders['100k'], args.runs),
                 ('1,000,000 records', tecladim, folders['1M'], args.large_runs)]

        server, display = start_xvfb()
        runtime = work / 'runtime'
        runtime.mkdir(mode=0o700)
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM='xcb', LC_ALL='C.UTF-8',
                   XDG_RUNTIME_DIR=str(runtime))
        env.pop('WAYLAND_DISPLAY', None)
        results = {name: ([], []) for name, *_ in cases}
        for run in range(max(args.runs, args.large_runs)):
            for name, program, cwd, runs in cases:
                if run >= runs:
                    continue
                map_ms, rss_kb = measure(tool, program, cwd, env, timeout_s=120)
                results[name][0].append(map_ms)
                results[name][1].append(rss_kb)
                print(f'run {run + 1:2d}  {name:18s} map {map_ms:8.1f} ms  rss {rss_kb / 1024:6.1f} MB', flush=True)

        medians = {name: (statistics.median(times), statistics.median(rss) / 1024)
                   for name, (times, rss) in results.items()}
        print('\nMedians (time to the first mapped window; VmRSS after %d ms idle):' % IDLE_MS)
        for name, (map_ms, rss_mb) in medians.items():
            print(f'  {name:18s} {map_ms:8.1f} ms  {rss_mb:6.1f} MB  ({len(results[name][0])} runs)')

        bare_ms, bare_mb = medians['bare window']
        empty_ms, empty_mb = medians['empty history']
        goals = [
            ('empty history <= 1.3 x bare window', empty_ms / bare_ms, 1.3),
            ('100,000 records <= 1.5 x empty history', medians['100,000 records'][0] / empty_ms, 1.5),
            ('1,000,000 records <= 4 x empty history', medians['1,000,000 records'][0] / empty_ms, 4.0),
        ]
        print('\nGoals:')
        for text, ratio, limit in goals:
            print(f'  {text:40s} {ratio:5.2f} x   {"met" if ratio <= limit else "MISSED"}')
        memory_limit = bare_mb + 10
        print(f'  {"idle memory <= bare + 10 MB":40s} {empty_mb:5.1f} MB of {memory_limit:.1f} MB   '
              f'{"met" if empty_mb <= memory_limit else "MISSED"}')
    finally:
        if server is not None:
            server.terminate()
            server.wait(timeout=10)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()
