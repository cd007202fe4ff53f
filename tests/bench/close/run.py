#!/usr/bin/env python3
"""The trainer's whole close as a student sees it, before and after the key statistics.

Two trainers are built: this tree's, and the one before the key statistics existed (commit
a04bd0f^, checked out beside this tree with `git worktree add --detach` and removed at the
end). Each run gives each trainer a student folder with a history of 1,000 exercises, and the
new one also the "Teclas.xml" of those 1,000 exercises under the same stamps (written by
close_bench_folder). The trainer runs under Xvfb 1366x768 with openbox, pt_BR.UTF-8 and
America/Sao_Paulo; the drill of lesson 1 is typed to its end through the X server and the
report closed, so that the close has one exercise to save; then Alt+F4 is pressed, which
openbox turns into the window's close, as a student's click on the title bar's X would be.

Measured from the moment the keys are sent to the X server: the time to the process's end,
and the time to the last change of "Exercicio.xml" (its new file renamed into place) and of
"Teclas.xml" (its rows written), as inotify reports them. A run whose history did not gain
its record, or whose "Teclas.xml" did not gain its exercise, stops the benchmark: it is an
error, not a figure.
The two trainers take turns, run by run, in alternating order; medians are reported with
the goal: the close with 1,000 exercises' key statistics at most 1.2 times the close before.

The student folders are made in the working directory, on its disk: run it from a folder on
the disk a student's folder would be on, not on a tmpfs.

Usage: run.py [--runs N] [--new-build DIR] [--artifacts DIR]
       run.py --skip-build --old-build DIR --new-build DIR [--runs N]
"""
import argparse
import ctypes
import os
import pathlib
import select
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time
import types

HERE = pathlib.Path(__file__).resolve().parent
TOP = HERE.parents[2]
sys.path.insert(0, str(TOP / 'tests/e2e'))
import e2e_test  # noqa: E402
from e2e_test import ALERT_SIZE, HISTORY, MAIN_SIZE, REPORT_OK_BUTTON, Desktop, Program, Session  # noqa: E402

OLD_COMMIT = 'a04bd0f^'  # the trainer just before the key statistics
KEY_STATS = 'Teclas.xml'
EXERCISES = 1000
GOAL = 1.2
SCREEN = (1366, 768)
LESSON = 1
# The trainer reads "Teclas.xml" a second after its window shows: the close comes later.
AFTER_SHOW_S = 1.5
SETTLE_S = 0.5  # after the report's "OK", for the lesson's restart and openbox's focus


def build_new(build_dir: pathlib.Path) -> None:
    subprocess.run(['cmake', '-S', str(TOP), '-B', str(build_dir), '-DCMAKE_BUILD_TYPE=Release',
                    '-DTECLADIM_BUILD_BENCHMARKS=ON'], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(['cmake', '--build', str(build_dir), '-j2', '--target', 'tecladim', 'tecladim_sound',
                    'e2e_lesson_text', 'close_bench_folder'], check=True)


def check_out_old() -> pathlib.Path:
    """The old tree beside this one (git ignores build*), for `git worktree remove` at the end."""
    source = pathlib.Path(tempfile.mkdtemp(prefix='build-close-old-', dir=TOP))
    source.rmdir()
    subprocess.run(['git', '-C', str(TOP), 'worktree', 'add', '--detach', str(source), OLD_COMMIT], check=True,
                   stdout=subprocess.DEVNULL)
    return source


def build_old(source: pathlib.Path) -> pathlib.Path:
    build_dir = source / 'build'
    subprocess.run(['cmake', '-S', str(source), '-B', str(build_dir), '-DCMAKE_BUILD_TYPE=Release'], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(['cmake', '--build', str(build_dir), '-j2', '--target', 'tecladim', 'tecladim_sound'], check=True)
    return build_dir


def remove_old(source: pathlib.Path) -> None:
    subprocess.run(['git', '-C', str(TOP), 'worktree', 'remove', '--force', str(source)], check=False)
    shutil.rmtree(source, ignore_errors=True)


class CloseKey:
    """Alt+F4 sent through XTEST on a connection of our own: the moment it leaves is known
    to the microsecond, without a helper process's start in between."""

    def __init__(self, display: str):
        self.x11 = ctypes.CDLL('libX11.so.6')
        self.xtst = ctypes.CDLL('libXtst.so.6')
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(display.encode())
        if not self.display:
            raise RuntimeError(f'cannot open display {display}')
        self.alt, self.f4 = (self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(name))
                             for name in (b'Alt_L', b'F4'))

    def press(self):
        """Returns the moment the keys left, on the monotonic clock."""
        for code, down in ((self.alt, 1), (self.f4, 1), (self.f4, 0), (self.alt, 0)):
            self.xtst.XTestFakeKeyEvent(self.display, code, down, 0)
        moment = time.monotonic()
        self.x11.XFlush(self.display)
        return moment

    def close(self):
        self.x11.XCloseDisplay(self.display)


class Trainer(Program):
    """The trainer as a student's desktop starts it: the Brazilian locale and time zone, the
    accessibility bus off (the end-to-end test's reading of labels is not wanted here)."""

    def __init__(self, desktop, path, folder, log_path):
        self.desktop = desktop
        env = dict(desktop.env, QT_QPA_PLATFORM='xcb', LANG='pt_BR.UTF-8', TZ='America/Sao_Paulo',
                   XDG_RUNTIME_DIR=str(folder.parent / 'runtime'), XDG_DATA_HOME=str(folder.parent / 'data'))
        env.pop('LC_ALL', None)
        self.log = open(log_path, 'w')
        self.process = subprocess.Popen([str(path)], cwd=folder, env=env, stdout=self.log, stderr=subprocess.STDOUT)


def start_openbox(desktop: Desktop, log_path: pathlib.Path):
    manager = subprocess.Popen(['openbox'], env=desktop.env, stdout=subprocess.DEVNULL, stderr=open(log_path, 'w'))
    managing = e2e_test.wait_until(
        lambda: '_NET_SUPPORTING_WM_CHECK(WINDOW)' in desktop.run('xprop', '-root', '_NET_SUPPORTING_WM_CHECK',
                                                                  check=False), timeout=10)
    if not managing:
        manager.kill()
        raise RuntimeError('openbox did not start (see openbox.log)')
    return manager


def exercise_count(path: pathlib.Path, key_stats: bool) -> int:
    """Records of a history, or exercises of a "Teclas.xml" (the rows with a lesson)."""
    if not path.exists():
        return -1
    data = path.read_bytes()
    return data.count(b' licao="') if key_stats else data.count(b'<ROW ')


def wait_for_end(process: subprocess.Popen, timeout: float):
    """The exit status and the monotonic moment of the end, or None past the timeout. The
    wait blocks in waitpid: Popen.wait with a timeout polls, in steps growing to 50 ms."""
    watchdog = threading.Timer(timeout, process.kill)
    watchdog.start()
    try:
        code = process.wait()
        ended = time.monotonic()
    finally:
        watchdog.cancel()
    return (None if watchdog.finished.is_set() and code == -9 else code), ended


def settle_on_disk(folder: pathlib.Path) -> None:
    """The copied files written out now: a student's files were written at an earlier close,
    long ago, and the close's flush has only its own bytes to write, not a fresh copy's."""
    for path in [*folder.iterdir(), folder]:
        fd = os.open(path, os.O_RDONLY)
        try:
            os.fsync(fd)
        finally:
            os.close(fd)


class FolderWatch:
    """Each file's last change in a folder, stamped on the monotonic clock as inotify tells
    it: a write (the key statistics' rows written in place) or a rename into place (the
    history's new file). The files' own change times come from the kernel's coarse clock,
    a few milliseconds behind."""

    Changes = 0x00000002 | 0x00000080  # IN_MODIFY, IN_MOVED_TO
    EventHead = struct.Struct('iIII')

    def __init__(self, folder: pathlib.Path):
        libc = ctypes.CDLL(None, use_errno=True)
        self.fd = libc.inotify_init1(os.O_CLOEXEC | os.O_NONBLOCK)
        if self.fd < 0 or libc.inotify_add_watch(self.fd, bytes(folder), self.Changes) < 0:
            raise RuntimeError(f'inotify on {folder}: {os.strerror(ctypes.get_errno())}')
        self.last = {}
        self.stop_read, self.stop_write = os.pipe()
        self.thread = threading.Thread(target=self._watch, daemon=True)
        self.thread.start()

    def _watch(self):
        while True:
            ready, _, _ = select.select([self.fd, self.stop_read], [], [])
            now = time.monotonic()
            self._drain(now)
            if self.stop_read in ready:
                return

    def _drain(self, now):
        while True:
            try:
                data = os.read(self.fd, 65536)
            except BlockingIOError:
                return
            at = 0
            while at < len(data):
                _, _, _, length = self.EventHead.unpack_from(data, at)
                at += self.EventHead.size
                self.last[data[at:at + length].rstrip(b'\0').decode()] = now
                at += length

    def stop(self):
        """The last change of each file name: monotonic seconds."""
        os.write(self.stop_write, b'.')
        self.thread.join()
        for fd in (self.fd, self.stop_read, self.stop_write):
            os.close(fd)
        return self.last


class Case:
    def __init__(self, name, program, template, files):
        self.name = name
        self.program = program
        self.template = template
        self.files = files  # the files the close must add one exercise to
        self.exit_ms, self.changes_ms = [], {name: [] for name in files}


class Bench:
    def __init__(self, desktop, session, line, work, artifacts):
        self.desktop = desktop
        self.session = session
        self.line = line
        self.work = work
        self.artifacts = artifacts
        self.key = CloseKey(desktop.display)

    def fail(self, program, text):
        self.desktop.screenshot('failed')
        raise RuntimeError(text + f' (screenshots and logs in {self.artifacts})')

    def close_once(self, case: Case, run: int, screenshot: bool):
        place = self.work / f'{case.name}-{run}'
        folder = place / 'aluno'
        shutil.copytree(case.template, folder)
        settle_on_disk(folder)
        (place / 'runtime').mkdir(mode=0o700)
        before = {name: exercise_count(folder / name, name == KEY_STATS) for name in case.files}
        watch = None
        program = Trainer(self.desktop, case.program, folder, self.artifacts / f'{case.name}-{run + 1}.log')
        try:
            main = program.wait_window(MAIN_SIZE, timeout=30, name_start='Tecladim')
            shown = time.monotonic()
            if not main:
                self.fail(program, f'{case.name}: the main window did not show: {program.windows()!r}')
            shot = threading.Timer(4.0, self.desktop.screenshot, (f'{case.name}-typing',)) if screenshot else None
            if shot:
                shot.start()
            self.session.type_drill(program, main, self.line, e2e_test.DRILL_LINES)
            if shot:
                shot.join()
            report = program.wait_window(ALERT_SIZE, timeout=10)
            if not report:
                self.fail(program, f'{case.name}: the drill of lesson {LESSON} did not end in its report')
            if screenshot:
                self.desktop.screenshot(f'{case.name}-report')
            self.desktop.click(report, REPORT_OK_BUTTON)
            if not program.wait_gone(ALERT_SIZE, timeout=5):
                self.fail(program, f'{case.name}: "OK" did not close the report')
            time.sleep(max(SETTLE_S, shown + AFTER_SHOW_S - time.monotonic()))
            self.desktop.run('xdotool', 'windowactivate', '--sync', main[5], check=False)
            focus = self.desktop.run('xdotool', 'getwindowfocus', check=False).strip()
            if focus != main[5]:
                self.fail(program, f'{case.name}: the main window has not the keyboard (focus {focus})')
            watch = FolderWatch(folder)
            requested = self.key.press()
            code, ended = wait_for_end(program.process, timeout=60)
            if code is None:
                self.fail(program, f'{case.name}: Alt+F4 did not end the trainer within 60 s')
        finally:
            program.kill()
            changed = watch.stop() if watch else {}
        if code != 0:
            raise RuntimeError(f'{case.name}: the trainer ended with status {code}')
        for name in case.files:
            after = exercise_count(folder / name, name == KEY_STATS)
            if after != before[name] + 1:
                found = 'is missing' if after < 0 else f'holds {after} exercises, {before[name]} before it'
                raise RuntimeError(f'{case.name}, run {run + 1}: after the close {name} {found}: the close did not save')
        exit_ms = (ended - requested) * 1000
        missing = [name for name in case.files if name not in changed]
        if missing:
            raise RuntimeError(f'{case.name}, run {run + 1}: no change of {", ".join(missing)} was seen after the close')
        changes = {name: (changed[name] - requested) * 1000 for name in case.files}
        case.exit_ms.append(exit_ms)
        for name, ms in changes.items():
            case.changes_ms[name].append(ms)
        shutil.rmtree(place)
        return exit_ms, changes


def spread(values):
    return f'{statistics.median(values):6.1f} ms ({min(values):.1f}-{max(values):.1f})' if values else '-'


def report(cases, runs):
    old, new = cases
    print(f'\nMedians over {runs} runs, from Alt+F4 sent to the X server (min-max):')
    print(f'  {"":36s} {"old":24s} {"new"}')
    print(f'  {"to the end of the process":36s} {spread(old.exit_ms):24s} {spread(new.exit_ms)}')
    for name in new.files:
        print(f'  {"to the last change of " + name:36s} {spread(old.changes_ms.get(name, [])):24s} '
              f'{spread(new.changes_ms[name])}')
    ratio = statistics.median(new.exit_ms) / statistics.median(old.exit_ms)
    saved_old = statistics.median(old.changes_ms[HISTORY])
    saved_new = max(statistics.median(values) for values in new.changes_ms.values())
    print('\nGoal:')
    print(f'  close with {EXERCISES:,} exercises\' key statistics <= {GOAL} x the close before them:'
          f' {ratio:.2f} x   {"met" if ratio <= GOAL else "MISSED"}')
    print(f'  (to the last file change: {saved_new / saved_old:.2f} x)')


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--runs', type=int, default=15)
    parser.add_argument('--skip-build', action='store_true', help='use the trainers of --old-build and --new-build')
    parser.add_argument('--old-build', help='a build tree of the trainer at ' + OLD_COMMIT)
    parser.add_argument('--new-build', default=str(TOP / 'build-close'), help='a build tree of this tree')
    parser.add_argument('--artifacts', help='screenshots and the trainers\' output (default: NEW_BUILD/close-artifacts)')
    args = parser.parse_args()
    if args.skip_build and not args.old_build:
        parser.error('--skip-build needs --old-build and --new-build')

    new_build = pathlib.Path(args.new_build).resolve()
    artifacts = pathlib.Path(args.artifacts or new_build / 'close-artifacts').resolve()
    old_source = None
    work = None
    desktop = manager = bench = None
    try:
        if args.skip_build:
            old_build = pathlib.Path(args.old_build).resolve()
        else:
            build_new(new_build)
            old_source = check_out_old()
            old_build = build_old(old_source)

        filesystem = subprocess.run(['stat', '-f', '-c', '%T', '.'], capture_output=True, text=True).stdout.strip()
        print(f'Student folders in {os.getcwd()} ({filesystem})', flush=True)
        if filesystem == 'tmpfs':
            sys.exit('the working directory is a tmpfs: run from a folder on a disk')
        work = pathlib.Path(tempfile.mkdtemp(prefix='tecladim-close-', dir=os.getcwd()))
        shutil.rmtree(artifacts, ignore_errors=True)
        artifacts.mkdir(parents=True)

        with_stats = work / 'with-key-stats'
        subprocess.run([str(new_build / 'tests/bench/close/close_bench_folder'), str(with_stats), str(EXERCISES)],
                       check=True)
        history_only = work / 'history-only'
        history_only.mkdir()
        shutil.copy2(with_stats / HISTORY, history_only / HISTORY)
        cases = (Case('old', old_build / 'ui/tecladim', history_only, (HISTORY,)),
                 Case('new', new_build / 'ui/tecladim', with_stats, (HISTORY, KEY_STATS)))

        e2e_test.SCREEN_WIDTH, e2e_test.SCREEN_HEIGHT = SCREEN  # the student's screen
        desktop = Desktop(artifacts)
        desktop.use_brazilian_keyboard()
        manager = start_openbox(desktop, artifacts / 'openbox.log')
        session = Session(types.SimpleNamespace(lesson_text=str(new_build / 'tests/e2e/e2e_lesson_text')),
                          desktop, None, None)
        line = session.lesson_text(LESSON)
        if len(line) < 20:
            sys.exit(f'lesson {LESSON} has no drill line: {line!r}')
        bench = Bench(desktop, session, line, work, artifacts)

        for run in range(args.runs):
            # Alternating order, so that neither trainer always follows the other.
            for case in cases if run % 2 == 0 else reversed(cases):
                exit_ms, changes = bench.close_once(case, run, screenshot=run == 0)
                files = '  '.join(f'{name} {ms:6.1f} ms' for name, ms in changes.items())
                print(f'run {run + 1:2d}  {case.name}  exit {exit_ms:6.1f} ms   last change: {files}', flush=True)
        report(cases, args.runs)
    except RuntimeError as failure:
        sys.exit(f'error: {failure}')
    finally:
        if bench is not None:
            bench.key.close()
        if manager is not None:
            manager.terminate()
            manager.wait(timeout=10)
        if desktop is not None:
            desktop.close()
        if work is not None:
            shutil.rmtree(work, ignore_errors=True)
        if old_source is not None:
            remove_old(old_source)


if __name__ == '__main__':
    main()
