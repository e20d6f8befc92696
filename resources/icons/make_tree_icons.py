#!/usr/bin/env python3
"""Writes the results-tree badges: NAME-16.svg on the 16-pixel grid and NAME.svg on a 32 grid.

Run from anywhere: python3 make_tree_icons.py. The build uses the committed SVG files.
"""

from pathlib import Path

# Bold bitmap glyphs, 10 rows high; '#' is a lit pixel.
GLYPHS = {
    "0": [".####.", "##..##", "##..##", "##..##", "##..##",
          "##..##", "##..##", "##..##", "##..##", ".####."],
    "1": ["..##..", ".###..", "####..", "..##..", "..##..",
          "..##..", "..##..", "..##..", "..##..", "######"],
    "2": [".####.", "##..##", "....##", "....##", "...##.",
          "..##..", ".##...", "##....", "##....", "######"],
    "3": [".####.", "##..##", "....##", "....##", "..###.",
          "....##", "....##", "....##", "##..##", ".####."],
    "4": ["...##.", "..###.", ".####.", "##.##.", "##.##.",
          "######", "...##.", "...##.", "...##.", "...##."],
    "5": ["######", "##....", "##....", "#####.", "....##",
          "....##", "....##", "....##", "##..##", ".####."],
    "6": [".####.", "##..##", "##....", "##....", "#####.",
          "##..##", "##..##", "##..##", "##..##", ".####."],
    "7": ["######", "....##", "....##", "...##.", "...##.",
          "..##..", "..##..", "..##..", "..##..", "..##.."],
    "8": [".####.", "##..##", "##..##", "##..##", ".####.",
          "##..##", "##..##", "##..##", "##..##", ".####."],
    "9": [".####.", "##..##", "##..##", "##..##", "##..##",
          ".#####", "....##", "....##", "##..##", ".####."],
    "M": ["##....##", "###..###", "########", "##.##.##", "##.##.##",
          "##....##", "##....##", "##....##", "##....##", "##....##"],
    "S": [".####.", "##..##", "##....", "##....", ".####.",
          "....##", "....##", "....##", "##..##", ".####."],
    "i": ["##", "##", "..", "##", "##", "##", "##", "##", "##", "##"],
    "!": ["##", "##", "##", "##", "##", "##", "##", "..", "##", "##"],
}

# Field, frame and glyph colours.
BLUE = ("#2b6fd6", "#153e7e", "#ffffff")
RED = ("#d4372b", "#7a1810", "#ffffff")
GREEN = ("#1e8a3c", "#0f5c25", "#ffffff")
YELLOW = ("#f7c81e", "#5c4500", "#3a2c00")


def badges():
    yield "IDI_MATCH", BLUE, "M"
    for digit in "0123456789":
        yield f"IDI_MATCH_{digit}", BLUE, digit
    yield "IDI_SUBMATCH", RED, "S"
    for digit in "0123456789":
        yield f"IDI_SUBMATCH_{digit}", RED, digit
    yield "IDI_INFO", GREEN, "i"
    yield "IDI_WARNING", YELLOW, "!"


def glyph_rects(rows, x0, y0, scale):
    """One rectangle per horizontal run of lit pixels."""
    rects = []
    for y, row in enumerate(rows):
        x = 0
        while x < len(row):
            if row[x] != "#":
                x += 1
                continue
            start = x
            while x < len(row) and row[x] == "#":
                x += 1
            rects.append(f'<rect x="{x0 + start * scale}" y="{y0 + y * scale}" '
                         f'width="{(x - start) * scale}" height="{scale}"/>')
    return rects


def badge_svg(colours, char, grid):
    field, frame, ink = colours
    scale = grid // 16
    rows = GLYPHS[char]
    width = len(rows[0])
    # The field spans pixels 1..14; the glyph sits centred in it.
    x0 = (1 + (14 - width) // 2) * scale
    y0 = (1 + (14 - len(rows)) // 2) * scale
    if grid == 16:
        # Corners cut by one pixel; frame and field on whole pixels.
        body = [
            '<path d="M1 0h14v1h1v14h-1v1h-14v-1h-1v-14h1z" fill="' + frame + '"/>',
            f'<rect x="1" y="1" width="14" height="14" fill="{field}"/>',
        ]
        extra = ' shape-rendering="crispEdges"'
    else:
        body = [
            f'<rect x="0" y="0" width="{grid}" height="{grid}" rx="{3 * scale // 2}" '
            f'fill="{frame}"/>',
            f'<rect x="{scale}" y="{scale}" width="{grid - 2 * scale}" '
            f'height="{grid - 2 * scale}" rx="{scale // 2}" fill="{field}"/>',
        ]
        extra = ""
    lines = [
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{grid}" height="{grid}" '
        f'viewBox="0 0 {grid} {grid}"{extra}>',
        *("  " + part for part in body),
        f'  <g fill="{ink}">',
        *("    " + rect for rect in glyph_rects(rows, x0, y0, scale)),
        "  </g>",
        "</svg>",
    ]
    return "\n".join(lines) + "\n"


def main():
    folder = Path(__file__).resolve().parent
    for name, colours, char in badges():
        (folder / f"{name}-16.svg").write_text(badge_svg(colours, char, 16))
        (folder / f"{name}.svg").write_text(badge_svg(colours, char, 32))


if __name__ == "__main__":
    main()
