#!/usr/bin/env python3
"""End-to-end test of tecladim-prova, driven from outside as a student drives it: the real
program under Xvfb with the Brazilian ABNT2 keyboard, keys sent through the X server (dead keys,
AltGr, Shift, Backspace), the buttons reached by their mnemonics.

A short test: the profile Livre with 1 minute, the first text, a sentence typed with a wrong key
taken back by Backspace, handed in with Alt+E. "Simulados.xml" must then hold that one result
(profile, time, text, the typed text, toques brutos), "Exercicio.xml" must not exist, and
SIGTERM ends the program with 143 leaving the file as it was. With --turma, the class report's
`--csv-provas` on the student's class then lists that result.

Usage: prova_e2e_test.py --program PATH [--turma PATH] [--artifacts DIR]
Prints one line per check and finally "N passed, N failed"; exits 1 when a check failed.
"""
import argparse
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from abnt2_keys import text_keys  # noqa: E402
from e2e_test import Checks, Desktop, wait_until  # noqa: E402

RESULTS = 'Simulados.xml'
HISTORY = 'Exercicio.xml'
# Accents by dead keys, "º" by AltGr, capitals by Shift, "ç" by its own key.
TYPED = 'Ação pública: o 1º dever é informar ao cidadão.'


def read_results(folder):
    """The rows of the results file, or None until its save is done: the save's lock makes
    the file empty first, and the durable write renames the whole file over it."""
    path = folder / RESULTS
    try:
        return [row.attrib for row in ElementTree.parse(path).getroot().iter('ROW')]
    except (FileNotFoundError, ElementTree.ParseError):
        return None


def check_class_report(checks, turma, classroom, artifacts):
    """The instructor's view of the same result: one line of the simulados' CSV."""
    output = artifacts / 'provas.csv'
    run = subprocess.run([str(turma), '--csv-provas', str(output), str(classroom)], capture_output=True, timeout=60)
    checks.check('tecladim-turma --csv-provas reads the class', run.returncode == 0, run.stderr.decode(errors='replace'))
    lines = output.read_bytes().decode('utf-8-sig').split('\r\n') if output.exists() else []
    cells = lines[1].split(';') if len(lines) == 3 else []
    checks.check('and lists the result: student, profile, text, minutes, toques brutos, verdict',
                 len(cells) == 11 and (cells[0], cells[1], cells[3], cells[5], cells[6]) ==
                 ('aluno', 'Livre', 'acesso-informacao', '1', str(len(TYPED))) and cells[10] in ('APTO', 'NÃO APTO'),
                 repr(lines))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--program', required=True)
    parser.add_argument('--turma', default=None)
    parser.add_argument('--artifacts', default=None)
    args = parser.parse_args()
    artifacts = pathlib.Path(args.artifacts or tempfile.mkdtemp(prefix='tecladim-prova-e2e-'))
    artifacts.mkdir(parents=True, exist_ok=True)
    checks = Checks()
    desktop = Desktop(artifacts)
    home = pathlib.Path(tempfile.mkdtemp(prefix='tecladim-prova-e2e-run-'))
    folder = home / 'aluno'
    folder.mkdir()
    (home / 'runtime').mkdir(mode=0o700)
    program = None
    try:
        layout = desktop.use_brazilian_keyboard()
        checks.check('the keyboard is ABNT2', 'layout:     br' in layout, layout)
        env = dict(desktop.env, QT_QPA_PLATFORM='xcb', XDG_RUNTIME_DIR=str(home / 'runtime'),
                   XDG_DATA_HOME=str(home / 'dados'))
        log = open(artifacts / 'prova.log', 'w')
        program = subprocess.Popen([str(pathlib.Path(args.program).resolve())], cwd=folder, env=env, stdout=log, stderr=subprocess.STDOUT)
        window = wait_until(lambda: desktop.windows(program.pid), 20)
        if not checks.check('the window shows', bool(window)):
            return 1
        window_id = window[0][5]
        checks.check('its title', window[0][0] == 'Tecladim — Prova simulada', window[0][0])
        desktop.run('xdotool', 'windowfocus', '--sync', window_id)
        time.sleep(0.3)
        # The choice: the profile box has the focus; Livre is the last profile. Then the time.
        desktop.keys(['End', 'Tab', 'Tab', 'ctrl+a', '1'])
        desktop.screenshot('escolha')
        desktop.keys(['alt+r'])
        time.sleep(0.3)
        desktop.screenshot('regras')
        desktop.keys(['alt+c'])
        time.sleep(0.3)
        desktop.keys(text_keys(TYPED[:10]) + ['x', 'BackSpace'] + text_keys(TYPED[10:]))
        time.sleep(0.3)
        desktop.screenshot('prova')
        desktop.keys(['alt+e'])
        rows = wait_until(lambda: read_results(folder), 10)
        desktop.screenshot('resultado')
        if checks.check('Simulados.xml holds one result after the hand-in', rows is not None and len(rows) == 1,
                        repr(rows)):
            row = rows[0]
            checks.check('the profile and its time', (row.get('perfil'), row.get('minutos')) == ('Livre', '1'),
                         repr(row))
            checks.check('the text', row.get('texto') == 'acesso-informacao', row.get('texto'))
            checks.check('the typed text, dead keys and AltGr included, the wrong key taken back',
                         row.get('digitado') == TYPED, repr(row.get('digitado')))
            checks.check('toques brutos are the characters typed', row.get('tb') == str(len(TYPED)), row.get('tb'))
            checks.check('the verdict and the errors are kept',
                         row.get('apto') in ('0', '1') and int(row.get('erros', '-1')) >= 0
                         and row.get('marcas') is not None, repr(row))
            checks.check('the duration is under the minute', row.get('tempo', '').startswith('18991230T00:00:'),
                         row.get('tempo'))
        checks.check('Exercicio.xml is never made', not (folder / HISTORY).exists())
        before = (folder / RESULTS).read_bytes() if (folder / RESULTS).exists() else b''
        program.send_signal(signal.SIGTERM)
        try:
            status = program.wait(timeout=15)
        except subprocess.TimeoutExpired:
            status = None
        checks.check('SIGTERM ends it with 143', status == 128 + signal.SIGTERM, repr(status))
        after = (folder / RESULTS).read_bytes() if (folder / RESULTS).exists() else b''
        checks.check('and the results are still there', after == before and len(read_results(folder) or []) == 1)
        shutil.copy(folder / RESULTS, artifacts / RESULTS) if (folder / RESULTS).exists() else None
        if args.turma:
            check_class_report(checks, pathlib.Path(args.turma).resolve(), home, artifacts)
    finally:
        if program and program.poll() is None:
            program.kill()
            program.wait()
        desktop.close()
        shutil.rmtree(home, ignore_errors=True)
    print(f'{checks.passed} passed, {checks.failed} failed')
    return 1 if checks.failed else 0


if __name__ == '__main__':
    sys.exit(main())
