"""The keyboard table of the core (lessons/abnt2_keyboard.cpp) against the two other
descriptions of the ABNT2 keyboard the project relies on: the X layout "br(abnt2)" the
end-to-end test selects, and that test's converter from characters to keys (abnt2_keys.py).
For every character of the 192 lessons, the keys the converter presses must be the keys the
table says the student presses. Run with ABNT2_LAYOUT_DUMP naming the dump program.
"""
import os
import re
import subprocess
import unittest

from abnt2_keys import SYMBOLS, character_keys

XKB_SYMBOLS = '/usr/share/X11/xkb/symbols'

# Keysym names of the characters the table holds beyond letters, digits and abnt2_keys' own.
EXTRA_KEYSYMS = {
    '¹': 'onesuperior', '²': 'twosuperior', '³': 'threesuperior', '£': 'sterling', '¢': 'cent',
    '¬': 'notsign', '§': 'section', '°': 'degree', '\\': 'backslash', '|': 'bar',
}
DEAD_KEYSYMS = {'´': 'dead_acute', '`': 'dead_grave', '~': 'dead_tilde', '^': 'dead_circumflex',
                '¨': 'dead_diaeresis'}


def keysym_of(kind, character):
    if kind == 'dead':
        return DEAD_KEYSYMS[character]
    if character.isascii() and character.isalnum():
        return character
    if character == 'Ç':
        return 'Ccedilla'
    return SYMBOLS.get(character) or EXTRA_KEYSYMS[character]


def read_dump():
    output = subprocess.run([os.environ['ABNT2_LAYOUT_DUMP']], check=True, capture_output=True,
                            text=True, encoding='utf-8').stdout
    keys, strokes = {}, {}
    for line in output.splitlines():
        word = line.split()
        if word[0] == 'KEY':
            keys[(word[1], int(word[2]))] = keysym_of(word[3], chr(int(word[4], 16)))
        elif word[0] == 'CHAR':
            strokes[chr(int(word[1], 16))] = [tuple(s.split(':')) for s in word[2:]]
    return keys, strokes


def xkb_section(path, name):
    with open(path, encoding='utf-8') as f:
        text = f.read()
    match = re.search(r'xkb_symbols\s+"%s"\s*{(.*?)\n};' % re.escape(name), text, re.S)
    return {key: [s.strip() for s in syms.split(',')]
            for key, syms in re.findall(r'key\s+<(\w+)>\s*{\s*\[([^\]]*)\]', match.group(1))}


class Abnt2Layout(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.keys, cls.strokes = read_dump()

    @unittest.skipUnless(os.path.exists(os.path.join(XKB_SYMBOLS, 'br')), 'no X keyboard descriptions here')
    def test_every_symbol_of_the_table_is_what_x_gives_at_that_key_and_level(self):
        layout = xkb_section(os.path.join(XKB_SYMBOLS, 'latin'), 'basic')
        layout.update(xkb_section(os.path.join(XKB_SYMBOLS, 'br'), 'abnt2'))
        layout['SPCE'] = ['space']
        for (key, level), keysym in sorted(self.keys.items()):
            with self.subTest(key=key, level=level):
                self.assertEqual(layout[key][level - 1], keysym)

    def test_the_end_to_end_converter_presses_the_tables_keys_for_every_lesson_character(self):
        places = {}
        for place, keysym in self.keys.items():
            places.setdefault(keysym, set()).add(place)
        self.assertGreater(len(self.strokes), 80)
        for character, strokes in sorted(self.strokes.items()):
            with self.subTest(character=character):
                names = character_keys(character)
                self.assertEqual(len(names), len(strokes))
                for name, (key, level) in zip(names, strokes):
                    if name.startswith('shift+'):
                        candidates = {(k, 2) for k, lv in places.get(name[len('shift+'):], ()) if lv == 1}
                    else:
                        candidates = places.get(name, set())
                    self.assertIn((key, int(level)), candidates, name)


if __name__ == '__main__':
    unittest.main()
