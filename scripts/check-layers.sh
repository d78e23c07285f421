#!/usr/bin/env bash
# Fails, naming file and line, when an #include "..." under src/ breaks the floors: a file
# includes only its own folder and the floors below it (never a folder of its own floor or one
# above), and no files include each other round a circle.
#   scripts/check-layers.sh [source folder]     (default: src of this repository)
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}
exec python3 - "$src" <<'EOF'
import pathlib, re, sys

floors = {"model": 1, "ui": 1, "config": 2, "log": 2, "view": 2, "editor": 3, "engine": 3, "alert": 3, "app": 4}
src = pathlib.Path(sys.argv[1])
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
problems = []
edges = {}  # file -> [(included file, line)]

for path in sorted(p for p in src.rglob("*") if p.suffix in (".h", ".cpp", ".c", ".rc")):
    name = path.relative_to(src).as_posix()
    folder = name.split("/")[0]
    edges[name] = []
    for number, text in enumerate(path.read_text(errors="replace").splitlines(), 1):
        match = include.match(text)
        if not match:
            continue
        target = match.group(1) if "/" in match.group(1) else f"{folder}/{match.group(1)}"
        where = f"src/{name}:{number}: #include \"{match.group(1)}\""
        other = target.split("/")[0]
        if folder not in floors or other not in floors:
            unknown = folder if folder not in floors else other
            problems.append(f"{where}: {unknown} is a folder without a floor")
        elif other != folder and floors[other] >= floors[folder]:
            kind = "a higher floor" if floors[other] > floors[folder] else "a sibling folder of the same floor"
            problems.append(f"{where}: {folder} (floor {floors[folder]}) includes {other} "
                            f"(floor {floors[other]}), {kind}")
        edges[name].append((target, number))

# Circles: a depth-first walk that reports each circle once, by the edge that closes it.
state, stack = {}, []
def walk(name):
    state[name] = "open"
    stack.append(name)
    for target, number in edges.get(name, []):
        if state.get(target) == "open":
            circle = stack[stack.index(target):] + [target]
            problems.append(f"src/{name}:{number}: closes a circle of includes: "
                            + " -> ".join(circle))
        elif target in edges and target not in state:
            walk(target)
    stack.pop()
    state[name] = "done"
for name in edges:
    if name not in state:
        walk(name)

for problem in problems:
    print(problem, file=sys.stderr)
if problems:
    print(f"check-layers: {len(problems)} include(s) break the floors "
          "(a file includes only its own folder and the floors below it)", file=sys.stderr)
    sys.exit(1)
print(f"check-layers: {sum(map(len, edges.values()))} includes in {len(edges)} files keep the floors")
EOF
