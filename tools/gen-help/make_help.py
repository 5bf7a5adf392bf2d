#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Turns the help page's plain source into the HTML the game carries; the output depends on
# nothing but the source, so it is reproducible.
#   make_help.py SOURCE OUTPUT
import html
import re
import sys


def inline(text):
    out = html.escape(text, quote=False)
    return re.sub(r"\[([^\]]+)\]\(#([a-z]+)\)", r'<a href="#\2">\1</a>', out)


def convert(lines):
    title = "Help"
    body = []
    paragraph = []
    table = []
    items = []

    def flush():
        if paragraph:
            body.append("<p>" + inline(" ".join(paragraph)) + "</p>")
            paragraph.clear()
        if items:
            body.append("<ul>" + "".join("<li>" + inline(i) + "</li>" for i in items) + "</ul>")
            items.clear()
        if table:
            rows = []
            for n, cells in enumerate(table):
                tag = "th" if n == 0 else "td"
                rows.append("<tr>" + "".join(f"<{tag}>{inline(c)}</{tag}>" for c in cells) + "</tr>")
            body.append('<table border="1" cellpadding="3" cellspacing="0">' + "".join(rows) + "</table>")
            table.clear()

    for raw in lines:
        line = raw.rstrip("\n")
        if line.startswith("title "):
            title = line[6:]
        elif line.startswith("#"):
            flush()
            level = len(line) - len(line.lstrip("#"))
            text = line.lstrip("#").strip()
            anchor = ""
            match = re.match(r"(.*) \{#([a-z]+)\}$", text)
            if match:
                text, anchor = match.group(1), f' id="{match.group(2)}"'
            body.append(f"<h{level}{anchor}>{inline(text)}</h{level}>")
            if anchor:
                body[-1] = f'<a name="{match.group(2)}"></a>' + body[-1]
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
    head = (
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        f"<title>{html.escape(title)}</title>\n</head>\n<body>\n"
    )
    return head + "\n".join(body) + "\n</body>\n</html>\n"


def main():
    with open(sys.argv[1], encoding="utf-8") as source:
        page = convert(source.readlines())
    with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as output:
        output.write(page)


if __name__ == "__main__":
    main()
