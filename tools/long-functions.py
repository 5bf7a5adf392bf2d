#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Lists the functions whose body is longer than a limit (60 lines unless given), longest first.
#   tools/long-functions.py [LIMIT] [PATH...]
# It reads the sources as clang-format leaves them: a body ends at the closing brace on the
# indentation of the line that opened it. clang-tidy's readability-function-size gives the
# same figures but needs minutes per file on a small machine.
import os
import re
import subprocess
import sys

CONTROL = re.compile(r'\s*(namespace|class|struct|enum|union|if|for|while|switch|else|do|case|'
                     r'try|catch|return|extern)\b')
CALL = re.compile(r'([~\w:]+)\s*\(')


def signature_start(lines, i):
    """The first line of the signature that ends on line i, or None when it is no function."""
    text, k = lines[i], i
    while '(' not in text and k > 0 and i - k < 4 and not lines[k - 1].lstrip().startswith('//'):
        k -= 1
        text = lines[k] + ' ' + text
    head = text.split('(')[0]
    if '(' not in text or '=' in head or re.search(r'\b(if|for|while|switch)\s*\(', text):
        return None
    return k


def body_end(lines, i, indent):
    closing = ' ' * indent + '}'
    for j in range(i + 1, len(lines)):
        line = lines[j]
        if line.startswith(closing) and (len(line) == indent + 1 or line[indent + 1] in ';)'):
            return j
    return None


def long_functions(path, limit):
    with open(path, encoding='utf-8', errors='replace') as source:
        lines = source.read().split('\n')
    for i, line in enumerate(lines):
        stripped = line.strip()
        if (not stripped.endswith('{') or re.search(r'=\s*\{+$', stripped) or CONTROL.match(line)
                or stripped.startswith(('{', '}', '[', '//', '#'))):
            continue
        k = signature_start(lines, i)
        if k is None:
            continue
        indent = len(lines[k]) - len(lines[k].lstrip())
        j = body_end(lines, i, indent)
        if j is not None and j - i - 1 > limit:
            name = CALL.search(' '.join(lines[k:i + 1]))
            yield j - i - 1, f'{path}:{k + 1}', name.group(1) if name else '?'


def main():
    limit = int(sys.argv[1]) if len(sys.argv) > 1 else 60
    paths = sys.argv[2:] or ['.']
    files = subprocess.check_output(['git', 'ls-files', '--', *[p + '/*.cpp' for p in paths],
                                     *[p + '/*.h' for p in paths]], text=True).split()
    found = sorted((f for path in files for f in long_functions(path, limit)), reverse=True)
    for length, where, name in found:
        print(f'{length:5d}  {where}  {name}')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
