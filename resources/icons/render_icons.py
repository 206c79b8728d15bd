#!/usr/bin/env python3
"""Renders the program's button and tree pictures into PNG files.

Every picture is listed in pictures.txt: its file name, its size, the plate it
sits on and the glyph drawn on the plate. A glyph is a 16 x 16 symbolic icon of
the Adwaita icon theme (read from the installed theme), one of our own under
glyphs/, or a pane layout drawn here. Each picture is composed as one SVG and
rendered with rsvg-convert at exactly its size.

usage: render_icons.py PICTURES_TXT ADWAITA_FOLDER OUTPUT_FOLDER
"""

import math
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# Plates: (top colour, bottom colour, border colour, glyph colour).
PLATES = {
    "tool": ("#44628a", "#2c4263", "#6283ae", "#f3f6fa"),
    "on": ("#2fa35f", "#1c7440", "#5cc487", "#ffffff"),
    "rec": ("#dc4b45", "#a3302c", "#f07a74", "#ffffff"),
    "ptz": ("#4d6b94", "#2f4668", "#6a8cb8", "#f3f6fa"),
}

BADGE_COLOURS = {"plus": "#2fa35f", "minus": "#d98b1f", "stop": "#c9302c", "rec": "#e0312b"}

# Pane layouts as cell rectangles (column, row, width, height) on a grid of
# (columns, rows), in the order the grid places its panes.
def square_layout(k):
    return (k, k), [(c, r, 1, 1) for r in range(k) for c in range(k)]


LAYOUTS = {
    "1": ((1, 1), [(0, 0, 1, 1)]),
    "4": square_layout(2),
    "9": square_layout(3),
    "16": square_layout(4),
    "25": square_layout(5),
    "36": square_layout(6),
    "49": square_layout(7),
    "64": square_layout(8),
    "6": ((3, 3), [(0, 0, 2, 2), (2, 0, 1, 1), (2, 1, 1, 1), (2, 2, 1, 1), (1, 2, 1, 1), (0, 2, 1, 1)]),
    "8": ((4, 4), [(0, 0, 3, 3)] + [(3, r, 1, 1) for r in range(4)] + [(c, 3, 1, 1) for c in (2, 1, 0)]),
    "10": ((4, 3), [(0, 0, 2, 1), (2, 0, 2, 1)] + [(c, r, 1, 1) for r in (1, 2) for c in range(4)]),
    "13": ((4, 4), [(c, 0, 1, 1) for c in range(4)] + [(0, 1, 1, 1), (1, 1, 2, 2), (3, 1, 1, 1), (0, 2, 1, 1),
                                                       (3, 2, 1, 1)] + [(c, 3, 1, 1) for c in range(4)]),
    # Playback windows: one, two side by side, four.
    "p1": ((1, 1), [(0, 0, 1, 1)]),
    "p2": ((2, 1), [(0, 0, 1, 1), (1, 0, 1, 1)]),
    "p4": square_layout(2),
}

FILL_ATTR = re.compile(r'\s(fill|stroke)="(?!none)[^"]*"')
FILL_STYLE = re.compile(r'(fill|stroke):\s*(?!none)[#a-zA-Z0-9()., ]+;?')


def svg_body(path, recolour):
    """The drawing elements of an SVG file; `recolour` drops their own colours
    (the theme's symbolic icons are drawn in one grey) so the plate's colour
    applies. Our own glyphs draw in currentColor and keep theirs."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    start = text.index(">", text.index("<svg")) + 1
    body = text[start:text.rindex("</svg>")]
    if recolour:
        body = FILL_ATTR.sub("", body)
        body = FILL_STYLE.sub("", body)
    return body


def iris_body(opening):
    """An aperture: a disc cut by a hexagonal opening of radius `opening` and
    by six blade edges running from the opening's corners to the rim."""
    corners = [(8 + opening * math.cos(math.radians(60 * i - 90)), 8 + opening * math.sin(math.radians(60 * i - 90)))
               for i in range(6)]
    hexagon = " ".join("%s %.3f %.3f" % ("M" if i == 0 else "L", x, y) for i, (x, y) in enumerate(corners)) + " Z"
    edges = []
    for i, (x, y) in enumerate(corners):
        # Along the hexagon's side, on past the corner to the rim.
        nx, ny = corners[(i + 1) % 6]
        dx, dy = x - nx, y - ny
        length = math.hypot(dx, dy) or 1.0
        edges.append('<line x1="%.3f" y1="%.3f" x2="%.3f" y2="%.3f" stroke="black" stroke-width="1.1"/>'
                     % (x, y, x + dx / length * 9, y + dy / length * 9))
    mask_id = "iris%d" % int(opening * 10)
    return ('<defs><mask id="%s" maskUnits="userSpaceOnUse" x="0" y="0" width="16" height="16">'
            '<rect width="16" height="16" fill="white"/><path d="%s" fill="black"/>%s</mask></defs>'
            '<circle cx="8" cy="8" r="7.6" fill="currentColor" mask="url(#%s)"/>'
            % (mask_id, hexagon, "".join(edges), mask_id))


def layout_body(name):
    """A pane layout drawn as outlined cells in a 16 x 16 box."""
    (cols, rows), cells = LAYOUTS[name]
    parts = []
    box = 15.0
    cw, ch = box / cols, box / rows
    line = 1.2 if max(cols, rows) <= 4 else 0.9
    for (c, r, w, h) in cells:
        x, y = 0.5 + c * cw, 0.5 + r * ch
        parts.append('<rect x="%.3f" y="%.3f" width="%.3f" height="%.3f" fill="none" stroke="currentColor" '
                     'stroke-width="%.2f"/>' % (x, y, w * cw, h * ch, line))
    # The first pane is filled lightly so the big panes of uneven layouts stand out.
    c, r, w, h = cells[0]
    parts.append('<rect x="%.3f" y="%.3f" width="%.3f" height="%.3f" fill="currentColor" fill-opacity="0.35"/>'
                 % (0.5 + c * cw, 0.5 + r * ch, w * cw, h * ch))
    return "\n".join(parts)


def glyph_body(source, adwaita):
    kind, _, name = source.partition(":")
    if kind == "adwaita":
        scalable = os.path.join(adwaita, "scalable")
        for sub in sorted(os.listdir(scalable)) if os.path.isdir(scalable) else []:
            path = os.path.join(scalable, sub, name + ".svg")
            if os.path.exists(path):
                return svg_body(path, True)
        raise SystemExit("render_icons: no Adwaita icon %s under %s" % (name, adwaita))
    if kind == "own":
        return svg_body(os.path.join(HERE, "glyphs", name + ".svg"), False)
    if kind == "iris":
        return iris_body({"open": 4.4, "close": 1.9}[name])
    if kind == "layout":
        return layout_body(name)
    raise SystemExit("render_icons: unknown glyph %s" % source)


def badge_svg(kind, x, y, r):
    colour = BADGE_COLOURS[kind]
    parts = ['<circle cx="%.2f" cy="%.2f" r="%.2f" fill="%s" stroke="#ffffff" stroke-width="0.9"/>' % (x, y, r, colour)]
    arm = r * 0.55
    if kind in ("plus", "minus"):
        parts.append('<rect x="%.2f" y="%.2f" width="%.2f" height="%.2f" fill="#ffffff"/>' % (x - arm, y - 0.6, 2 * arm, 1.2))
    if kind == "plus":
        parts.append('<rect x="%.2f" y="%.2f" width="%.2f" height="%.2f" fill="#ffffff"/>' % (x - 0.6, y - arm, 1.2, 2 * arm))
    if kind == "stop":
        parts.append('<rect x="%.2f" y="%.2f" width="%.2f" height="%.2f" fill="#ffffff"/>' % (x - arm * 0.8, y - arm * 0.8, 1.6 * arm, 1.6 * arm))
    return "\n".join(parts)


def compose(width, height, plate, glyph, adwaita, glyph_colour=None, badge=None, glyph_size=None):
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">' % (width, height, width, height)]
    colour = glyph_colour or "#2e3436"
    if plate != "none":
        top, bottom, border, ink = PLATES[plate]
        colour = glyph_colour or ink
        parts.append('<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
                     '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient></defs>' % (top, bottom))
        parts.append('<rect x="0.5" y="0.5" width="%.1f" height="%.1f" rx="3.5" fill="url(#g)" stroke="%s"/>'
                     % (width - 1, height - 1, border))
    margin = 3 if plate != "none" else 0
    size = glyph_size or max(1, min(width, height) - 2 * margin)
    scale = size / 16.0
    gx, gy = (width - size) / 2.0, (height - size) / 2.0
    parts.append('<g transform="translate(%.3f %.3f) scale(%.4f)" fill="%s" stroke="none" color="%s">' % (gx, gy, scale, colour, colour))
    parts.append(glyph_body(glyph, adwaita))
    parts.append("</g>")
    if badge:
        r = max(3.0, size * 0.24)
        parts.append(badge_svg(badge, width - r - 0.6, r + 0.6 if badge in ("plus", "minus") else height - r - 0.6, r))
    parts.append("</svg>")
    return "\n".join(parts)


def parse_line(line):
    """name WxH plate glyph [colour=#rrggbb] [badge=kind] [glyph=N]"""
    fields = line.split()
    name, size, plate, glyph = fields[:4]
    width, height = (int(v) for v in size.split("x"))
    options = dict(f.split("=", 1) for f in fields[4:])
    return name, width, height, plate, glyph, options


def main(argv):
    if len(argv) != 4:
        raise SystemExit(__doc__)
    pictures, adwaita, out = argv[1:]
    os.makedirs(out, exist_ok=True)
    with open(pictures, encoding="utf-8") as f:
        lines = [l.strip() for l in f if l.strip() and not l.lstrip().startswith("#")]
    with tempfile.TemporaryDirectory() as work:
        for line in lines:
            name, width, height, plate, glyph, options = parse_line(line)
            svg = compose(width, height, plate, glyph, adwaita, options.get("colour"), options.get("badge"),
                          float(options["glyph"]) if "glyph" in options else None)
            source = os.path.join(work, name + ".svg")
            with open(source, "w", encoding="utf-8") as f:
                f.write(svg)
            target = os.path.join(out, name + ".png")
            subprocess.run(["rsvg-convert", "-w", str(width), "-h", str(height), "-o", target, source], check=True)


if __name__ == "__main__":
    main(sys.argv)
