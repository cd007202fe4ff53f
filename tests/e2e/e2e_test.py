#!/usr/bin/env python3
"""End-to-end test of Tecladim, driven from outside the process the way a student would: the
real program under Xvfb, keys from a Brazilian ABNT2 keyboard sent one by one through the X
server, and mouse clicks at the controls' places in the windows.

Two runs in one fresh folder:
 1. a first run: the hand-position window opens by itself and "Iniciar" closes it; lesson 158
    is typed to its end with one wrong key, the report is closed with "OK", the program is
    closed with "Sair", and "Exercicio.xml" must hold exactly that one record;
 2. a second run over that file: no hand-position window; lesson 192 is typed without errors,
    and the file must then hold both records and the change log of both insertions;
 3. a third run: the drill of lesson 1, fifteen lines, each advanced by the Enter that the
    program presses itself; a third record.

Usage: e2e_test.py --program PATH --lesson-text PATH [--artifacts DIR]
Prints one line per check and finally "N passed, N failed"; exits 1 when a check failed.
Screenshots of every step, the program's output and the history files go to the artifacts folder.
"""
import argparse
import datetime
import json
import os
import pathlib
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from abnt2_keys import text_keys  # noqa: E402

SCREEN_WIDTH, SCREEN_HEIGHT = 1600, 1000
MAIN_SIZE = (1350, 700)
HAND_SIZE = (603, 425)
ALERT_SIZE = (795, 387)
KEY_DELAY_MS = 5
LINE_ADVANCE_WAIT = 0.4  # seconds after a line's last key: the program's Enter must come first
DRILL_LINES = 15
WHOLE_TEST_SECONDS = 240

# Controls, as (left, top, width, height) in their window's client area.
SPIN_BOX = (76, 8, 55, 26)
TYPING_BOX = (29, 248, 1116, 417)
EXIT_BUTTON = (1064, 671, 81, 27)
HAND_START_BUTTON = (505, 377, 90, 33)
REPORT_OK_BUTTON = (347, 357, 75, 25)

HISTORY = 'Exercicio.xml'
PACKET_HEAD = (
    '<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA><FIELDS>'
    '<FIELD attrname="licao" fieldtype="i4"/><FIELD attrname="data" fieldtype="dateTime"/>'
    '<FIELD attrname="erros" fieldtype="i4"/><FIELD attrname="inicio" fieldtype="dateTime"/>'
    '<FIELD attrname="fim" fieldtype="dateTime"/><FIELD attrname="tempo" fieldtype="dateTime"/>'
    '</FIELDS>')
ROW = re.compile(
    r'<ROW RowState="(?P<state>\d+)" licao="(?P<licao>-?\d+)" data="(?P<data>\d{8}(?:T\d\d:\d\d:\d{5})?)"'
    r' erros="(?P<erros>-?\d+)" inicio="(?P<inicio>\d{8}(?:T\d\d:\d\d:\d{5})?)"'
    r' fim="(?P<fim>\d{8}(?:T\d\d:\d\d:\d{5})?)" tempo="(?P<tempo>\d{8}(?:T\d\d:\d\d:\d{5})?)"/>')
WHOLE_SECOND = re.compile(r'^\d{8}T\d\d:\d\d:\d\d000$')
# A percentage in the Brazilian form the windows show: "95,7%", "1.234,5%".
BRAZILIAN_PERCENT = re.compile(r'^-?\d{1,3}(\.\d{3})*,\d%$')
ACCESSIBLE_TEXTS = pathlib.Path(__file__).with_name('accessible_texts.py')


class TestTimeout(Exception):
    pass


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0
        self.on_failure = None  # called with the check's name, to keep a screenshot of the moment

    def check(self, name, ok, detail=''):
        if ok:
            self.passed += 1
            print(f'PASS  {name}', flush=True)
        else:
            self.failed += 1
            print(f'FAIL  {name}' + (f': {detail}' if detail else ''), flush=True)
            if self.on_failure:
                self.on_failure(name)
        return ok


def run_within(seconds, run, checks, errors=(RuntimeError, OSError)):
    """Runs run() under an alarm: running past `seconds`, or failing with one of `errors`,
    is a failed check. Prints the count; returns the exit status."""
    def on_alarm(*_):
        raise TestTimeout(f'the run took longer than {seconds} s')
    signal.signal(signal.SIGALRM, on_alarm)
    signal.alarm(seconds)
    try:
        run()
    except (TestTimeout, *errors) as failure:
        checks.check('the run went to its end', False, str(failure))
    finally:
        signal.alarm(0)
    print(f'{checks.passed} passed, {checks.failed} failed')
    return 1 if checks.failed else 0


def wait_until(probe, timeout, interval=0.05):
    """Calls probe until it returns something true or the time is up; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class Desktop:
    """An Xvfb server of our own (never a display number that could collide) with the Brazilian
    keyboard, no window manager, and the tools that act on it."""

    def __init__(self, artifacts: pathlib.Path):
        self.artifacts = artifacts
        self.shots = 0
        read_end, write_end = os.pipe()
        # -noreset: the keyboard map must survive the moments when no client is connected.
        # -r, no auto-repeat: a key sender held up under load must not type a key twice.
        self.server = subprocess.Popen(
            ['Xvfb', '-displayfd', str(write_end), '-noreset', '-r', '-nolisten', 'tcp',
             '-screen', '0', f'{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24'],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=open(artifacts / 'xvfb.log', 'w'))
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()
        if not number:
            raise RuntimeError('Xvfb did not start (see xvfb.log)')
        self.display = ':' + number
        self.env = dict(os.environ, DISPLAY=self.display)
        for variable in ('WAYLAND_DISPLAY', 'QT_IM_MODULE', 'XMODIFIERS', 'XAUTHORITY'):
            self.env.pop(variable, None)

    def run(self, *command, timeout=15, check=True):
        result = subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=timeout)
        if check and result.returncode != 0:
            raise RuntimeError(f'{" ".join(command)} failed: {result.stderr.strip()}')
        return result.stdout

    def use_brazilian_keyboard(self):
        self.run('setxkbmap', '-model', 'abnt2', '-layout', 'br')
        return self.run('setxkbmap', '-query')

    def screenshot(self, name):
        self.shots += 1
        path = self.artifacts / f'{self.shots:02d}-{name}.png'
        self.run('import', '-window', 'root', '-display', self.display, str(path), timeout=30, check=False)
        return path

    def windows(self, pid):
        """The program's mapped top-level windows: (name, x, y, width, height, id)."""
        ids = self.run('xdotool', 'search', '--onlyvisible', '--pid', str(pid), check=False).split()
        found = []
        for window in ids:
            geometry = self.run('xdotool', 'getwindowgeometry', '--shell', window, check=False)
            values = dict(line.split('=', 1) for line in geometry.split() if '=' in line)
            if not {'X', 'Y', 'WIDTH', 'HEIGHT'} <= values.keys():
                continue
            name = self.run('xdotool', 'getwindowname', window, check=False).rstrip('\n')
            found.append((name, int(values['X']), int(values['Y']), int(values['WIDTH']),
                          int(values['HEIGHT']), window))
        return found

    def click(self, window, control):
        _, x, y, *_ = window
        left, top, width, height = control
        # No --sync: it waits for a motion that never comes when the pointer is already there.
        self.run('xdotool', 'mousemove', str(x + left + width // 2), str(y + top + height // 2))
        time.sleep(0.05)
        self.run('xdotool', 'click', '1')

    def keys(self, names):
        if names:
            self.run('xdotool', 'key', '--delay', str(KEY_DELAY_MS), *names, timeout=60)

    def close(self):
        self.server.terminate()
        try:
            self.server.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.server.kill()


class Program:
    def __init__(self, desktop, path, folder, log_name):
        self.desktop = desktop
        # The locale and time zone are the caller's (scripts/e2e.sh: pt_BR.UTF-8, America/Sao_Paulo).
        # The labels are read as a screen reader reads them (accessible_texts.py).
        env = dict(desktop.env, QT_QPA_PLATFORM='xcb', QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1',
                   XDG_RUNTIME_DIR=str(folder.parent / 'runtime'))
        self.log = open(desktop.artifacts / log_name, 'w')
        self.process = subprocess.Popen([str(path)], cwd=folder, env=env, stdout=self.log, stderr=subprocess.STDOUT)

    def windows(self):
        return self.desktop.windows(self.process.pid)

    def accessible_texts(self):
        """Every text the program's windows show, in creation order: (role, name, text)."""
        result = subprocess.run(['/usr/bin/python3', str(ACCESSIBLE_TEXTS), str(self.process.pid)],
                                env=self.desktop.env, capture_output=True, text=True, timeout=30)
        if result.returncode != 0:
            raise RuntimeError(f'reading the accessible texts failed: {result.stderr.strip()[-300:]}')
        return [(n['role'], n['name'], n['text']) for n in json.loads(result.stdout or '[]')]

    def accuracy_text(self):
        """The accuracy as the main window shows it: the label after "% Acertos: "."""
        labels = [name for role, name, _ in self.accessible_texts() if role == 'label']
        if '% Acertos: ' in labels:
            following = labels.index('% Acertos: ') + 1
            if following < len(labels):
                return labels[following]
        return None

    def report_text(self):
        """The report window's text, however the toolkit exposes it (a label or a text box)."""
        for _, name, text in self.accessible_texts():
            for candidate in (name, text):
                if 'Parabens' in candidate or 'Percentual' in candidate or 'Erros: ' in candidate:
                    return candidate
        return None

    def window(self, size, name_start=None):
        for window in self.windows():
            if window[3:5] == size and (name_start is None or window[0].startswith(name_start)):
                return window
        return None

    def wait_window(self, size, timeout, name_start=None):
        return wait_until(lambda: self.window(size, name_start), timeout)

    def wait_gone(self, size, timeout):
        return wait_until(lambda: self.window(size) is None, timeout)

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=5)
        self.log.close()


def stamp_time(text):
    """A whole dateTime value of the file as a datetime (date alone means midnight)."""
    day = datetime.datetime.strptime(text[:8], '%Y%m%d')
    if len(text) == 8:
        return day
    ms = int(text[15:20])
    return day + datetime.timedelta(hours=int(text[9:11]), minutes=int(text[12:14]), milliseconds=ms)


def duration_seconds(text):
    moment = stamp_time(text)
    return (moment - datetime.datetime(1899, 12, 30)).total_seconds()


def read_history(folder):
    path = folder / HISTORY
    return path.read_bytes() if path.exists() else None


def parse_history(data):
    """(change log text, rows as dicts and raw texts), or None when the layout is not the packet's."""
    text = data.decode('ascii', errors='replace')
    match = re.fullmatch(re.escape(PACKET_HEAD) + r'<PARAMS(?: CHANGE_LOG="(?P<log>[0-9 ]*)")?/></METADATA>'
                         r'<ROWDATA>(?P<rows>.*)</ROWDATA></DATAPACKET>', text)
    if not match:
        return None
    rows = []
    rest = match.group('rows')
    while rest:
        row = ROW.match(rest)
        if not row:
            return None
        rows.append(dict(row.groupdict(), raw=row.group(0)))
        rest = rest[row.end():]
    return match.group('log'), rows


class Session:
    def __init__(self, args, desktop, folder, checks):
        self.args = args
        self.desktop = desktop
        self.folder = folder
        self.checks = checks

    def lesson_text(self, number):
        result = subprocess.run([self.args.lesson_text, str(number)], capture_output=True, timeout=10)
        return result.stdout.decode('utf-8') if result.returncode == 0 else ''

    def start(self, log_name):
        program = Program(self.desktop, self.args.program, self.folder, log_name)
        main = program.wait_window(MAIN_SIZE, timeout=20, name_start='Tecladim')
        return program, main

    def choose_lesson(self, program, main, number):
        self.desktop.click(main, SPIN_BOX)
        self.desktop.keys(['ctrl+a'] + list(str(number)))
        time.sleep(0.3)

    def type_with_one_error(self, program, main, text, error_at):
        """Types text into the typing box with one wrong key before character error_at; returns
        whether the flash came and went, and the local time of the last key."""
        self.desktop.click(main, TYPING_BOX)
        self.desktop.keys(text_keys(text[:error_at]))
        self.desktop.keys(['x' if text[error_at] != 'x' else 'z'])
        flash = program.wait_window(ALERT_SIZE, timeout=5)
        if flash:
            self.desktop.screenshot('alert-flash')
        gone = program.wait_gone(ALERT_SIZE, timeout=5) if flash else False
        # With no window manager nobody gives the main window back its activation when the
        # flash closes (dead keys would then go uncomposed): the student clicks into the box.
        self.desktop.click(main, TYPING_BOX)
        self.desktop.keys(text_keys(text[error_at:]))
        return bool(flash and gone), datetime.datetime.now()

    def type_clean(self, program, main, text, pause_before_last=0.0):
        self.desktop.click(main, TYPING_BOX)
        self.desktop.keys(text_keys(text[:-1]))
        time.sleep(pause_before_last)
        self.desktop.keys(text_keys(text[-1:]))
        return datetime.datetime.now()

    def type_drill(self, program, main, line, repetitions):
        """Types a drill line again and again, waiting after each line's last key for the line
        advance that the program itself presses."""
        self.desktop.click(main, TYPING_BOX)
        for _ in range(repetitions):
            self.desktop.keys(text_keys(line))
            time.sleep(LINE_ADVANCE_WAIT)
        return datetime.datetime.now()

    def close_report(self, program, main, step):
        report = program.wait_window(ALERT_SIZE, timeout=10)
        self.desktop.screenshot(step.replace(' ', '') + '-report')
        if not self.checks.check(f'{step}: the report window opens at the end of the exercise', report):
            return False
        x_expected = main[1] + (MAIN_SIZE[0] - ALERT_SIZE[0]) // 2
        y_expected = main[2] + (MAIN_SIZE[1] - ALERT_SIZE[1]) // 2
        self.checks.check(f'{step}: the report is centred over the main window',
                          abs(report[1] - x_expected) <= 2 and abs(report[2] - y_expected) <= 2,
                          f'at {report[1]},{report[2]}, expected about {x_expected},{y_expected}')
        time.sleep(0.5)
        still_open = program.window(ALERT_SIZE) is not None
        self.checks.check(f'{step}: the report stays until "OK" is clicked', still_open)
        self.desktop.click(report, REPORT_OK_BUTTON)
        return self.checks.check(f'{step}: "OK" closes the report', program.wait_gone(ALERT_SIZE, timeout=5))

    def check_accuracy_after_one_error(self, program, text):
        # The label shows (1 - 1/total) x 100 with one decimal, total being the model's length
        # as the box counts it (a line break is two characters there).
        accuracy = program.accuracy_text()
        expected = set()
        for total in (len(text), len(text.replace('\n', '\r\n'))):
            tenths = (total - 1) * 1000 // total + (1 if (total - 1) * 1000 % total * 2 >= total else 0)
            expected.add(f'{tenths // 10},{tenths % 10}%')
        self.checks.check('run 1: after one wrong key the accuracy reads as in Brazil ("98,7%" for lesson 158)',
                          accuracy in expected, f'{accuracy!r}, expected one of {sorted(expected)}')

    def check_report_percentage(self, program, step):
        report = program.report_text() or ''
        percent = re.search(r'Percentual tempo alcançado: (\S+)', report)
        seconds = re.search(r'Tempo: 00:00:(\d\d)', report)
        if seconds and int(seconds.group(1)) == 0:
            return  # typed within the second: the report has no percentage to show
        if self.checks.check(f'{step}: the report of a timed passage shows "Percentual tempo alcançado"', percent,
                             repr(report)):
            self.checks.check(f'{step}: the percentage reads as in Brazil, e.g. "250,0%"',
                              BRAZILIAN_PERCENT.match(percent.group(1)), repr(percent.group(1)))

    def exit_with_sair(self, program, main, step):
        self.desktop.click(main, EXIT_BUTTON)
        code = program.wait_exit(timeout=15)
        self.checks.check(f'{step}: "Sair" ends the program', code == 0, f'exit status {code}')

    def check_row(self, step, row, lesson, errors, started, finished):
        check = self.checks.check
        check(f'{step}: the record was appended by the program (RowState 4)', row['state'] == '4', row['raw'])
        check(f'{step}: licao is {lesson}', row['licao'] == str(lesson), row['raw'])
        check(f'{step}: erros is {errors}', row['erros'] == str(errors), row['raw'])
        whole = WHOLE_SECOND.match(row['inicio']) and WHOLE_SECOND.match(row['fim'])
        if not check(f'{step}: inicio and fim are whole seconds', whole, row['raw']):
            return
        inicio, fim = stamp_time(row['inicio']), stamp_time(row['fim'])
        check(f'{step}: tempo is fim minus inicio', duration_seconds(row['tempo']) == (fim - inicio).total_seconds(),
              row['raw'])
        slack = datetime.timedelta(seconds=2)
        check(f'{step}: inicio is when the lesson started', started - slack <= inicio <= started + slack,
              f'inicio {inicio}, lesson chosen at {started:%H:%M:%S}')
        check(f'{step}: fim is when the last key was typed', finished - slack <= fim <= finished + slack,
              f'fim {fim}, last key at {finished:%H:%M:%S}')
        data = stamp_time(row['data'])
        check(f'{step}: data is the completion moment', fim <= data <= fim + slack, row['raw'])

    def first_run(self):
        check = self.checks.check
        program, main = self.start('program-run1.log')
        try:
            if not check('run 1: the main window "Tecladim" shows with a 1350x700 client area', main,
                         repr(program.windows())):
                return None
            self.desktop.screenshot('run1-main-window')
            check('run 1: the main window is centred on the screen',
                  abs(main[1] - (SCREEN_WIDTH - MAIN_SIZE[0]) // 2) <= 2
                  and abs(main[2] - (SCREEN_HEIGHT - MAIN_SIZE[1]) // 2) <= 2, f'at {main[1]},{main[2]}')
            hand = program.wait_window(HAND_SIZE, timeout=5, name_start='Posi')
            self.desktop.screenshot('run1-hand-position')
            if check('run 1: the hand-position window "Posição " opens by itself', hand, repr(program.windows())):
                check('run 1: its caption is "Posição " with the blank', hand[0] == 'Posição ', repr(hand[0]))
                self.desktop.click(hand, HAND_START_BUTTON)
                check('run 1: "Iniciar" closes the hand-position window', program.wait_gone(HAND_SIZE, timeout=5))

            text = self.lesson_text(158)
            if not check('lesson 158 has a model text', len(text) > 10, repr(text)):
                return None
            accuracy = wait_until(program.accuracy_text, timeout=10)
            check('run 1: lesson 1 starts at "100,0%" accuracy', accuracy == '100,0%', repr(accuracy))
            started = datetime.datetime.now()
            self.choose_lesson(program, main, 158)
            self.desktop.screenshot('run1-lesson-158')
            flashed, finished = self.type_with_one_error(program, main, text, error_at=5)
            check('run 1: a wrong key flashes the alert for about a second', flashed)
            self.check_accuracy_after_one_error(program, text)
            if self.close_report(program, main, 'run 1'):
                self.desktop.screenshot('run1-after-report')
            self.exit_with_sair(program, main, 'run 1')
        finally:
            program.kill()

        data = read_history(self.folder)
        if not check('run 1: "Exercicio.xml" is written at close', data is not None):
            return None
        shutil.copy(self.folder / HISTORY, self.desktop.artifacts / 'Exercicio-run1.xml')
        parsed = parse_history(data)
        if not check('run 1: the file is one line in the data-packet layout', parsed, data[:200]):
            return None
        change_log, rows = parsed
        check('run 1: CHANGE_LOG is "1 0 4"', change_log == '1 0 4', repr(change_log))
        if not check('run 1: the history holds one record', len(rows) == 1, f'{len(rows)} rows'):
            return None
        self.check_row('run 1', rows[0], 158, 1, started, finished)
        return rows[0]['raw']

    def third_run(self, earlier_rows):
        check = self.checks.check
        program, main = self.start('program-run3.log')
        try:
            if not check('run 3: the main window shows over the saved history', main, repr(program.windows())):
                return
            line = self.lesson_text(1)
            if not check('lesson 1 has a drill line', len(line) > 10, repr(line)):
                return
            # Lesson 1 is what every run starts with: the student types straight away.
            started = datetime.datetime.now()
            finished = self.type_drill(program, main, line, DRILL_LINES)
            if self.close_report(program, main, 'run 3'):
                self.desktop.screenshot('run3-after-report')
            self.exit_with_sair(program, main, 'run 3')
        finally:
            program.kill()

        data = read_history(self.folder)
        shutil.copy(self.folder / HISTORY, self.desktop.artifacts / 'Exercicio-run3.xml')
        parsed = parse_history(data)
        if not check('run 3: the file is one line in the data-packet layout', parsed, data[:200]):
            return
        change_log, rows = parsed
        check('run 3: CHANGE_LOG is "1 0 4 2 0 4 3 0 4"', change_log == '1 0 4 2 0 4 3 0 4', repr(change_log))
        if not check('run 3: the history holds three records', len(rows) == 3, f'{len(rows)} rows'):
            return
        check('run 3: the earlier records are kept byte for byte', [r['raw'] for r in rows[:2]] == earlier_rows)
        self.check_row('run 3', rows[2], 1, 0, started, finished)

    def second_run(self, first_row):
        check = self.checks.check
        program, main = self.start('program-run2.log')
        try:
            if not check('run 2: the main window shows over the saved history', main, repr(program.windows())):
                return
            time.sleep(1.0)
            self.desktop.screenshot('run2-main-window')
            check('run 2: the hand-position window does not open by itself',
                  program.window(HAND_SIZE) is None, repr(program.windows()))
            text = self.lesson_text(192)
            if not check('lesson 192 has a model text', len(text) > 10, repr(text)):
                return
            started = datetime.datetime.now()
            self.choose_lesson(program, main, 192)
            # A pause before the last key: typed within one second the report has no percentage.
            finished = self.type_clean(program, main, text, pause_before_last=1.5)
            if program.wait_window(ALERT_SIZE, timeout=10):
                self.check_report_percentage(program, 'run 2')
            if self.close_report(program, main, 'run 2'):
                self.desktop.screenshot('run2-after-report')
            self.exit_with_sair(program, main, 'run 2')
        finally:
            program.kill()

        data = read_history(self.folder)
        shutil.copy(self.folder / HISTORY, self.desktop.artifacts / 'Exercicio-run2.xml')
        parsed = parse_history(data)
        if not check('run 2: the file is one line in the data-packet layout', parsed, data[:200]):
            return
        change_log, rows = parsed
        check('run 2: CHANGE_LOG is "1 0 4 2 0 4"', change_log == '1 0 4 2 0 4', repr(change_log))
        if not check('run 2: the history holds two records', len(rows) == 2, f'{len(rows)} rows'):
            return
        check('run 2: the first record is kept byte for byte', rows[0]['raw'] == first_row, rows[0]['raw'])
        self.check_row('run 2', rows[1], 192, 0, started, finished)
        return [row['raw'] for row in rows]


    def damaged_history_run(self):
        """A cut-off history: the error box comes first; once Enter closes it, the keyboard must
        reach the main window even though no window manager hands it over."""
        check = self.checks.check
        folder = self.folder.parent / 'damaged'
        folder.mkdir(exist_ok=True)
        damaged = b'<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA>'
        (folder / HISTORY).write_bytes(damaged)
        program = Program(self.desktop, self.args.program, folder, 'program-damaged.log')
        try:
            box = wait_until(lambda: [w for w in program.windows() if w[3:5] != MAIN_SIZE], timeout=20)
            self.desktop.screenshot('damaged-error-box')
            if not check('damaged history: the load error shows in a box', box, repr(program.windows())):
                return
            self.desktop.keys(['Return'])
            main = program.wait_window(MAIN_SIZE, timeout=10, name_start='Tecladim')
            focused = wait_until(lambda: main and self.desktop.run('xdotool', 'getwindowfocus', check=False).strip()
                                 == main[5], timeout=5)
            self.desktop.screenshot('damaged-after-enter')
            check('damaged history: after Enter the main window has the keyboard', focused,
                  self.desktop.run('xdotool', 'getwindowfocus', 'getwindowname', check=False).strip())
        finally:
            program.kill()
        check('damaged history: the damaged file is left as it was', (folder / HISTORY).read_bytes() == damaged)


def on_alarm(signum, frame):
    raise TestTimeout(f'the whole test took longer than {WHOLE_TEST_SECONDS} s')


def trainer_arguments(description):
    """The command line of the scripts that drive the trainer: the program, the tool that
    prints a lesson's text, and where screenshots and logs go."""
    parser = argparse.ArgumentParser(description=description, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--program', required=True)
    parser.add_argument('--lesson-text', required=True)
    parser.add_argument('--artifacts', default=None)
    args = parser.parse_args()
    args.program = str(pathlib.Path(args.program).resolve())
    args.lesson_text = str(pathlib.Path(args.lesson_text).resolve())
    return args


def main():
    args = trainer_arguments(__doc__)

    artifacts = pathlib.Path(args.artifacts or tempfile.mkdtemp(prefix='tecladim-e2e-')).resolve()
    shutil.rmtree(artifacts, ignore_errors=True)
    artifacts.mkdir(parents=True)
    print(f'Artifacts (screenshots, program output, history files): {artifacts}', flush=True)

    checks = Checks()
    work = pathlib.Path(tempfile.mkdtemp(prefix='tecladim-e2e-'))
    folder = work / 'class'
    folder.mkdir()
    (work / 'runtime').mkdir(mode=0o700)
    desktop = None
    signal.signal(signal.SIGALRM, on_alarm)
    signal.signal(signal.SIGTERM, lambda *_: on_alarm(0, None))
    signal.alarm(WHOLE_TEST_SECONDS)
    try:
        desktop = Desktop(artifacts)
        checks.on_failure = lambda name: desktop.screenshot('failed-' + re.sub(r'[^a-z0-9]+', '-', name.lower())[:40])
        query = desktop.use_brazilian_keyboard()
        checks.check('the X server has the Brazilian ABNT2 keyboard',
                     re.search(r'model:\s+abnt2', query) and re.search(r'layout:\s+br', query), query)
        session = Session(args, desktop, folder, checks)
        first_row = session.first_run()
        if first_row is not None:
            rows = session.second_run(first_row)
            if rows is not None:
                session.third_run(rows)
        session.damaged_history_run()
    except (TestTimeout, RuntimeError, OSError, subprocess.TimeoutExpired) as failure:
        checks.check('the test ran to its end', False, str(failure))
    finally:
        signal.alarm(0)
        if desktop is not None:
            desktop.close()
        shutil.rmtree(work, ignore_errors=True)
    print(f'{checks.passed} passed, {checks.failed} failed')
    return 1 if checks.failed else 0


if __name__ == '__main__':
    sys.exit(main())
