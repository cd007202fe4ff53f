#!/usr/bin/env python3
"""The key statistics through the real window: the passage of lesson 176 typed on the Brazilian
ABNT2 keyboard through the X server, with its dead-key letters ("´" then "a" makes "á", "~" then
"a" makes "ã"), its AltGr "ª", its Shift capitals and "Ç", and four wrong keys, far enough apart for
each flash to end before the next: "c" where "C" is due, "x" where "ª" is, "x" where "f" is,
and the wrong dead-key pair "´" then "a" ("á") where "ã" is.

After "Sair", "Teclas.xml" must hold one exercise under the stamps of the history's record; its
wrong keys add up to the record's `erros`, each on the character that was due, with what was
typed instead; and every character of the text counts its right keys on itself (the dead key's
letter on the letter, the AltGr and Shift characters on their own), the dead keys never.
"Exercicio.xml" keeps its layout byte for byte.

Usage: key_stats_e2e_test.py --program PATH --lesson-text PATH [--artifacts DIR]
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from abnt2_keys import text_keys  # noqa: E402
import e2e_test  # noqa: E402
from e2e_test import (ALERT_SIZE, HISTORY, PACKET_HEAD, TYPING_BOX, Checks, Desktop, Session,  # noqa: E402
                      parse_history)

KEY_STATS = 'Teclas.xml'
LESSON = 176
WHOLE_TEST_SECONDS = 120
EXERCISE_FIELDS = ('licao', 'data', 'inicio', 'fim')
# Where the student slips: (the character due, the keys pressed instead, what they typed).
SLIPS = (
    ('C', ['c'], 'c'),                # Shift forgotten
    ('ª', ['x'], 'x'),                # an AltGr character missed
    ('f', ['x'], 'x'),                # a plain wrong key
    ('ã', ['dead_acute', 'a'], 'á'),  # the wrong dead key: "´" + "a" where "~" + "a" is due
)


def read_key_stats(data):
    """The exercises of a "Teclas.xml": each a dict of its stamps and 'keys', one dict per row."""
    exercises = []
    for row in ElementTree.fromstring(data).iter('ROW'):
        if 'licao' in row.attrib:
            exercises.append({**{f: row.get(f) for f in EXERCISE_FIELDS}, 'situacao': row.get('situacao', ''),
                              'keys': []})
        exercises[-1]['keys'].append({'tecla': row.get('tecla'), 'acertos': int(row.get('acertos', 0)),
                                      'erros': int(row.get('erros', 0)), 'trocas': row.get('trocas', '')})
    return exercises


def type_with_slips(session, program, main, text):
    """Types the text, each slip's wrong keys just before the first place its character is due;
    after each, the flash comes and goes and the student clicks back into the box."""
    desktop = session.desktop
    places = sorted((text.index(due), keys) for due, keys, _ in SLIPS)
    desktop.click(main, TYPING_BOX)
    done = 0
    flashes = 0
    for place, keys in places:
        type_in_words(desktop, text[done:place])
        desktop.keys(keys)
        if program.wait_window(ALERT_SIZE, timeout=5) and program.wait_gone(ALERT_SIZE, timeout=5):
            flashes += 1
        time.sleep(0.3)  # the main window takes the keyboard back first
        desktop.click(main, TYPING_BOX)
        time.sleep(0.2)
        done = place
    type_in_words(desktop, text[done:])
    return flashes


def type_in_words(desktop, text):
    """Types a word at a time, as a student pauses between words; a longer pause after an
    AltGr character, which xdotool types by remapping a spare key for the moment: runs that
    went straight on lost a key of the dead-key letters that followed, now and then."""
    for word in re.findall(r'\S*\s*', text):
        if word:
            desktop.keys(text_keys(word))
            time.sleep(0.5 if 'ª' in word else 0.02)


def check_key_stats(checks, text, record, exercises):
    check = checks.check
    if not check('one exercise in "Teclas.xml"', len(exercises) == 1, repr(exercises)):
        return
    exercise = exercises[0]
    check('its stamps are the history record\'s (licao, data, inicio, fim)',
          all(exercise[f] == record[f] for f in EXERCISE_FIELDS), f'{exercise} against {record["raw"]}')
    check('it is a completed exercise (situacao blank)', exercise['situacao'] == '', repr(exercise['situacao']))
    keys = {k['tecla']: k for k in exercise['keys']}
    check('one row per character of the text, a dead key never',
          len(keys) == len(exercise['keys']) and set(keys) == set(text), sorted(set(keys) ^ set(text)))
    check('the wrong keys add up to the record\'s erros',
          sum(k['erros'] for k in exercise['keys']) == int(record['erros']) == len(SLIPS),
          f'{sum(k["erros"] for k in exercise["keys"])} in the rows, {record["erros"]} in the record')
    wrong_counts = [(due, keys.get(due, {}).get('erros'), keys.get(due, {}).get('trocas')) for due, _, _ in SLIPS]
    check('each wrong key counts on the character due, with what was typed instead',
          wrong_counts == [(due, 1, f'{ord(typed)}:1') for due, _, typed in SLIPS], repr(wrong_counts))
    right_counts = {c: keys[c]['acertos'] for c in keys}
    check('each character counts its right keys on itself: "á" "ã" "ó" on the letter, "ª", "Ç" and '
          'the capitals on their own', right_counts == {c: text.count(c) for c in set(text)},
          repr({c: (right_counts.get(c), text.count(c)) for c in set(text) if right_counts.get(c) != text.count(c)}))


def run(args, artifacts, checks):
    work = pathlib.Path(tempfile.mkdtemp(prefix='tecladim-keys-'))
    folder = work / 'aluno'
    folder.mkdir()
    (work / 'runtime').mkdir(mode=0o700)
    # A history already there: the hand-position window stays closed.
    (folder / HISTORY).write_text(PACKET_HEAD + '<PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>')
    desktop = Desktop(artifacts)
    try:
        checks.on_failure = lambda name: desktop.screenshot('failed-keys')
        desktop.use_brazilian_keyboard()
        session = Session(args, desktop, folder, checks)
        text = session.lesson_text(LESSON)
        if not checks.check(f'lesson {LESSON} has "á", "ã", "ª" and "Ç" to type',
                            all(c in text for c in 'áãªÇ') and all(due in text for due, _, _ in SLIPS), repr(text)):
            return
        program, main = session.start('program-keys.log')
        try:
            if not checks.check('the main window shows', main, repr(program.windows())):
                return
            session.choose_lesson(program, main, LESSON)
            flashes = type_with_slips(session, program, main, text)
            checks.check('each wrong key flashes the alert', flashes == len(SLIPS), f'{flashes} flashes')
            if session.close_report(program, main, 'keys'):
                session.exit_with_sair(program, main, 'keys')
        finally:
            program.kill()
        for name in (HISTORY, KEY_STATS):
            if (folder / name).exists():
                shutil.copy(folder / name, artifacts / name)
        parsed = parse_history((folder / HISTORY).read_bytes())
        if not checks.check('"Exercicio.xml" keeps its layout, byte for byte, with one record',
                            parsed and len(parsed[1]) == 1, repr(parsed)):
            return
        if not checks.check('"Teclas.xml" is written at close', (folder / KEY_STATS).exists()):
            return
        check_key_stats(checks, text, parsed[1][0], read_key_stats((folder / KEY_STATS).read_bytes()))
    finally:
        desktop.close()
        shutil.rmtree(work, ignore_errors=True)


def main():
    args = e2e_test.trainer_arguments(__doc__)
    artifacts = pathlib.Path(args.artifacts or tempfile.mkdtemp(prefix='tecladim-keys-')).resolve() / 'keys'
    shutil.rmtree(artifacts, ignore_errors=True)
    artifacts.mkdir(parents=True)
    checks = Checks()

    return e2e_test.run_within(WHOLE_TEST_SECONDS, lambda: run(args, artifacts, checks), checks,
                               (RuntimeError, OSError, subprocess.TimeoutExpired, ElementTree.ParseError))


if __name__ == '__main__':
    sys.exit(main())
