"""Turns a text into the keys a student presses for it on a Brazilian ABNT2 keyboard, as key
names for `xdotool key`: "ç" is its own key, accented letters are the dead key followed by the
letter ("ã" is dead_tilde then a), capitals are typed with Shift, and punctuation goes by its
keysym name, which xdotool finds on the current layout (Shift and AltGr included).
"""
import unicodedata

# Marks that an ABNT2 dead key puts over the letter typed after it.
DEAD_KEYS = {
    '\u0301': 'dead_acute',       # á é í ó ú, the key right of P
    '\u0300': 'dead_grave',       # à, Shift on that key
    '\u0302': 'dead_circumflex',  # â ê ô, Shift on the key right of Ç
    '\u0303': 'dead_tilde',       # ã õ, that key alone
    '\u0308': 'dead_diaeresis',   # ü, Shift+6
}

SYMBOLS = {
    ' ': 'space', '!': 'exclam', '"': 'quotedbl', '#': 'numbersign', '$': 'dollar',
    '%': 'percent', '&': 'ampersand', "'": 'apostrophe', '(': 'parenleft', ')': 'parenright',
    '*': 'asterisk', '+': 'plus', ',': 'comma', '-': 'minus', '.': 'period', '/': 'slash',
    ':': 'colon', ';': 'semicolon', '<': 'less', '=': 'equal', '>': 'greater', '?': 'question',
    '@': 'at', '[': 'bracketleft', ']': 'bracketright', '_': 'underscore', '{': 'braceleft',
    '}': 'braceright', '|': 'bar', '\\': 'backslash',
    'ç': 'ccedilla', 'Ç': 'shift+ccedilla',
    'ª': 'ordfeminine', 'º': 'masculine',
}


class UntypableCharacter(ValueError):
    pass


def letter_keys(letter: str) -> str:
    if 'a' <= letter <= 'z' or '0' <= letter <= '9':
        return letter
    if 'A' <= letter <= 'Z':
        return 'shift+' + letter.lower()
    raise UntypableCharacter(letter)


def character_keys(character: str) -> list:
    """The key names, in order, that type one character."""
    if character in SYMBOLS:
        return [SYMBOLS[character]]
    base, *marks = unicodedata.normalize('NFD', character)
    if not marks:
        return [letter_keys(base)]
    if len(marks) != 1 or marks[0] not in DEAD_KEYS:
        raise UntypableCharacter(character)
    return [DEAD_KEYS[marks[0]], letter_keys(base)]


def text_keys(text: str) -> list:
    """The key names that type a whole text, character by character (a letter written with a
    separate combining mark is typed like the composed letter)."""
    keys = []
    for character in unicodedata.normalize('NFC', text):
        keys.extend(character_keys(character))
    return keys
