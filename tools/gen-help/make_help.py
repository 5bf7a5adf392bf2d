#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Turns the help page's plain sources, one per language, into the one HTML document the game
# carries: a <section lang="xx"> per language, which the help viewer shows by itself. "{N}" in a
# source is key N of the string table in that language, as the menu shows it (no access-key
# ampersand), so a caption never differs between the game and its help. The output depends
# on nothing but the sources, so it is reproducible.
#   make_help.py STRING_TABLE OUTPUT SOURCE...   (SOURCE named help.<language code>.txt)
import html
import os
import re
import sys

# The string table's languages in its own order, by the codes the sources are named with.
TABLE_LANGUAGES = ["en", "ru", "uk", "fr"]
KEY_NAME = re.compile(r"\b(?:F\d{1,2}|Ctrl\+[A-Z]|Esc)\b")
# A key cell holding one letter, as the hint's H.
LETTER_KEY = re.compile(r"[A-Z]")
PLACEHOLDER = re.compile(r"\{(\d+)\}")


def fail(message):
    sys.exit("make_help.py: " + message)


def unescape_literal(body):
    if re.search(r'\\[^"\\]', body):
        fail("string table literal with an escape this reader does not know: " + body)
    return body.replace('\\"', '"').replace("\\\\", "\\")


def initializer_tokens(text, name, path):
    """The literals, numbers and braces of NAME's initializer, comments left out."""
    match = re.search(r"\b%s\s*=" % name, text)
    if not match:
        fail("%s has no %s" % (path, name))
    for token in re.finditer(r'"((?:[^"\\]|\\.)*)"|//[^\n]*|\d+|[{},;]', text[match.end():]):
        if token.group(0).startswith("//"):
            continue
        if token.group(0) == ";":
            return
        yield token


def literal_groups(tokens, depth_of_literals, on_number=None):
    """Per brace group at DEPTH_OF_LITERALS, its literals, adjacent literals joined; a number
    one level up (an entry's key) goes to ON_NUMBER."""
    depth, groups, joining = 0, [], False
    for token in tokens:
        t = token.group(0)
        if t == "{":
            depth += 1
            if depth == depth_of_literals:
                groups.append([])
        elif t == "}":
            depth -= 1
        elif token.group(1) is not None and depth == depth_of_literals:
            literal = unescape_literal(token.group(1))
            if joining:
                groups[-1][-1] += literal
            else:
                groups[-1].append(literal)
            joining = True
            continue
        elif t.isdigit() and on_number and depth == depth_of_literals - 1:
            on_number(int(t))
        joining = False
    return groups


def read_string_table(path):
    """Per language, its texts by key: 1..n from kTable, the keys after them from kAdded."""
    with open(path, encoding="utf-8") as source:
        text = source.read()
    groups = literal_groups(initializer_tokens(text, "kTable", path), 4)
    if len(groups) != len(TABLE_LANGUAGES) or len({len(g) for g in groups}) != 1:
        fail(path + ": expected %d languages of equal length" % len(TABLE_LANGUAGES))
    table = {code: {n + 1: t for n, t in enumerate(g)} for code, g in zip(TABLE_LANGUAGES, groups)}
    added_keys = []
    added = literal_groups(initializer_tokens(text, "kAdded", path), 4, added_keys.append)
    if len(added) != len(added_keys):
        fail(path + ": every kAdded entry needs one key and one list of texts")
    for key, texts in zip(added_keys, added):
        if len(texts) != len(TABLE_LANGUAGES):
            fail("%s: kAdded key %d has %d texts, not %d" %
                 (path, key, len(texts), len(TABLE_LANGUAGES)))
        if key in table["en"]:
            fail("%s: kAdded key %d is already in the table" % (path, key))
        for code, entry in zip(TABLE_LANGUAGES, texts):
            table[code][key] = entry
    return table


def as_shown(caption):
    """A caption as the menu shows it: blanks around it trimmed, '&&' one ampersand, a lone
    '&' (the access-key marker) gone."""
    return re.sub(r"&(&?)", lambda m: m.group(1), caption.strip())


def caption_html(caption):
    # Blanks inside a caption ("Exit    Esc") show as the menu shows them.
    escaped = html.escape(as_shown(caption), quote=False)
    return re.sub(r" {2,}", lambda m: " " + "&nbsp;" * (len(m.group(0)) - 1), escaped)


class Page:
    def __init__(self, code, keys):
        self.code = code
        self.keys = keys
        self.title = "Help"
        self.anchors = []
        self.tables = []  # per table, per row: the keys and placeholders it names

    def inline(self, text):
        out = html.escape(text, quote=False)

        def key(match):
            n = int(match.group(1))
            if n not in self.keys:
                fail("help.%s.txt names key %d, which the string table does not have" %
                     (self.code, n))
            return caption_html(self.keys[n])

        out = PLACEHOLDER.sub(key, out)
        return re.sub(r"\[([^\]]+)\]\(#([a-z]+)\)",
                      lambda m: '<a href="#%s-%s">%s</a>' % (self.code, m.group(2), m.group(1)),
                      out)

    def convert(self, lines):
        body, paragraph, table, items = [], [], [], []

        def flush():
            if paragraph:
                body.append("<p>" + self.inline(" ".join(paragraph)) + "</p>")
                paragraph.clear()
            if items:
                body.append("<ul>" + "".join("<li>" + self.inline(i) + "</li>" for i in items) +
                            "</ul>")
                items.clear()
            if table:
                rows = []
                for n, cells in enumerate(table):
                    tag = "th" if n == 0 else "td"
                    rows.append("<tr>" + "".join(f"<{tag}>{self.inline(c)}</{tag}>"
                                                 for c in cells) + "</tr>")
                body.append('<table border="1" cellpadding="3" cellspacing="0">' +
                            "".join(rows) + "</table>")
                self.tables.append([[len(cells)] + PLACEHOLDER.findall(" ".join(cells)) +
                                    KEY_NAME.findall(" ".join(cells)) +
                                    [c for c in cells if LETTER_KEY.fullmatch(c)]
                                    for cells in table[1:]])
                table.clear()

        for raw in lines:
            line = raw.rstrip("\n")
            if line.startswith("title "):
                self.title = line[6:]
            elif line.startswith("#"):
                flush()
                level = len(line) - len(line.lstrip("#"))
                text = line.lstrip("#").strip()
                match = re.match(r"(.*) \{#([a-z]+)\}$", text)
                heading = f"<h{level}>{self.inline(text)}</h{level}>"
                if match:
                    anchor = f"{self.code}-{match.group(2)}"
                    self.anchors.append(match.group(2))
                    heading = (f'<a name="{anchor}"></a><h{level} id="{anchor}">'
                               f"{self.inline(match.group(1))}</h{level}>")
                body.append(heading)
            elif line.startswith("| "):
                if paragraph or items:
                    flush()
                table.append([c.strip() for c in line.strip().strip("|").split("|")])
            elif line.startswith("- "):
                if paragraph or table:
                    flush()
                items.append(line[2:].strip())
            elif line.startswith("  ") and items:
                items[-1] += " " + line.strip()
            elif not line.strip():
                flush()
            else:
                if table:
                    flush()
                paragraph.append(line.strip())
        flush()
        return (f'<section lang="{self.code}" title="{html.escape(self.title)}">\n' +
                "\n".join(body) + "\n</section>")


def check_same_facts(pages):
    """Every page has the sections and key tables of the first, row by row."""
    first = pages[0]
    for page in pages[1:]:
        if page.anchors != first.anchors:
            fail(f"help.{page.code}.txt has the sections {page.anchors}, "
                 f"help.{first.code}.txt {first.anchors}")
        if page.tables != first.tables:
            fail(f"the tables of help.{page.code}.txt differ from help.{first.code}.txt in their "
                 "shape, keys or captions")


def main():
    if len(sys.argv) < 4:
        fail("usage: make_help.py STRING_TABLE OUTPUT SOURCE...")
    table = read_string_table(sys.argv[1])
    pages, parts = [], []
    for source_path in sys.argv[3:]:
        match = re.fullmatch(r"help\.([a-z]{2})\.txt", os.path.basename(source_path))
        if not match or match.group(1) not in table:
            fail(source_path + " is not named help.<language of the string table>.txt")
        page = Page(match.group(1), table[match.group(1)])
        with open(source_path, encoding="utf-8") as source:
            parts.append(page.convert(source.readlines()))
        pages.append(page)
    check_same_facts(pages)
    document = (
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
        f"<title>{html.escape(pages[0].title)}</title>\n</head>\n<body>\n" +
        "\n".join(parts) + "\n</body>\n</html>\n")
    with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as output:
        output.write(document)


if __name__ == "__main__":
    main()
