import unittest

from abnt2_keys import UntypableCharacter, character_keys, text_keys


class CharacterKeys(unittest.TestCase):
    CASES = [
        # (what a teacher would call it, character, keys)
        ('plain letter', 'a', ['a']),
        ('digit', '7', ['7']),
        ('capital with Shift', 'Q', ['shift+q']),
        ('c-cedilla is its own key', 'ç', ['ccedilla']),
        ('capital c-cedilla', 'Ç', ['shift+ccedilla']),
        ('a with tilde', 'ã', ['dead_tilde', 'a']),
        ('o with tilde', 'õ', ['dead_tilde', 'o']),
        ('e with acute', 'é', ['dead_acute', 'e']),
        ('a with grave (crase)', 'à', ['dead_grave', 'a']),
        ('o with circumflex', 'ô', ['dead_circumflex', 'o']),
        ('capital A with acute', 'Á', ['dead_acute', 'shift+a']),
        ('capital A with tilde', 'Ã', ['dead_tilde', 'shift+a']),
        ('capital E with acute', 'É', ['dead_acute', 'shift+e']),
        ('ordinal indicator', 'ª', ['ordfeminine']),
        ('space bar', ' ', ['space']),
        ('comma', ',', ['comma']),
        ('semicolon', ';', ['semicolon']),
        ('colon', ':', ['colon']),
        ('question mark', '?', ['question']),
        ('double quotation mark', '"', ['quotedbl']),
        ('dollar', '$', ['dollar']),
        ('hyphen', '-', ['minus']),
        ('slash', '/', ['slash']),
    ]

    def test_characters(self):
        for name, character, keys in self.CASES:
            with self.subTest(name):
                self.assertEqual(character_keys(character), keys)

    def test_decomposed_accent_is_typed_like_the_composed_letter(self):
        self.assertEqual(text_keys('a\u0303'), ['dead_tilde', 'a'])

    def test_characters_the_converter_has_no_keys_for_are_refused(self):
        for character in ['ø', 'ß', '\t', '\n', 'ǘ']:
            with self.subTest(repr(character)):
                with self.assertRaises(UntypableCharacter):
                    character_keys(character)


class TextKeys(unittest.TestCase):
    def test_a_phrase_with_accents_and_capitals(self):
        self.assertEqual(text_keys('Ação é já.'), [
            'shift+a', 'ccedilla', 'dead_tilde', 'a', 'o', 'space',
            'dead_acute', 'e', 'space', 'j', 'dead_acute', 'a', 'period'])


if __name__ == '__main__':
    unittest.main()
