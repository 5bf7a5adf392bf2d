#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The help generator against small string tables and pages: the added keys are read like the
# table's own, and a page that names a key nobody has or differs from the others fails the build.
#   test_make_help.py MAKE_HELP
import os
import subprocess
import sys
import tempfile
import unittest

MAKE_HELP = sys.argv.pop(1) if len(sys.argv) > 1 else "make_help.py"

TABLE = """
constexpr std::array<std::array<const char*, KeyCount>, LanguageCount> kTable = {{
    {{"&Game", "Exit    Esc"}},
    {{"&Игра", "Выход    Esc"}},
    {{"&Гра", "Вихід    Esc"}},
    {{"&Jeu", "Quitter    Esc"}},
}};
struct AddedText { int Key; const char* Texts[4]; };
// A comment with "quotes", {braces} and 99 numbers is no entry.
constexpr std::array<AddedText, 2> kAdded = {{
    {32, {"&Hint", "&Подсказка", "&Підказка", "&Indice"}},
    {40,
     {"Rec&ords && more", "Рекорды", "Ре&корди",
      "Tableau "
      "des records"}},
}};
"""

PAGE = """title Help {code}

# Velmar

| Menu | Command | Key |
| {{1}} | {{32}} | H |
| {{1}} | {{40}} | Ctrl+R |
"""


def generate(pages, table=TABLE):
    """make_help.py's exit code, page and complaint for these sources."""
    with tempfile.TemporaryDirectory() as folder:

        def write(name, text):
            path = os.path.join(folder, name)
            with open(path, "w", encoding="utf-8") as file:
                file.write(text)
            return path

        table_path = write("StringTable.cpp", table)
        sources = [write(f"help.{code}.txt", text) for code, text in pages.items()]
        out = os.path.join(folder, "VELMAR.html")
        done = subprocess.run([sys.executable, MAKE_HELP, table_path, out] + sources,
                              capture_output=True, text=True)
        page = ""
        if done.returncode == 0:
            with open(out, encoding="utf-8") as file:
                page = file.read()
        return done.returncode, page, done.stderr


def pages(**changed):
    texts = {code: PAGE.format(code=code) for code in ["en", "ru", "uk", "fr"]}
    texts.update(changed)
    return texts


class TestMakeHelp(unittest.TestCase):
    def test_added_keys_show_as_their_menu_captions_in_every_language(self):
        code, page, error = generate(pages())
        self.assertEqual(code, 0, error)
        captions = ["Hint", "Records &amp; more", "Подсказка", "Рекорды", "Підказка", "Рекорди",
                    "Indice", "Tableau des records"]
        for caption in captions:
            self.assertIn(f"<td>{caption}</td>", page)
        self.assertIn("<td>Game</td>", page)
        self.assertIn("<td>H</td>", page)

    def test_a_key_neither_list_has_fails(self):
        for missing in ["{33}", "{3}", "{0}"]:
            with self.subTest(key=missing):
                code, _, error = generate(pages(fr=PAGE.format(code="fr") +
                                                           f"\nSee {missing}.\n"))
                self.assertNotEqual(code, 0)
                self.assertIn("help.fr.txt names key", error)

    def test_tables_that_differ_between_languages_fail(self):
        cases = {
            "a letter key left out": PAGE.format(code="uk").replace("| H |", "| |"),
            "another letter key": PAGE.format(code="uk").replace("| H |", "| K |"),
            "another added caption": PAGE.format(code="uk").replace("{40}", "{32}"),
        }
        for name, text in cases.items():
            with self.subTest(name):
                code, _, error = generate(pages(uk=text))
                self.assertNotEqual(code, 0)
                self.assertIn("tables of help.uk.txt differ", error)

    def test_a_broken_added_list_fails(self):
        cases = {
            "three texts": TABLE.replace('"&Hint", ', ""),
            "a key of the table": TABLE.replace("{32,", "{2,"),
            "no key": TABLE.replace("{40,", "{"),
            "no list": TABLE.replace("kAdded =", "kOther ="),
        }
        for name, table in cases.items():
            with self.subTest(name):
                code, _, error = generate(pages(), table)
                self.assertNotEqual(code, 0)
                self.assertIn("StringTable.cpp", error)


if __name__ == "__main__":
    unittest.main()
