#!/usr/bin/env python3
"""A run's records survive the end of the program by a signal: SIGTERM (a logout ending what
is left of the session), SIGHUP (a closed terminal) and SIGINT (Ctrl+C).

For each signal, the real program is started under Xvfb in a folder holding a history, a
lesson is typed to its end through the X server, and while the report window is open (the
record is in the store, nothing written yet) the signal is sent. The program must end by
itself with 128 + the signal's number, and "Exercicio.xml" must then hold the earlier records
and the new one, and "Teclas.xml" the key statistics of each of those exercises under its
record's stamps. Then a run is signalled while another program holds the history's lock: it
must give up within seconds, exit 75 and leave its record in a recovery file of the user's
data folder, which the next start merges in, while its key statistics are saved beside the
history all the same. A last run is signalled while idle and must leave both files as they were.

Usage: signal_test.py --program PATH --lesson-text PATH [--artifacts DIR]
"""
import fcntl
import os
import pathlib
import signal
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from e2e_test import (ALERT_SIZE, HISTORY, PACKET_HEAD, Checks, Desktop, Session,  # noqa: E402
                      parse_history, trainer_arguments)
from key_stats_e2e_test import EXERCISE_FIELDS, KEY_STATS, read_key_stats  # noqa: E402

# A passage of 23 plain letters keeps the typing short.
LESSON = 168
EMPTY_HISTORY = PACKET_HEAD + '<PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>'


def rows_of(folder):
    data = (folder / HISTORY).read_bytes()
    parsed = parse_history(data)
    return parsed[1] if parsed else None


def check_key_stats(checks, step, folder, rows):
    """One exercise in "Teclas.xml" per history record, under the same stamps."""
    path = folder / KEY_STATS
    exercises = read_key_stats(path.read_bytes()) if path.exists() else []
    stamps = sorted(tuple(e[f] for f in EXERCISE_FIELDS) for e in exercises)
    expected = sorted(tuple(r[f] for f in EXERCISE_FIELDS) for r in rows)
    checks.check(f'{step}: "Teclas.xml" holds the key statistics of each exercise, under its record\'s stamps',
                 stamps == expected, f'{stamps} against {expected}')


def check_locked_history(session, desktop, folder, checks, text):
    """SIGTERM while another program's save holds the history: the run waits a few seconds,
    not 30 s twice, and its record waits in the data folder for the next start."""
    recovered = pathlib.Path(os.environ['XDG_DATA_HOME']) / 'tecladim' / 'recuperados'
    rows_before = rows_of(folder) or []
    program, main_window = session.start('program-locked.log')
    try:
        if not checks.check('locked: the main window shows', main_window):
            return
        session.choose_lesson(program, main_window, LESSON)
        session.type_clean(program, main_window, text)
        if not checks.check('locked: the report opens', program.wait_window(ALERT_SIZE, timeout=10)):
            return
        with open(folder / HISTORY, 'rb') as holder:
            fcntl.flock(holder, fcntl.LOCK_EX)
            program.process.send_signal(signal.SIGTERM)
            code = program.wait_exit(timeout=15)
        checks.check('locked: the program ends with 75, the history not saved', code == 75, f'exit status {code}')
        checks.check('locked: the history is as it was', (rows_of(folder) or []) == rows_before)
        kept = list(recovered.glob('Exercicio.xml.*.recuperado.xml')) if recovered.is_dir() else []
        checks.check('locked: the record waits in the data folder', len(kept) == 1, repr(kept))
        exercises = read_key_stats((folder / KEY_STATS).read_bytes()) if (folder / KEY_STATS).exists() else []
        checks.check('locked: the key statistics are saved beside the history all the same',
                     len(exercises) == len(rows_before) + 1, f'{len(exercises)} exercises')
    finally:
        program.kill()
    program, main_window = session.start('program-after-lock.log')
    try:
        checks.check('after the lock: the main window shows', main_window)
        rows = rows_of(folder) or []
        checks.check('after the lock: the next start merged the record', len(rows) == len(rows_before) + 1,
                     repr(rows))
        check_key_stats(checks, 'after the lock', folder, rows)
        checks.check('after the lock: the recovery file is gone',
                     not list(recovered.glob('*.recuperado.xml')) if recovered.is_dir() else True)
        program.process.send_signal(signal.SIGTERM)
        program.wait_exit(timeout=15)
    finally:
        program.kill()


def main():
    args = trainer_arguments(__doc__)
    checks = Checks()
    with tempfile.TemporaryDirectory(prefix='tecladim-signal-') as scratch:
        artifacts = pathlib.Path(args.artifacts or scratch) / 'signals'
        artifacts.mkdir(parents=True, exist_ok=True)
        folder = pathlib.Path(scratch) / 'turma'
        folder.mkdir()
        os.environ['XDG_DATA_HOME'] = str(pathlib.Path(scratch) / 'dados')
        (folder / HISTORY).write_text(EMPTY_HISTORY)
        desktop = Desktop(artifacts)
        try:
            desktop.use_brazilian_keyboard()
            session = Session(args, desktop, folder, checks)
            text = session.lesson_text(LESSON)
            checks.check(f'lesson {LESSON} has a text to type', text)
            for number, sig in enumerate((signal.SIGTERM, signal.SIGHUP, signal.SIGINT), start=1):
                name = sig.name
                program, main_window = session.start(f'program-{name}.log')
                try:
                    if not checks.check(f'{name}: the main window shows', main_window):
                        continue
                    session.choose_lesson(program, main_window, LESSON)
                    session.type_clean(program, main_window, text)
                    report = program.wait_window(ALERT_SIZE, timeout=10)
                    desktop.screenshot(f'{name}-report')
                    if not checks.check(f'{name}: the exercise completes and its report opens', report):
                        continue
                    program.process.send_signal(sig)
                    code = program.wait_exit(timeout=15)
                    checks.check(f'{name}: the program ends by itself with {128 + sig}', code == 128 + sig,
                                 f'exit status {code}')
                    rows = rows_of(folder)
                    checks.check(f'{name}: the history holds the {number} record(s) of the runs so far',
                                 rows is not None and len(rows) == number, repr(rows))
                    if rows:
                        checks.check(f'{name}: the new record is lesson {LESSON}, appended (RowState 4)',
                                     rows[-1]['licao'] == str(LESSON) and rows[-1]['state'] == '4', rows[-1]['raw'])
                        check_key_stats(checks, name, folder, rows)
                finally:
                    program.kill()
            check_locked_history(session, desktop, folder, checks, text)
            before = (folder / HISTORY).read_bytes()
            key_stats_before = (folder / KEY_STATS).read_bytes() if (folder / KEY_STATS).exists() else None
            program, main_window = session.start('program-idle.log')
            try:
                checks.check('idle: the main window shows', main_window)
                program.process.send_signal(signal.SIGTERM)
                code = program.wait_exit(timeout=15)
                checks.check('idle: SIGTERM ends the program', code == 128 + signal.SIGTERM, f'exit status {code}')
                checks.check('idle: the history is written back as it was', (folder / HISTORY).read_bytes() == before)
                checks.check('idle: "Teclas.xml" is left as it was',
                             key_stats_before is not None and (folder / KEY_STATS).read_bytes() == key_stats_before)
            finally:
                program.kill()
        finally:
            desktop.close()
    print(f'{checks.passed} passed, {checks.failed} failed')
    return 1 if checks.failed else 0


if __name__ == '__main__':
    sys.exit(main())
