#!/bin/sh
# Lists circles among the units of src/ (a unit is a header with its source, named by its
# path without the extension) and fails when there is one. A unit depends on another when
# its header or its source includes the other's header by its path under src/.
set -eu
src=${1:-$(dirname "$0")/../src}
cd "$src"
find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort | while read -r file; do
  unit=${file%.*}
  sed -n 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)\.h".*|\1|p' "$file" |
    while read -r target; do
      if [ -f "$target.h" ] && [ "$target" != "$unit" ]; then echo "$unit $target"; fi
    done
done | sort -u | python3 -c '
import sys
edges = {}
for line in sys.stdin:
    a, b = line.split()
    edges.setdefault(a, set()).add(b)
    edges.setdefault(b, set())
index, low, stack, on, circles, counter = {}, {}, [], set(), [], [0]
def visit(v):
    index[v] = low[v] = counter[0]; counter[0] += 1
    stack.append(v); on.add(v)
    for w in sorted(edges[v]):
        if w not in index:
            visit(w); low[v] = min(low[v], low[w])
        elif w in on:
            low[v] = min(low[v], index[w])
    if low[v] == index[v]:
        part = []
        while True:
            w = stack.pop(); on.discard(w); part.append(w)
            if w == v: break
        if len(part) > 1: circles.append(sorted(part))
sys.setrecursionlimit(10000)
for v in sorted(edges):
    if v not in index: visit(v)
for part in circles:
    print("circle of units:", " ".join(part))
    for a in part:
        for b in sorted(edges[a] & set(part)):
            print("  %s includes %s" % (a, b))
print("%d units, %d circles" % (len(edges), len(circles)))
sys.exit(1 if circles else 0)
'
