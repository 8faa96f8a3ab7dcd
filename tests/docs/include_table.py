#!/usr/bin/env python3
"""The table "Which library may include which" of src/README.md against the
#include lines of src/: each library includes exactly the libraries its row
names (a row naming one it does not include is as wrong as an include the
row does not name), and none includes a library of a row below its own.
    python3 tests/docs/include_table.py [SOURCE_DIR]
"""
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', '..')
src = os.path.join(root, 'src')
with open(os.path.join(src, 'README.md'), encoding='utf-8') as f:
    text = f.read()
table = text[text.index('| Library | May include'):].split('\n\n')[0].splitlines()[2:]

allowed, order = {}, []
for row in table:
    cells = [c.strip() for c in row.strip('|').split('|')]
    names = re.findall(r'`([a-z_]+)`', cells[0].split('(')[0])
    includes = set(re.findall(r'`([a-z_]+)`', cells[1].split('(')[0]))
    for name in names:
        allowed[name] = includes
        order.append(name)

faults = []
folders = sorted(d for d in os.listdir(src) if os.path.isdir(os.path.join(src, d)))
for folder in folders:
    if folder not in allowed:
        faults.append('%s: no row in the table' % folder)
        continue
    used = set()
    for name in os.listdir(os.path.join(src, folder)):
        if name.endswith(('.h', '.cpp')):
            with open(os.path.join(src, folder, name), encoding='utf-8') as f:
                used |= set(re.findall(r'^#include "([a-z_]+)/', f.read(), re.M))
    used.discard(folder)
    for lib in sorted(used - allowed[folder]):
        faults.append('%s includes %s, which its row does not name' % (folder, lib))
    for lib in sorted(allowed[folder] - used):
        faults.append('%s: its row names %s, which it does not include' % (folder, lib))
    for lib in sorted(used & set(order)):
        if order.index(lib) > order.index(folder):
            faults.append('%s includes %s, a row below its own' % (folder, lib))
for name in sorted(set(allowed) - set(folders)):
    faults.append('%s: a row for no folder' % name)

for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
