#!/usr/bin/env python3
"""Soak test of Tecladim: the real program, built with AddressSanitizer and
UndefinedBehaviorSanitizer, driven for a bounded time under Xvfb with random but realistic
input from a Brazilian ABNT2 keyboard and a mouse.

Most of the time a student types the current lesson, mostly right, sometimes wrong, so
exercises progress and complete; between the typing come the things hands do: dead keys and
AltGr, Enter, Backspace, Tab, arrows, Ctrl+A/C/V/X/Z, clicks, double and triple clicks and
drags, the wheel over the lesson spin box, lesson numbers typed (in range or not), resizes and
maximizing, the hand-position window opened and closed, reports and message boxes dismissed.
The run is cut into sessions: each starts the program over the history the last one saved
(so every save is loaded back by the program itself), every other one under openbox, and
each ends with "Sair".

Fails (exit 1) when the program dies, its output holds a sanitizer report, it does not end
on "Sair", a saved history cannot be loaded, or the history lacks a record of a report seen.
The seed is printed first; --seed replays the same choices (timing may still differ).

Usage: soak.py --program PATH --lesson-text PATH [--seconds N] [--seed N] [--artifacts DIR]
"""
import argparse
import os
import pathlib
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / 'e2e'))
from abnt2_keys import character_keys, text_keys  # noqa: E402
from e2e_test import (ALERT_SIZE, EXIT_BUTTON, HAND_SIZE, HAND_START_BUTTON, HISTORY, MAIN_SIZE,  # noqa: E402
                      REPORT_OK_BUTTON, SPIN_BOX, TYPING_BOX, Desktop, Program, parse_history, wait_until)

SESSION_SECONDS = 300
START_BUTTON = (137, 8, 69, 25)
HAND_BUTTON = (1000, 2, 145, 32)
MODEL_BOX = (29, 40, 1116, 186)
GRID = (1151, 41, 195, 345)
LINK = (1161, 675, 171, 14)
DRILL_LINES = 15
FIRST_PASSAGE = 157
LINE_ADVANCE_WAIT = 0.8
SCREENSHOTS_KEPT = 12
SANITIZER_REPORT = re.compile(r'ERROR: \w+Sanitizer|runtime error:|Sanitizer:DEADLYSIGNAL|SUMMARY: \w+Sanitizer')

# The physical keys of the ABNT2 layout by what they type alone; Shift and AltGr
# (ISO_Level3_Shift) reach their other levels, dead keys included.
KEYS = ('1 2 3 4 5 6 7 8 9 0 minus equal q w e r t y u i o p dead_acute bracketleft a s d f g h j k l '
        'ccedilla dead_tilde bracketright apostrophe backslash z x c v b n m comma period semicolon slash '
        'space').split()
LEVELS = ('', 'shift+', 'ISO_Level3_Shift+', 'shift+ISO_Level3_Shift+')
SPECIAL = ('Return KP_Enter BackSpace Delete Tab shift+Tab Left Right Up Down Home End Prior Next Insert Escape '
           'shift+Left shift+Up shift+Home ctrl+shift+End ctrl+a ctrl+c ctrl+v ctrl+x ctrl+z ctrl+y '
           'shift+Insert ctrl+Insert shift+Delete ctrl+BackSpace ctrl+Left').split()
DEAD = ('dead_acute', 'shift+dead_acute', 'dead_tilde', 'shift+dead_tilde', 'shift+6')
WRONG = list('abcdefghijklmnopqrstuvwxyzç,.;/ 0123') + list('áãâéêíóõôúàüAEOÇ')


class Failure(Exception):
    pass


def inside(point, control):
    left, top, width, height = control
    return left <= point[0] < left + width and top <= point[1] < top + height


class Soak:
    def __init__(self, args, desktop, folder, rng):
        self.args, self.desktop, self.folder, self.rng = args, desktop, folder, rng
        self.lessons = {n: self.lesson_text(n) for n in range(1, 193)}
        self.actions = open(desktop.artifacts / 'actions.log', 'w', buffering=1)
        self.started = time.monotonic()
        self.keys_sent = self.completions = self.missed_completions = self.resyncs = 0
        self.flash_ids = set()
        self.sessions = 0
        self.program = self.main = self.wm = None
        self.known = False  # whether the typed text is exactly model[:pos] on line `line`
        self.spin_text = None
        self.lesson, self.line, self.pos = 1, 0, 0
        self.need_focus = True
        self.diligent = False
        self.last_scan = self.last_shot = 0.0

    def lesson_text(self, number):
        result = subprocess.run([self.args.lesson_text, str(number)], capture_output=True, timeout=10)
        text = result.stdout.decode('utf-8')
        text_keys(text)  # every lesson must be typeable on the layout
        return text

    def note(self, what):
        self.actions.write(f'{time.monotonic() - self.started:8.2f} {what}\n')

    # --- the X side ----------------------------------------------------------------------
    def x(self, *command, timeout=30):
        return self.desktop.run(*command, timeout=timeout, check=False)

    def send(self, keys, delay_ms=None):
        if not keys:
            return
        delay = delay_ms if delay_ms is not None else self.rng.choice((3, 8, 15, 30))
        self.keys_sent += len(keys)
        self.note('keys ' + ' '.join(keys))
        self.x('xdotool', 'key', '--delay', str(delay), *keys, timeout=60 + len(keys) * delay / 1000)

    def point(self, control, window=None, anchored=False, spread=True):
        """A point of a control of the main window (or of `window`): its middle, or anywhere
        inside it, never outside the window. Anchored controls (left, bottom) follow the
        window's bottom edge."""
        name, x, y, width, height, _ = window or self.main
        left, top, w, h = control
        if anchored:
            top += height - MAIN_SIZE[1]
        if spread:
            px, py = left + self.rng.randrange(2, max(3, w - 2)), top + self.rng.randrange(2, max(3, h - 2))
        else:
            px, py = left + w // 2, top + h // 2
        return x + min(max(px, 1), width - 2), y + min(max(py, 1), height - 2)

    def click(self, at, button=1, repeat=1):
        self.note(f'click {button}x{repeat} at {at}')
        self.x('xdotool', 'mousemove', str(at[0]), str(at[1]))
        time.sleep(0.03)
        self.x('xdotool', 'click', '--repeat', str(repeat), '--delay', str(self.rng.choice((60, 120, 200))),
               str(button))

    def windows(self):
        """The program's mapped top-level windows as (name, x, y, width, height, id), with x and y
        those of the client area on the screen (xdotool's own geometry is off by the frame
        under a window manager)."""
        found = []
        for wid in self.x('xdotool', 'search', '--onlyvisible', '--pid', str(self.program.process.pid)).split():
            info = self.x('xwininfo', '-id', wid)
            name = re.search(r'^xwininfo: Window id: \S+ "(.*)"$', info, re.M)
            values = dict(re.findall(r'^\s*(Absolute upper-left [XY]|Width|Height):\s*(-?\d+)', info, re.M))
            if len(values) == 4:
                found.append((name.group(1) if name else '', int(values['Absolute upper-left X']),
                              int(values['Absolute upper-left Y']), int(values['Width']), int(values['Height']), wid))
        return found

    def refresh_main(self):
        for window in self.windows():
            if window[5] == self.main[5]:
                self.main = window
        return self.main

    def is_report(self, window):
        """The report shows "OK" where a flash has only its pink background. (The screen, not
        the window, is read: a window that closes while it is read can stall `import`.)"""
        left, top = window[1] + REPORT_OK_BUTTON[0], window[2] + REPORT_OK_BUTTON[1]
        try:
            histogram = self.desktop.run('import', '-window', 'root', '-crop', f'75x25+{left}+{top}', '+repage',
                                         '-depth', '8', '-format', '%c', 'histogram:info:', timeout=10, check=False)
        except subprocess.TimeoutExpired:
            return False
        pink = re.search(r'^\s*(\d+):.*#FFA6D2', histogram, re.M | re.I)
        return bool(histogram.strip()) and (int(pink.group(1)) if pink else 0) < 75 * 25 // 3

    # --- health --------------------------------------------------------------------------
    def check(self, force=False):
        now = time.monotonic()
        if self.program.process.poll() is not None:
            raise Failure(f'the program ended by itself (exit status {self.program.process.returncode})')
        if force or now - self.last_scan > 5:
            self.last_scan = now
            self.scan_log()
        if force or now - self.last_shot > 10:
            self.last_shot = now
            self.screenshot('moment')

    def program_output(self):
        return (self.desktop.artifacts / self.log_name).read_text(errors='replace')

    def scan_log(self):
        if SANITIZER_REPORT.search(self.program_output()):
            raise Failure('sanitizer report in the program output')

    def explain(self):
        """The program's sanitizer report, whole once the program has ended by it (it ends
        itself: halt_on_error), or else the end of its output."""
        if self.program.process.poll() is None and SANITIZER_REPORT.search(self.program_output()):
            self.program.wait_exit(60)
        text = self.program_output()
        match = SANITIZER_REPORT.search(text)
        if not match:
            return text[-3000:]
        start, end = text.rfind('=====', 0, match.start()), text.find('\n', text.find('SUMMARY:', match.start()))
        return text[max(start, 0):end if end > 0 else None][:12000]

    def screenshot(self, name):
        """Keeps the last moments, and the last few of every other kind of screenshot."""
        path = self.desktop.screenshot(name)
        shots = sorted(self.desktop.artifacts.glob(f'[0-9]*-{name}.png'), key=lambda p: p.stat().st_mtime)
        for old in shots[:-SCREENSHOTS_KEPT]:
            old.unlink(missing_ok=True)
        return path

    # --- windows that are not the main one ------------------------------------------------
    def settle(self, limit=30.0):
        """Deals with every other window of the program as a student would, until only the
        main window is left: flashes run out, reports get "OK", the hand-position window its
        "Iniciar" or Escape, message boxes and menus Return or Escape."""
        deadline = time.monotonic() + limit
        first_seen = {}
        while time.monotonic() < deadline:
            self.check()
            others = [w for w in self.windows() if w[5] != self.main[5]]
            if not others:
                return True
            window = others[-1]
            name, _, _, width, height, wid = window
            age = time.monotonic() - first_seen.setdefault(wid, time.monotonic())
            if age < 0.3:
                time.sleep(0.1)
            elif (width, height) == ALERT_SIZE:
                # A flash is gone within a second (and pink where "OK" would be); a window
                # not yet painted is neither: only one that stays is looked at.
                if age < 1.5 or not self.is_report(window):
                    self.flash_ids.add(wid)
                    time.sleep(0.1)
                    continue
                self.completions += 1
                self.note(f'report {self.completions}')
                self.line = self.pos = 0
                self.diligent = self.rng.random() < 0.6
                if self.rng.random() < 0.3:  # keys and clicks that must not close it
                    self.send([self.rng.choice(('Return', 'space', 'Escape', 'a'))])
                    self.click(self.point((20, 20, 700, 300), window))
                self.click(self.point(REPORT_OK_BUTTON, window, spread=False))
                self.need_focus = True
                wait_until(lambda: all(w[5] != wid for w in self.windows()), 5)
            elif name.startswith('Posi'):
                if self.rng.random() < 0.5 or age > 3:
                    w, h = window[3], window[4]
                    button = (w - HAND_SIZE[0] + HAND_START_BUTTON[0], h - HAND_SIZE[1] + HAND_START_BUTTON[1],
                              *HAND_START_BUTTON[2:])
                    self.click(self.point(button, window))
                else:
                    self.send(['Escape'])
                self.need_focus = True
                time.sleep(0.3)
            else:
                # A message box or a menu: it has the keyboard, or gets it here.
                self.note(f'dismiss {name!r} {width}x{height}')
                self.x('xdotool', 'windowfocus', wid)
                self.send(['Escape' if age < 3 else 'Return'])
                if age > 6:
                    self.click(self.point((0, 0, width, height), window))
                # What was typed or clicked while it was up went nowhere.
                self.known, self.spin_text, self.need_focus = False, None, True
                time.sleep(0.3)
        self.screenshot('stuck')
        self.note('a window would not go away')
        print(f'warning: windows would not go away: {self.windows()}', flush=True)
        return False

    # --- the student's typing -------------------------------------------------------------
    def model(self):
        return self.lessons[self.lesson]

    def choose_lesson(self):
        """Starts a lesson the driver knows, from an empty typing box."""
        self.resyncs += 1
        self.diligent = self.rng.random() < 0.6
        number = (self.rng.randrange(FIRST_PASSAGE, 193) if self.rng.random() < 0.8
                  else self.rng.randrange(1, FIRST_PASSAGE))
        if self.spin_text is not None and self.rng.random() < 0.3:
            number = int(self.spin_text)
        elif str(number) != self.spin_text:
            self.click(self.point(SPIN_BOX))
            self.send(['ctrl+a'] + list(str(number)), delay_ms=40)
            self.spin_text = str(number)
        # Iniciar restarts it whatever the number typed did (a number equal to the one
        # shown changes nothing).
        self.click(self.point(START_BUTTON))
        self.lesson, self.line, self.pos, self.known = number, 0, 0, True
        self.need_focus = True
        time.sleep(0.3)
        self.settle()

    def type_lesson(self):
        for _ in range(3):  # a message box that comes up meanwhile makes it unknown again
            if self.known:
                break
            self.choose_lesson()
        else:
            return
        if self.need_focus:
            self.click(self.point(TYPING_BOX, anchored=True))
            self.need_focus = False
        text, keys, wrong_rate = self.model(), [], self.rng.choice((0.0, 0.005, 0.02, 0.05))
        for _ in range(self.rng.randrange(4, 60)):
            if self.rng.random() < wrong_rate:
                return self.type_wrong(keys, text[self.pos])
            keys += character_keys(text[self.pos])
            self.pos += 1
            if self.pos == len(text):
                return self.end_line(keys)
        self.send(keys)
        if self.alert_showing():
            self.note(f'unexpected flash: lesson {self.lesson} line {self.line} typed {text[:self.pos]!r}')
            self.screenshot('unexpected-flash')
            self.known = False
            self.settle()
            self.screenshot('after-unexpected-flash')  # what the program holds as typed

    def type_wrong(self, keys, expected):
        wrong = self.rng.choice([c for c in WRONG if c != expected])
        keys = keys + character_keys(wrong)
        if self.rng.random() < 0.3:  # keys that fall into the flash
            keys += [self.rng.choice(KEYS) for _ in range(self.rng.randrange(1, 5))]
        self.send(keys)
        if not wait_until(self.alert_showing, 3):
            self.note('no flash after a wrong key')
            self.known = False
        self.settle()
        self.need_focus = True

    def end_line(self, keys):
        self.send(keys)
        drill = self.lesson < FIRST_PASSAGE
        if drill and self.line + 1 < DRILL_LINES:
            time.sleep(LINE_ADVANCE_WAIT)  # the program's own Enter comes first
            self.line, self.pos = self.line + 1, 0
            if self.alert_showing():
                self.known = False
                self.settle()
            return
        done = self.completions
        wait_until(self.alert_showing, 5)
        self.settle()
        if self.completions == done:
            self.missed_completions += 1
            self.note('the exercise did not complete where the driver expected it to')
            self.screenshot('no-completion')
            self.known = False

    def alert_showing(self):
        return any(w[3:5] == ALERT_SIZE for w in self.windows())

    # --- everything else hands do -----------------------------------------------------------
    def chaos_keys(self):
        keys = []
        for _ in range(self.rng.randrange(1, 7)):
            r = self.rng.random()
            if r < 0.4:
                keys.append(self.rng.choice(SPECIAL))
            elif r < 0.6:
                keys += [self.rng.choice(DEAD), self.rng.choice(KEYS + list(DEAD))]
            else:
                keys.append(self.rng.choices(LEVELS, (5, 3, 2, 1))[0] + self.rng.choice(KEYS))
        if self.rng.random() < 0.7:
            self.click(self.point(TYPING_BOX, anchored=True))
        self.send(keys)
        self.known, self.need_focus = False, True
        self.settle()

    def clicks(self):
        r = self.rng.random()
        if r < 0.5:
            at, repeat = self.point(TYPING_BOX, anchored=True), self.rng.choice((1, 2, 2, 3))
        elif r < 0.7:
            at, repeat = self.point(MODEL_BOX), self.rng.choice((1, 2, 3))
        elif r < 0.8:
            at, repeat = self.point(GRID), self.rng.choice((1, 2))
        else:
            _, _, _, width, height, _ = self.main
            at, repeat = self.point((0, 0, width, height)), self.rng.choice((1, 2, 3))
        x, y = at[0] - self.main[1], at[1] - self.main[2]
        if inside((x, y - (self.main[4] - MAIN_SIZE[1])), EXIT_BUTTON) or inside((x, y), LINK):
            return
        if inside((x, y), SPIN_BOX) or inside((x, y), START_BUTTON):
            if self.diligent:
                return
            self.known = False
        button = 3 if self.rng.random() < 0.1 else 1
        self.click(at, button=button, repeat=1 if button == 3 else repeat)
        if repeat > 1 and not self.diligent and self.rng.random() < 0.5:
            self.known = False  # types straight into a selection
        else:
            self.need_focus = True
        self.settle()

    def drag(self):
        start, end = self.point(TYPING_BOX, anchored=True), self.point(TYPING_BOX, anchored=True)
        self.note(f'drag {start} {end}')
        self.x('xdotool', 'mousemove', *map(str, start), 'mousedown', '1', 'mousemove', *map(str, end),
               'mouseup', '1')
        self.known, self.need_focus = False, True
        self.settle()

    def wheel(self):
        target = self.rng.choice((SPIN_BOX, SPIN_BOX, TYPING_BOX, GRID))
        at = self.point(target, anchored=target is TYPING_BOX)
        if target is SPIN_BOX and self.rng.random() < 0.4:
            self.click(at)
            self.need_focus = True
        self.note(f'wheel at {at}')
        self.x('xdotool', 'mousemove', *map(str, at), 'click', '--repeat', str(self.rng.randrange(1, 6)),
               '--delay', '40', self.rng.choice(('4', '5')))
        if target is SPIN_BOX:
            self.known, self.spin_text = False, None
        self.settle()

    def spin_edit(self):
        self.click(self.point(SPIN_BOX))
        r = self.rng.random()
        if r < 0.5:
            number = self.rng.choice((0, 193, 999, -1, self.rng.randrange(1, 193), self.rng.randrange(1, 193)))
            keys = ['ctrl+a'] + text_keys(str(number))
        elif r < 0.8:
            keys = [self.rng.choice(('Up', 'Down', 'Prior', 'Next')) for _ in range(self.rng.randrange(1, 5))]
        else:
            keys = ['ctrl+a'] + [self.rng.choice(KEYS + ['BackSpace', 'Return', 'Delete']) for _ in range(4)]
        self.send(keys, delay_ms=40)
        if self.rng.random() < 0.5:
            self.send(['Tab'])  # leaving the box puts a number out of range back in range
        self.known, self.spin_text, self.need_focus = False, None, True
        self.settle()

    def restart_button(self):
        self.click(self.point(START_BUTTON))
        self.pos = self.line = 0
        self.known = self.known and self.spin_text is not None
        self.settle()

    def hand_window(self):
        self.click(self.point(HAND_BUTTON))
        if wait_until(lambda: any(w[0].startswith('Posi') for w in self.windows()), 5):
            if self.rng.random() < 0.5:
                self.send([self.rng.choice(KEYS) for _ in range(3)] + ['Return'])
        self.need_focus = True
        self.settle()

    def resize(self):
        wid = self.main[5]
        r = self.rng.random()
        if self.wm and r < 0.3:  # openbox maximizes (or restores) on a title-bar double-click
            self.click((self.main[1] + self.main[3] // 2, self.main[2] - 8), repeat=2)
        elif r < 0.5:
            self.note('maximize')
            self.x('xdotool', 'windowmove', wid, '0', '0', 'windowsize', wid, '1600', '1000')
        else:
            width, height = self.rng.randrange(700, 1601), self.rng.randrange(450, 1001)
            if self.rng.random() < 0.5:
                width, height = MAIN_SIZE
            self.note(f'resize {width}x{height}')
            self.x('xdotool', 'windowsize', wid, str(width), str(height))
        time.sleep(0.3)
        self.refresh_main()
        self.settle()

    # (action, weight, whether it leaves the typed text unknown to the driver). A diligent
    # student rarely does the latter, so long drills get to their end too.
    ACTIONS = (('type_lesson', 60, False), ('chaos_keys', 6, True), ('clicks', 6, False), ('drag', 1, True),
               ('wheel', 3, True), ('spin_edit', 3, True), ('restart_button', 1, True), ('hand_window', 1, False),
               ('resize', 2, False))

    # --- sessions ---------------------------------------------------------------------------
    def start_program(self):
        self.sessions += 1
        self.log_name = f'program-{self.sessions}.log'
        self.program = Program(self.desktop, self.args.program, self.folder, self.log_name)
        self.main = wait_until(lambda: next((w for w in self.windows() if w[0] == 'Tecladim' and w[3:5] == MAIN_SIZE),
                                            None), 90)
        if not self.main:
            self.check(force=True)
            raise Failure('the main window did not show')
        time.sleep(1.0)
        self.check(force=True)
        box = [w for w in self.windows() if w[5] != self.main[5] and not w[0].startswith('Posi')]
        if box:
            self.screenshot('load-error')
            raise Failure(f'session {self.sessions}: a window other than the main one at start-up '
                          f'(the saved history was not loaded?): {box}')
        # Every run starts with lesson 1; most students go elsewhere at once.
        self.known, self.spin_text, self.need_focus = self.rng.random() < 0.3, '1', True
        self.lesson, self.line, self.pos = 1, 0, 0
        self.settle()

    def close_program(self):
        """"Sair", with whatever is open dismissed first; the program must end by itself."""
        for _ in range(3):
            self.settle()
            self.refresh_main()
            if self.wm and self.rng.random() < 0.5:  # the frame's close, through the window manager
                self.click(self.point(MODEL_BOX))
                self.send(['alt+F4'])
            else:
                # "Sair" keeps its place from the left edge: in a window made narrower than
                # the layout it is out of sight, and a student widens the window to reach it.
                if self.main[3] < EXIT_BUTTON[0] + EXIT_BUTTON[2]:
                    self.note(f'resize {MAIN_SIZE[0]}x{MAIN_SIZE[1]} to reach "Sair"')
                    self.x('xdotool', 'windowsize', self.main[5], str(MAIN_SIZE[0]), str(MAIN_SIZE[1]))
                    time.sleep(0.3)
                    self.refresh_main()
                self.click(self.point(EXIT_BUTTON, anchored=True, spread=False))
            if self.program.wait_exit(30) is not None:
                break
        else:
            raise Failure('the program did not end on "Sair"')
        self.scan_log()
        if self.program.process.returncode != 0:
            raise Failure(f'the program ended with status {self.program.process.returncode} after "Sair"')
        self.program.kill()
        self.program = None
        if not (self.folder / HISTORY).exists():
            raise Failure('"Sair" wrote no history')
        shutil.copy(self.folder / HISTORY, self.desktop.artifacts / HISTORY)
        data = (self.folder / HISTORY).read_bytes()
        parsed = parse_history(data)
        if parsed is None:
            raise Failure(f'the saved history is not a data packet: {data[:300]!r}')
        if len(parsed[1]) != self.completions:
            raise Failure(f'the history holds {len(parsed[1])} records, {self.completions} reports were shown')

    def start_wm(self):
        self.wm = subprocess.Popen(['openbox', '--sm-disable'], env=self.desktop.env,
                                   stdout=subprocess.DEVNULL, stderr=open(self.desktop.artifacts / 'openbox.log', 'a'))
        time.sleep(1.0)

    def stop_wm(self):
        if self.wm:
            self.wm.terminate()
            self.wm.wait(timeout=10)
            self.wm = None

    def run(self, seconds):
        sessions = max(2, round(seconds / SESSION_SECONDS))
        end = time.monotonic() + seconds
        actions = [a for a, _, _ in self.ACTIONS]
        weights = {diligent: [w * (0.03 if diligent and unknown else 1) for _, w, unknown in self.ACTIONS]
                   for diligent in (False, True)}
        for session in range(sessions):
            if session % 2:
                self.start_wm()
            session_end = time.monotonic() + (end - time.monotonic()) / (sessions - session)
            self.start_program()
            print(f'session {self.sessions}: {"openbox" if self.wm else "no window manager"}', flush=True)
            while time.monotonic() < session_end:
                action = self.rng.choices(actions, weights[self.diligent])[0]
                self.note(f'-- {action}')
                getattr(self, action)()
                self.check()
            self.close_program()
            self.stop_wm()
            self.report()
        # The last save is loaded back by the program itself.
        self.start_program()
        self.close_program()

    def report(self):
        print(f'{time.monotonic() - self.started:6.0f} s: {self.sessions} sessions, {self.keys_sent} keys, '
              f'{self.completions} exercises completed, {len(self.flash_ids)} flashes, {self.resyncs} lessons chosen, '
              f'{self.missed_completions} expected completions missed', flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--program', required=True)
    parser.add_argument('--lesson-text', required=True)
    parser.add_argument('--seconds', type=float, default=60)
    parser.add_argument('--seed', type=int, default=None)
    parser.add_argument('--artifacts', default=None)
    args = parser.parse_args()
    args.program = str(pathlib.Path(args.program).resolve())
    args.lesson_text = str(pathlib.Path(args.lesson_text).resolve())
    seed = args.seed if args.seed is not None else random.SystemRandom().randrange(2**32)
    print(f'seed {seed} (replay with --seed {seed})', flush=True)
    # Qt and fontconfig are not instrumented and keep memory to the end: leaks are not the
    # question here, crashes and undefined behaviour are.
    os.environ.setdefault('ASAN_OPTIONS', 'detect_leaks=0:halt_on_error=1:abort_on_error=1:'
                                          'detect_stack_use_after_return=1:check_initialization_order=1')
    os.environ.setdefault('UBSAN_OPTIONS', 'halt_on_error=1:print_stacktrace=1')

    artifacts = pathlib.Path(args.artifacts or tempfile.mkdtemp(prefix='tecladim-soak-')).resolve()
    shutil.rmtree(artifacts, ignore_errors=True)
    artifacts.mkdir(parents=True)
    print(f'Artifacts (last screenshots, program output, actions, history): {artifacts}', flush=True)
    work = pathlib.Path(tempfile.mkdtemp(prefix='tecladim-soak-'))
    (work / 'class').mkdir()
    (work / 'runtime').mkdir(mode=0o700)
    desktop = soak = None
    status = 0

    def terminated(signum, frame):
        raise Failure(f'stopped by signal {signum}')
    signal.signal(signal.SIGTERM, terminated)
    try:
        desktop = Desktop(artifacts)
        desktop.use_brazilian_keyboard()
        soak = Soak(args, desktop, work / 'class', random.Random(seed))
        soak.run(args.seconds)
        print('PASS  no crash, no sanitizer report, every saved history loaded with all its records')
    except (Failure, RuntimeError, OSError, subprocess.TimeoutExpired) as failure:
        status = 1
        print(f'FAIL  {failure}', flush=True)
        if soak and soak.program:
            soak.screenshot('failure')
            print(f'Program output ({soak.log_name}):\n{soak.explain()}', flush=True)
        print(f'seed {seed}: replay with --seed {seed}; artifacts in {artifacts}', flush=True)
    finally:
        if soak:
            soak.report()
            if soak.program:
                soak.program.kill()
            soak.stop_wm()
            soak.actions.close()
        if desktop:
            desktop.close()
        shutil.rmtree(work, ignore_errors=True)
    return status


if __name__ == '__main__':
    sys.exit(main())
