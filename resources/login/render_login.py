#!/usr/bin/env python3
"""Renders the login window's background pictures (JPEG) from login.svg, one
per line of titles.txt: the emblem glyph and the line under the program name.

usage: render_login.py ADWAITA_FOLDER OUTPUT_FOLDER
"""

import os
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # nothing is written into the source tree
sys.path.insert(0, os.path.join(HERE, "..", "icons"))
import render_icons  # noqa: E402  (the glyphs of the button pictures)


def main(argv):
    if len(argv) != 3:
        raise SystemExit(__doc__)
    adwaita, out = argv[1:]
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(HERE, "login.svg"), encoding="utf-8") as f:
        template = f.read()
    with open(os.path.join(HERE, "titles.txt"), encoding="utf-8") as f:
        lines = [l.strip() for l in f if l.strip() and not l.startswith("#")]
    with tempfile.TemporaryDirectory() as work:
        for line in lines:
            fields = line.split(None, 2)
            name, emblem = fields[0], fields[1]
            title = fields[2] if len(fields) > 2 else ""
            svg = (template.replace("{EMBLEM}", render_icons.glyph_body(emblem, adwaita))
                   .replace("{TITLE}", escape(title))
                   .replace("{TITLE_Y}", "44" if title else "52"))
            source = os.path.join(work, name + ".svg")
            png = os.path.join(work, name + ".png")
            with open(source, "w", encoding="utf-8") as f:
                f.write(svg)
            subprocess.run(["rsvg-convert", "-w", "420", "-h", "300", "-o", png, source], check=True)
            subprocess.run(["convert", png, "-quality", "92", os.path.join(out, name)], check=True)


if __name__ == "__main__":
    main(sys.argv)
