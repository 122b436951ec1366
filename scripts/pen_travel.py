#!/usr/bin/env python3
"""How long a pen plotter takes over an SVG file, layer by layer.

For each layer (an Inkscape layer group; the whole document when it has none) prints the
lines drawn, the pen lifts, the length drawn, the distance the lifted pen travels in the
file's own order and in a nearest-neighbour order that may draw a line backwards (the
yardstick a plotter program's own sorting reaches), and the time at the given speeds.
Lengths are in metres on paper, from the document's width and height in millimetres
(96 dpi when it gives none). Circles and rectangles count as their outlines.

    scripts/pen_travel.py FILE.svg [--draw MM_S] [--travel MM_S] [--lift S] [--json]
"""
import argparse
import json
import math
import re
import sys
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
INKSCAPE = "{http://www.inkscape.org/namespaces/inkscape}"
NUMBER = re.compile(r"[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?")
COMMAND = re.compile(r"[MmLlHhVvQqCcZz]|" + NUMBER.pattern)


def millimetres(text):
    """A length attribute in millimetres; None when it has no unit we know."""
    if text is None:
        return None
    number = NUMBER.match(text.strip()).group(0)
    factor = {"mm": 1.0, "cm": 10.0, "in": 25.4, "pt": 25.4 / 72, "px": 25.4 / 96, "": 25.4 / 96}.get(
        text.strip()[len(number):])
    return float(number) * factor if factor else None


def bezier(points, steps=8):
    """Points along a quadratic or cubic curve, the start left out."""
    out = []
    for i in range(1, steps + 1):
        t = i / steps
        if len(points) == 3:
            a, c, b = points
            out.append(tuple((1 - t) ** 2 * a[k] + 2 * (1 - t) * t * c[k] + t * t * b[k] for k in range(2)))
        else:
            a, c1, c2, b = points
            out.append(tuple((1 - t) ** 3 * a[k] + 3 * (1 - t) ** 2 * t * c1[k] + 3 * (1 - t) * t * t * c2[k]
                             + t ** 3 * b[k] for k in range(2)))
    return out


def path_lines(d):
    """The separate pen-down lines of path data, as point lists."""
    tokens = COMMAND.findall(d)
    lines, line, at, start, command, i = [], [], (0.0, 0.0), (0.0, 0.0), "M", 0

    def number():
        nonlocal i
        i += 1
        return float(tokens[i - 1])

    while i < len(tokens):
        if not NUMBER.fullmatch(tokens[i]):
            command = tokens[i]
            i += 1
            if command in "Zz":
                line.append(start)
                at = start
                continue
        relative = command.islower()
        base = at if relative else (0.0, 0.0)
        kind = command.upper()
        if kind == "M":
            if len(line) > 1:
                lines.append(line)
            at = (base[0] + number(), base[1] + number())
            line, start = [at], at
            command = "l" if relative else "L"
        elif kind == "L":
            at = (base[0] + number(), base[1] + number())
            line.append(at)
        elif kind == "H":
            at = ((at[0] if relative else 0.0) + number(), at[1])
            line.append(at)
        elif kind == "V":
            at = (at[0], (at[1] if relative else 0.0) + number())
            line.append(at)
        elif kind in "QC":
            count = 2 if kind == "Q" else 3
            points = [(base[0] + number(), base[1] + number()) for _ in range(count)]
            line.extend(bezier([at] + points))
            at = points[-1]
    if len(line) > 1:
        lines.append(line)
    return lines


def element_lines(element):
    tag = element.tag.replace(SVG, "")
    if tag == "path":
        return path_lines(element.get("d", ""))
    if tag == "circle":
        cx, cy, r = (float(element.get(k, 0)) for k in ("cx", "cy", "r"))
        n = 64
        return [[(cx + r * math.cos(2 * math.pi * i / n), cy + r * math.sin(2 * math.pi * i / n)) for i in range(n + 1)]]
    if tag == "rect":
        x, y, w, h = (float(element.get(k, 0)) for k in ("x", "y", "width", "height"))
        return [[(x, y), (x + w, y), (x + w, y + h), (x, y + h), (x, y)]]
    if tag in ("line", "polyline", "polygon"):
        if tag == "line":
            return [[(float(element.get("x1", 0)), float(element.get("y1", 0))),
                     (float(element.get("x2", 0)), float(element.get("y2", 0)))]]
        values = [float(v) for v in NUMBER.findall(element.get("points", ""))]
        points = list(zip(values[0::2], values[1::2]))
        return [points + points[:1] if tag == "polygon" else points]
    return []


def layers_of(root):
    """(label, lines) for each layer, in document order."""
    groups = [g for g in root.iter(SVG + "g") if g.get(INKSCAPE + "groupmode") == "layer"]
    if not groups:
        groups = [root]
    result = []
    for group in groups:
        lines = []
        for element in group.iter():
            lines.extend(element_lines(element))
        result.append((group.get(INKSCAPE + "label", "document"), [l for l in lines if len(l) > 1]))
    return result


def length(line):
    return sum(math.dist(line[i - 1], line[i]) for i in range(1, len(line)))


def travel_in_order(lines):
    at, total = (0.0, 0.0), 0.0
    for line in lines:
        total += math.dist(at, line[0])
        at = line[-1]
    return total


def greedy_travel(lines):
    """Nearest end next, from the sheet's top left, a line drawn backwards when its far end is nearer."""
    if not lines:
        return 0.0
    xs = [p[0] for l in lines for p in (l[0], l[-1])]
    ys = [p[1] for l in lines for p in (l[0], l[-1])]
    x0, y0 = min(xs), min(ys)
    cell = max(1e-6, math.sqrt(max(max(xs) - x0, 1e-6) * max(max(ys) - y0, 1e-6) / len(lines)))
    grid = {}
    for index, line in enumerate(lines):
        for end, point in ((0, line[0]), (1, line[-1])):
            grid.setdefault((int((point[0] - x0) // cell), int((point[1] - y0) // cell)), []).append((index, end))
    columns = int((max(xs) - x0) // cell) + 1
    rows = int((max(ys) - y0) // cell) + 1
    drawn = [False] * len(lines)
    at, total = (0.0, 0.0), 0.0
    for _ in lines:
        cx = min(max(int((at[0] - x0) // cell), 0), columns - 1)
        cy = min(max(int((at[1] - y0) // cell), 0), rows - 1)
        best, best_distance, ring = None, math.inf, 0
        while ring <= max(columns, rows) and not (best and best_distance <= (ring - 1) * cell):
            for y in range(cy - ring, cy + ring + 1):
                step = 1 if y in (cy - ring, cy + ring) else max(2 * ring, 1)
                for x in range(cx - ring, cx + ring + 1, step):
                    for index, end in grid.get((x, y), ()):
                        if not drawn[index]:
                            point = lines[index][-1 if end else 0]
                            d = math.dist(at, point)
                            if d < best_distance:
                                best, best_distance = (index, end), d
            ring += 1
        index, end = best
        drawn[index] = True
        total += best_distance
        at = lines[index][0 if end else -1]
    return total


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("svg")
    parser.add_argument("--draw", type=float, default=40.0, help="drawing speed, mm/s (40)")
    parser.add_argument("--travel", type=float, default=150.0, help="lifted pen speed, mm/s (150)")
    parser.add_argument("--lift", type=float, default=0.25, help="seconds to lift and lower the pen (0.25)")
    parser.add_argument("--json", action="store_true", help="print the figures as JSON")
    args = parser.parse_args()

    root = ET.parse(args.svg).getroot()
    box = [float(v) for v in NUMBER.findall(root.get("viewBox", ""))]
    width_mm = millimetres(root.get("width"))
    scale = (width_mm / box[2]) if (width_mm and len(box) == 4 and box[2] > 0) else 25.4 / 96
    figures = []
    for label, lines in layers_of(root):
        drawn = sum(length(l) for l in lines) * scale
        in_order = travel_in_order(lines) * scale
        greedy = greedy_travel(lines) * scale
        seconds = drawn / args.draw + in_order / args.travel + len(lines) * args.lift
        figures.append({"layer": label, "lines": len(lines), "drawn_m": drawn / 1000, "travel_m": in_order / 1000,
                        "greedy_travel_m": greedy / 1000, "minutes": seconds / 60})
    if args.json:
        json.dump(figures, sys.stdout, indent=1)
        print()
        return 0
    print(f"{'layer':<18} {'lines':>7} {'drawn m':>9} {'travel m':>9} {'greedy m':>9} {'minutes':>8}")
    for f in figures:
        print(f"{f['layer']:<18} {f['lines']:>7} {f['drawn_m']:>9.2f} {f['travel_m']:>9.2f} "
              f"{f['greedy_travel_m']:>9.2f} {f['minutes']:>8.1f}")
    total = {k: sum(f[k] for f in figures) for k in ("lines", "drawn_m", "travel_m", "greedy_travel_m", "minutes")}
    print(f"{'all layers':<18} {total['lines']:>7} {total['drawn_m']:>9.2f} {total['travel_m']:>9.2f} "
          f"{total['greedy_travel_m']:>9.2f} {total['minutes']:>8.1f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
