#!/usr/bin/env python3
"""The build's link graph against the intended layering.

check_layering.py GRAPH TABLE [--refuse FROM TO]

GRAPH is the dot file `cmake --graphviz` writes for the whole build; TABLE lists, for every
target of the project, the targets and libraries it may link directly (see layering.txt).
Every target of the project must match a row, and its direct links must be exactly the
row's: a missing or an extra edge fails the check, with the edge named.

--refuse FROM TO adds the edge FROM -> TO to the graph and succeeds only when the check
then fails naming that edge: it shows that the check catches a wrong edge.
"""
import re
import sys

# Code generators the build runs; they are not linked.
BUILD_TOOLS = {"Qt6::moc", "Qt6::rcc", "Qt6::uic"}


def read_graph(path):
    labels = {}
    edges = {}
    node = re.compile(r'^\s*"(node\d+)"\s*\[\s*label\s*=\s*"([^"]*)"')
    edge = re.compile(r'^\s*"(node\d+)"\s*->\s*"(node\d+)"')
    with open(path) as f:
        lines = f.read().splitlines()
    for line in lines:
        m = node.match(line)
        if m:
            labels[m.group(1)] = m.group(2)
    for line in lines:
        m = edge.match(line)
        if m:
            edges.setdefault(labels[m.group(1)], set()).add(labels[m.group(2)])
    return set(labels.values()), edges


def own_target(name):
    """A target of this project: imported targets carry '::', plain libraries are paths."""
    return "::" not in name and not name.startswith("/")


def read_table(path):
    rows = []
    with open(path) as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            pattern, *links = line.split()
            links = [] if links == ["-"] else links
            required = {l for l in links if not l.endswith("?")}
            optional = {l[:-1] for l in links if l.endswith("?")}
            rows.append((number, re.compile(pattern + r"\Z"), required, optional))
    return rows


def check(targets, edges, rows):
    problems = []
    for target in sorted(t for t in targets if own_target(t)):
        row = next((r for r in rows if r[1].match(target)), None)
        if row is None:
            problems.append(f"{target}: no row of the table names it")
            continue
        number, _, required, optional = row
        links = edges.get(target, set()) - BUILD_TOOLS
        for extra in sorted(links - required - optional):
            problems.append(f"{target} -> {extra}: an edge the table does not allow (row {number})")
        for missing in sorted(required - links):
            problems.append(f"{target} -> {missing}: an edge of the table is missing (row {number})")
    return problems


def main(argv):
    if len(argv) not in (3, 6) or (len(argv) == 6 and argv[3] != "--refuse"):
        print(__doc__, file=sys.stderr)
        return 2
    targets, edges = read_graph(argv[1])
    rows = read_table(argv[2])
    if len(argv) == 6:
        source, target = argv[4], argv[5]
        if source not in targets:
            print(f"{source} is no target of the graph", file=sys.stderr)
            return 1
        edges.setdefault(source, set()).add(target)
        targets.add(target)
        problems = check(targets, edges, rows)
        wanted = f"{source} -> {target}: an edge the table does not allow"
        if any(p.startswith(wanted) for p in problems):
            print(f"refused as it should be: {source} -> {target}")
            return 0
        print(f"the check let {source} -> {target} pass", file=sys.stderr)
        return 1
    problems = check(targets, edges, rows)
    for p in problems:
        print(p, file=sys.stderr)
    if problems:
        return 1
    print(f"{sum(own_target(t) for t in targets)} targets, every edge as the table says")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
