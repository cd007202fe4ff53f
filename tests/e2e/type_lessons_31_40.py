#!/usr/bin/env python3
"""A student types the drills of lessons 31 to 40 in the real trainer, on the Brazilian ABNT2
keyboard through the X server, slipping now and then on "ç" ("c" or ";" where "ç" is due) and on
"~" + "a" ("a" without the dead key, or the wrong dead key: "´" + "a", "^" + "a"), everything else
typed right. Lesson 34 is the only one of them with "ç"; 31, 33, 34 and 38 hold "ã".

Then the report as the student and the instructor see it, on a school's 1366x768 screen under
openbox: `tecladim-turma --meu-desempenho` on the student's folder, and `tecladim-turma` on a
class of that student and two generated ones, its "Teclas" tab on the whole class. Both
screenshots are copied into the docs folder when one is given.

Checks along the way: each lesson's record holds its slips as `erros`; in "Teclas.xml" the
errors of each exercise add up to its record's, each counted on the character that was due
("ç", "ã"), with what was typed instead; `--csv-teclas` gives the same errors per key.

Usage: type_lessons_31_40.py --program PATH --turma PATH --lesson-text PATH --demo-class PATH
                             [--artifacts DIR] [--docs DIR] [--class-folder DIR]
"""
import argparse
import collections
import csv
import io
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import e2e_test  # noqa: E402
from abnt2_keys import text_keys  # noqa: E402
from e2e_test import (ALERT_SIZE, DRILL_LINES, HISTORY, LINE_ADVANCE_WAIT, MAIN_SIZE, PACKET_HEAD,  # noqa: E402
                      EXIT_BUTTON, REPORT_OK_BUTTON, TYPING_BOX, Checks, Desktop, Session, parse_history,
                      wait_until)
from key_stats_e2e_test import KEY_STATS, read_key_stats, type_in_words  # noqa: E402

# The school's screen, with a window manager that decorates and places the windows.
e2e_test.SCREEN_WIDTH, e2e_test.SCREEN_HEIGHT = 1366, 768
LESSONS = range(31, 41)
STUDENT = 'rafaela'
GENERATED = ('turma-a/bruno', 'turma-a/davi')
# "Teclado de" on the "Teclas" tab of the class report, in its window at 1366x768.
STUDENT_BOX = (180, 115, 80, 20)
WHOLE_RUN_SECONDS = 1500
# What the student types instead, in turn, where "ç" or "ã" is due: (keys, the character typed).
SLIPS = {
    'ç': ((['c'], 'c'), (['semicolon'], ';'), (['c'], 'c')),
    'ã': ((['a'], 'a'), (['dead_acute', 'a'], 'á'), (['dead_circumflex', 'a'], 'â')),
}
# How many of its places in each line of the drill the student slips on: "ç" and "~" + "a" go
# wrong about one time in four, enough to turn their keys red (20% errors or more).
SLIPS_PER_LINE = {'ç': 3, 'ã': 2}


class SchoolDesktop(Desktop):
    """The test's desktop with a window manager: a window's place is read as xwininfo gives it,
    for xdotool counts the frame's offset twice once openbox has reparented the window."""

    def windows(self, pid):
        found = []
        for name, _, _, width, height, window in super().windows(pid):
            info = self.run('xwininfo', '-id', window, check=False)
            place = dict(re.findall(r'Absolute upper-left (X|Y):\s+(-?\d+)', info))
            if {'X', 'Y'} <= place.keys():
                found.append((name, int(place['X']), int(place['Y']), width, height, window))
        return found


def slips_in(line):
    """(line number, place in the line, due character, keys, typed) of each slip in a drill,
    the ways of slipping taken in turn."""
    slips = []
    for due, kinds in SLIPS.items():
        places = [i for i, c in enumerate(line) if c == due][:SLIPS_PER_LINE[due]]
        turn = 0
        for number in range(DRILL_LINES):
            for place in places:
                keys, typed = kinds[turn % len(kinds)]
                slips.append((number, place, due, keys, typed))
                turn += 1
    return sorted(slips)


def wait_for_line_advance(program, line, lines):
    """Waits until the typing box holds the given count of finished lines: the program presses
    Enter itself after a line's last key, and on a busy machine that can take longer than a
    student's pause; a key typed before it would count as an error on the line advance."""
    def advanced():
        return any(text.startswith(line) and text.count('\n') >= lines for _, _, text in program.accessible_texts())
    if not wait_until(advanced, timeout=15, interval=0.1):
        program.desktop.screenshot('no-line-advance')
        raise RuntimeError(f'the line advance after line {lines} never came')
    time.sleep(LINE_ADVANCE_WAIT / 4)


def type_drill_with_slips(session, program, main, line):
    desktop = session.desktop
    slips = slips_in(line)
    desktop.click(main, TYPING_BOX)
    flashes = 0
    for number in range(DRILL_LINES):
        done = 0
        for _, place, _, keys, _ in (s for s in slips if s[0] == number):
            type_in_words(desktop, line[done:place])
            desktop.keys(keys)
            if program.wait_window(ALERT_SIZE, timeout=5) and program.wait_gone(ALERT_SIZE, timeout=5):
                flashes += 1
            time.sleep(0.3)
            desktop.click(main, TYPING_BOX)
            time.sleep(0.2)
            done = place
        type_in_words(desktop, line[done:])
        if number + 1 < DRILL_LINES:
            wait_for_line_advance(program, line, number + 1)
    return slips, flashes


def type_lessons(args, desktop, folder, checks):
    session = Session(args, desktop, folder, checks)
    expected = {}
    program, main = session.start('program-31-40.log')
    try:
        if not checks.check('the main window shows', main, repr(program.windows())):
            return None
        for lesson in LESSONS:
            # Where the window is now: openbox moves it, after it shows, to fit its frame on the screen.
            time.sleep(0.5)
            main = program.window(MAIN_SIZE) or main
            line = session.lesson_text(lesson)
            if not checks.check(f'lesson {lesson} is a drill line', 10 < len(line) and '\n' not in line, repr(line)):
                return None
            session.choose_lesson(program, main, lesson)
            slips, flashes = type_drill_with_slips(session, program, main, line)
            expected[lesson] = slips
            checks.check(f'lesson {lesson}: each of its {len(slips)} slips flashes the alert', flashes == len(slips),
                         f'{flashes} flashes')
            if lesson == LESSONS[-1]:
                desktop.screenshot('last-lesson-typed')
            report = program.wait_window(ALERT_SIZE, timeout=10)
            if not checks.check(f'lesson {lesson}: the report opens at the end of the drill', report):
                return None
            desktop.click(report, REPORT_OK_BUTTON)
            if not checks.check(f'lesson {lesson}: "OK" closes the report', program.wait_gone(ALERT_SIZE, timeout=5)):
                return None
        main = program.window(MAIN_SIZE) or main
        session.exit_with_sair(program, main, 'after lesson 40')
    finally:
        if program.process.poll() is None:  # cut short: "Sair" still keeps what was typed
            desktop.click(program.window(MAIN_SIZE) or main, EXIT_BUTTON)
            program.wait_exit(timeout=15)
        program.kill()
    return expected


def check_files(folder, expected, checks):
    parsed = parse_history((folder / HISTORY).read_bytes())
    if not checks.check('"Exercicio.xml" holds one record per lesson', parsed and len(parsed[1]) == len(LESSONS),
                        repr(parsed)[:300]):
        return
    records = parsed[1]
    exercises = read_key_stats((folder / KEY_STATS).read_bytes())
    if not checks.check('"Teclas.xml" holds one exercise per lesson', len(exercises) == len(LESSONS),
                        f'{len(exercises)} exercises'):
        return
    for record, exercise in zip(records, exercises):
        lesson = int(record['licao'])
        slips = expected.get(lesson, [])
        keys = {k['tecla']: k for k in exercise['keys']}
        checks.check(f'lesson {lesson}: erros is its {len(slips)} slips', int(record['erros']) == len(slips),
                     record['raw'])
        checks.check(f'lesson {lesson}: its key statistics are tied to the record',
                     all(exercise[f] == record[f] for f in ('licao', 'data', 'inicio', 'fim')), repr(exercise)[:200])
        checks.check(f'lesson {lesson}: the keys\' errors add up to erros',
                     sum(k['erros'] for k in exercise['keys']) == int(record['erros']), repr(keys)[:300])
        for due in SLIPS:
            typed = collections.Counter(ord(t) for _, _, d, _, t in slips if d == due)
            row = keys.get(due, {})
            if not typed:
                checks.check(f'lesson {lesson}: no error on "{due}"', row.get('erros', 0) == 0, repr(row))
                continue
            recorded = collections.Counter({int(code): int(count) for code, count in
                                            (pair.split(':') for pair in row.get('trocas', '').split())})
            checks.check(f'lesson {lesson}: {sum(typed.values())} errors on "{due}", each with what was typed instead',
                         row.get('erros') == sum(typed.values()) and recorded == typed, repr(row))
        checks.check(f'lesson {lesson}: no dead key counted as a key of its own',
                     not set(keys) & set('´`~^¨'), sorted(keys))


def check_csv(args, work, folder, expected, checks):
    out = work / 'teclas.csv'
    subprocess.run([args.turma, '--csv-teclas', str(out), str(folder)], capture_output=True, timeout=60, check=False)
    if not checks.check('--csv-teclas writes the student\'s keys', out.exists()):
        return
    text = out.read_bytes().decode('utf-8-sig')
    rows = list(csv.DictReader(io.StringIO(text), delimiter=';'))
    errors = {row['tecla']: int(row['erros']) for row in rows}
    total = sum(len(s) for s in expected.values())
    checks.check('--csv-teclas: its errors add up to the history\'s erros', sum(errors.values()) == total,
                 f'{sum(errors.values())} against {total}')
    for due in SLIPS:
        count = sum(1 for slips in expected.values() for s in slips if s[2] == due)
        checks.check(f'--csv-teclas: {count} errors on "{due}"', errors.get(due) == count, repr(errors))
    shutil.copy(out, args.artifacts / 'teclas.csv')


class Report:
    """tecladim-turma as the student or the instructor starts it, on the same screen."""

    def __init__(self, desktop, work, path, arguments, log_name):
        env = dict(desktop.env, QT_QPA_PLATFORM='xcb', XDG_CONFIG_HOME=str(work / 'config'),
                   XDG_RUNTIME_DIR=str(work / 'runtime'))
        self.desktop = desktop
        self.log = open(desktop.artifacts / log_name, 'w')
        self.process = subprocess.Popen([path, *arguments], cwd=work, env=env, stdout=self.log,
                                        stderr=subprocess.STDOUT)

    def window(self):
        found = wait_until(lambda: [w for w in self.desktop.windows(self.process.pid) if w[3] > 800], timeout=30)
        return found[0] if found else None

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        self.log.close()


def window_shot(desktop, window, name):
    """The screen, and the window's own area cut from it, as the other pictures of docs/ are."""
    screen = desktop.screenshot(name)
    _, x, y, width, height, _ = window
    cut = screen.with_name(screen.stem + '-window.png')
    desktop.run('convert', str(screen), '-crop', f'{width}x{height}+{x}+{y}', '+repage', str(cut))
    return cut


def screenshot_reports(args, desktop, work, folder, class_folder, checks):
    shots = []
    own = Report(desktop, work, args.turma, ['--meu-desempenho', str(folder)], 'turma-own.log')
    try:
        window = own.window()
        if checks.check('"Meu desempenho" opens its window', window):
            checks.check('its title bar reads "Tecladim — Meu desempenho", once', window[0] == 'Tecladim — Meu desempenho',
                         repr(window[0]))
            time.sleep(3)  # the key statistics are read after the window shows
            shots.append((window_shot(desktop, window, 'turma-meu-desempenho'), 'turma-meu-desempenho.png'))
    finally:
        own.close()
    report = Report(desktop, work, args.turma, [str(class_folder)], 'turma-class.log')
    try:
        window = report.window()
        if checks.check('the class report opens its window', window):
            checks.check('its title bar reads "Tecladim — Relatório da turma"',
                         window[0] == 'Tecladim — Relatório da turma', repr(window[0]))
            time.sleep(2)
            # The "Teclas" tab, the fourth, opens on "Turma inteira".
            desktop.run('xdotool', 'windowactivate', '--sync', window[5], check=False)
            desktop.run('xdotool', 'key', '--window', window[5], 'ctrl+Tab', 'ctrl+Tab', 'ctrl+Tab')
            time.sleep(3)
            shots.append((window_shot(desktop, window, 'turma-teclas-turma'), 'turma-teclas-turma.png'))
            # The student in "Teclado de": its list, then the name typed and Enter.
            desktop.click(window, STUDENT_BOX)
            time.sleep(1)
            desktop.keys(list(STUDENT[:3]) + ['Return'])
            time.sleep(3)
            shots.append((window_shot(desktop, window, 'turma-teclas-aluno'), 'turma-teclas-aluno.png'))
    finally:
        report.close()
    if args.docs:
        for shot, name in shots:
            shutil.copy(shot, args.docs / name)


def reports_only(args, checks):
    """The reports of a class already typed (a run's artifacts keep it in turma/)."""
    work = pathlib.Path(tempfile.mkdtemp(prefix='tecladim-31-40-'))
    (work / 'runtime').mkdir(mode=0o700)
    desktop = SchoolDesktop(args.artifacts)
    wm = subprocess.Popen(['openbox', '--sm-disable'], env=desktop.env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
    try:
        time.sleep(1)
        screenshot_reports(args, desktop, work, args.class_folder / STUDENT, args.class_folder, checks)
    finally:
        wm.terminate()
        desktop.close()
        shutil.rmtree(work, ignore_errors=True)


def run(args, checks):
    if args.class_folder:
        return reports_only(args, checks)
    work = pathlib.Path(tempfile.mkdtemp(prefix='tecladim-31-40-'))
    class_folder = work / 'turma'
    folder = class_folder / STUDENT
    folder.mkdir(parents=True)
    (work / 'runtime').mkdir(mode=0o700)
    # A history already there: the hand-position window stays closed.
    (folder / HISTORY).write_text(PACKET_HEAD + '<PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>')
    desktop = SchoolDesktop(args.artifacts)
    wm = None
    try:
        checks.on_failure = lambda name: desktop.screenshot('failed')
        desktop.use_brazilian_keyboard()
        wm = subprocess.Popen(['openbox', '--sm-disable'], env=desktop.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        time.sleep(1)
        try:
            expected = type_lessons(args, desktop, folder, checks)
        finally:
            for name in (HISTORY, KEY_STATS):
                if (folder / name).exists():
                    shutil.copy(folder / name, args.artifacts / name)
        if expected is None:
            return
        check_files(folder, expected, checks)
        check_csv(args, work, folder, expected, checks)
        subprocess.run([args.demo_class, str(work / 'demo')], check=True, timeout=60)
        for student in GENERATED:
            shutil.copytree(work / 'demo' / student, class_folder / pathlib.Path(student).name)
        screenshot_reports(args, desktop, work, folder, class_folder, checks)
        shutil.copytree(class_folder, args.artifacts / 'turma')
    finally:
        if wm:
            wm.terminate()
        desktop.close()
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    for name in ('--program', '--turma', '--lesson-text', '--demo-class'):
        parser.add_argument(name, required=True)
    parser.add_argument('--artifacts', default=None)
    parser.add_argument('--docs', default=None)
    parser.add_argument('--class-folder', default=None, help='only the reports, of a class typed before')
    args = parser.parse_args()
    for name in ('program', 'turma', 'lesson_text', 'demo_class'):
        setattr(args, name, str(pathlib.Path(getattr(args, name)).resolve()))
    args.artifacts = pathlib.Path(args.artifacts or tempfile.mkdtemp(prefix='tecladim-31-40-')).resolve()
    shutil.rmtree(args.artifacts, ignore_errors=True)
    args.artifacts.mkdir(parents=True)
    args.docs = pathlib.Path(args.docs).resolve() if args.docs else None
    args.class_folder = pathlib.Path(args.class_folder).resolve() if args.class_folder else None
    print(f'Artifacts: {args.artifacts}', flush=True)
    checks = Checks()

    return e2e_test.run_within(WHOLE_RUN_SECONDS, lambda: run(args, checks), checks,
                               (RuntimeError, OSError, subprocess.SubprocessError, ElementTree.ParseError))


if __name__ == '__main__':
    os.environ.setdefault('LANG', 'pt_BR.UTF-8')
    sys.exit(main())
