#!/usr/bin/env python3
"""Proves a MicroSiril input file on its own: rings the peal from rounds and
says whether every row is different and the last is rounds.

It shares nothing with Quarnel's code: it reads the file as any MicroSiril
reader would (assignments, "N bells", place notation blocks "&..." for a
symmetric half lead and "+..." as written, "2name" for a repetition, strings
to print, a trailing comma continuing a line) and works on plain lists.

  siril_prove.py FILE
prints "true: N changes" and exits 0, or "false: ..." and exits 1; 2 for a
file it cannot read.
"""
import re
import sys

SYMBOLS = "1234567890ETABCDFGHJKL"


def changes_of(block, bells):
    """The permutations of one "&..." or "+..." block."""
    symmetric = block[0] == "&"
    text = block[1:]
    changes = []
    for token in re.findall(r"[xX-]|[0-9ETABCDFGHJKL]+", text):
        if token in "xX-":
            places = set()
        else:
            places = {SYMBOLS.index(c) for c in token}
            if any(p >= bells for p in places):
                raise ValueError("place beyond the bells in " + block)
        changes.append(places)
    if symmetric:
        changes = changes + changes[-2::-1]
    return [permutation(p, bells) for p in changes]


def permutation(places, bells):
    """Who goes where: between the places made the bells swap in pairs; an
    odd run below the lowest place makes a place at the lead, one above the
    highest a place at the back."""
    made = sorted(places)
    if not made and bells % 2 == 1:
        raise ValueError("a cross on an odd number of bells")
    if made and made[0] % 2 == 1:
        made.insert(0, 0)
    if made and (bells - 1 - made[-1]) % 2 == 1:
        made.append(bells - 1)
    perm = list(range(bells))
    edges = [-1] + made + [bells]
    for low, high in zip(edges, edges[1:]):
        run = list(range(low + 1, high))
        if len(run) % 2 == 1:
            raise ValueError("no change: an odd run between places")
        for i in range(0, len(run), 2):
            perm[run[i]], perm[run[i + 1]] = perm[run[i + 1]], perm[run[i]]
    return perm


def statements(text):
    """The assignments, a trailing comma joining a line to the next."""
    lines, current = [], ""
    for raw in text.splitlines():
        line = raw.strip()
        if not line:
            continue
        current += line
        if not current.endswith(","):
            lines.append(current)
            current = ""
    if current:
        lines.append(current.rstrip(","))
    return lines


def items(expression):
    """The comma-separated items of an assignment, strings kept whole."""
    out, current, quoted = [], "", False
    for c in expression:
        if c == '"':
            quoted = not quoted
        if c == "," and not quoted:
            out.append(current.strip())
            current = ""
        else:
            current += c
    if current.strip():
        out.append(current.strip())
    return out


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-3].strip())
        return 2
    try:
        text = open(sys.argv[1], encoding="latin-1").read()
    except OSError as e:
        print("cannot read: %s" % e)
        return 2
    bells, definitions = 8, {}
    for s in statements(text):
        m = re.fullmatch(r"(\d+)\s+bells", s)
        if m:
            bells = int(m.group(1))
            continue
        name, _, expression = s.partition("=")
        definitions[name.strip()] = items(expression)

    rows = [tuple(range(bells))]
    seen = {rows[0]: 0}

    def ring(name, depth):
        if depth > 50:
            raise ValueError("definitions nest too deep at " + name)
        for item in definitions[name]:
            if item.startswith('"'):
                continue
            if item[0] in "&+":
                for perm in changes_of(item, bells):
                    rows.append(tuple(rows[-1][perm[i]] for i in range(bells)))
                continue
            m = re.fullmatch(r"(\d*)\s*(\w+)", item)
            if not m or m.group(2) not in definitions:
                raise ValueError("unknown item " + item)
            for _ in range(int(m.group(1) or 1)):
                ring(m.group(2), depth + 1)

    try:
        ring("peal", 0)
    except (ValueError, KeyError) as e:
        print("cannot read: %s" % e)
        return 2
    for n, row in enumerate(rows[1:-1], start=1):
        if row in seen:
            print("false: row %d (%s) repeats row %d" % (n, "".join(SYMBOLS[b] for b in row), seen[row]))
            return 1
        seen[row] = n
    if len(rows) == 1:
        print("false: no changes")
        return 1
    if rows[-1] != rows[0]:
        print("false: does not come round (%d changes)" % (len(rows) - 1))
        return 1
    print("true: %d changes" % (len(rows) - 1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
