#!/usr/bin/env python3
"""Writes plan.dxf, the architect's typical floor of the demo hotel, as a DXF R2000 file in
code page 936 (GBK), the way many Chinese drawings still arrive.

The floor is 20 m by 15 m (millimetres): a corridor along the middle (axes B-C), four hotel
rooms on each side of it (axes 1-5), a suite in the north-east corner and the stair in the
south-east. Every hotel room has its bathroom against the corridor, back to back with the
neighbour's; the south rooms mirror the north ones, and the suite's bathroom lies turned a
quarter. Walls are outlined and hatched (45-degree lines, ANSI31), columns filled solid, the
suite's bathtub is an ellipse; doors and windows are blocks inserted scaled, turned and
mirrored, the beds are blocks holding a block (the pillow).

Run it from anywhere: python3 apps/demo/make_plan.py  (standard library only).
"""
import math
import os

W, H = 20000, 15000          # the building's axes
CORRIDOR = (6600, 8400)      # axes B and C
BAY = 4000
EXT, PARTY, PART = 240, 200, 100   # wall thicknesses: outer, between rooms, bathroom
BATH_BACK = 2400             # a bathroom's depth from the corridor axis

LAYERS = [  # name, colour
    ("墙体", 7), ("门窗", 4), ("楼梯", 8), ("家具", 9), ("轴线", 1), ("文字", 7),
]

out = []


def g(code, value):
    if isinstance(value, float):
        value = f"{value:.6f}".rstrip("0").rstrip(".") if value != int(value) else str(int(value))
    out.append(f"{code:>3}\n{value}\n")


def line(layer, x1, y1, x2, y2):
    g(0, "LINE"); g(8, layer)
    g(10, float(x1)); g(20, float(y1)); g(30, 0.0); g(11, float(x2)); g(21, float(y2)); g(31, 0.0)


def polyline(layer, pts, closed=False, width=0.0):
    """pts: (x, y) or (x, y, bulge)."""
    g(0, "POLYLINE"); g(8, layer); g(66, 1); g(10, 0.0); g(20, 0.0); g(30, 0.0)
    g(70, 1 if closed else 0)
    if width:
        g(40, float(width)); g(41, float(width))
    for p in pts:
        g(0, "VERTEX"); g(8, layer); g(10, float(p[0])); g(20, float(p[1])); g(30, 0.0)
        if len(p) > 2 and p[2]:
            g(42, float(p[2]))
    g(0, "SEQEND"); g(8, layer)


def hatch(layer, loops, solid=False, spacing=80.0):
    """A hatch of closed outlines: solid, or 45-degree lines (ANSI31) spacing apart."""
    g(0, "HATCH"); g(8, layer); g(100, "AcDbHatch"); g(10, 0.0); g(20, 0.0); g(30, 0.0)
    g(210, 0.0); g(220, 0.0); g(230, 1.0)
    g(2, "SOLID" if solid else "ANSI31"); g(70, 1 if solid else 0); g(71, 0); g(91, len(loops))
    for pts in loops:
        g(92, 3); g(72, 0); g(73, 1); g(93, len(pts))
        for x, y in pts:
            g(10, float(x)); g(20, float(y))
        g(97, 0)
    g(75, 0); g(76, 1)
    if not solid:
        d = spacing / math.sqrt(2)
        g(52, 0.0); g(41, spacing / 3.175); g(77, 0); g(78, 1)
        g(53, 45.0); g(43, 0.0); g(44, 0.0); g(45, -d); g(46, d); g(79, 0)
    g(98, 0)


def ellipse(layer, cx, cy, major_x, major_y, ratio):
    g(0, "ELLIPSE"); g(8, layer); g(100, "AcDbEllipse"); g(10, float(cx)); g(20, float(cy)); g(30, 0.0)
    g(11, float(major_x)); g(21, float(major_y)); g(31, 0.0); g(40, float(ratio)); g(41, 0.0); g(42, 2 * math.pi)


def arc(layer, cx, cy, r, a0, a1):
    g(0, "ARC"); g(8, layer); g(10, float(cx)); g(20, float(cy)); g(30, 0.0); g(40, float(r))
    g(50, float(a0)); g(51, float(a1))


def circle(layer, cx, cy, r):
    g(0, "CIRCLE"); g(8, layer); g(10, float(cx)); g(20, float(cy)); g(30, 0.0); g(40, float(r))


def text(layer, x, y, h, s, centred=True):
    g(0, "TEXT"); g(8, layer); g(10, float(x)); g(20, float(y)); g(30, 0.0); g(40, float(h))
    g(1, s)
    if centred:  # middle centre: placed by the alignment point
        g(72, 1); g(11, float(x)); g(21, float(y)); g(31, 0.0); g(73, 2)


def insert(layer, name, x, y, sx=1.0, sy=1.0, rot=0.0):
    g(0, "INSERT"); g(8, layer); g(2, name); g(10, float(x)); g(20, float(y)); g(30, 0.0)
    if sx != 1.0: g(41, float(sx))
    if sy != 1.0: g(42, float(sy))
    if rot: g(50, float(rot))


# --- walls -----------------------------------------------------------------------------------

def wall(x1, y1, x2, y2, t, openings=()):
    """An axis-parallel wall on its centre line, as wide polylines between the openings
    (given as ranges along the wall). Ends that meet other walls run on by half the thickness
    so that corners and tees close."""
    horizontal = y1 == y2
    a, b = (x1, x2) if horizontal else (y1, y2)
    a, b = min(a, b), max(a, b)
    cuts = sorted(openings)
    pieces, start, start_open = [], a, False
    for o0, o1 in cuts:
        pieces.append((start, o0, start_open, True))
        start, start_open = o1, True
    pieces.append((start, b, start_open, False))
    for s, e, s_open, e_open in pieces:
        s2 = s if s_open else s - t / 2
        e2 = e if e_open else e + t / 2
        if horizontal:
            outline = [(s2, y1 - t / 2), (e2, y1 - t / 2), (e2, y1 + t / 2), (s2, y1 + t / 2)]
        else:
            outline = [(x1 - t / 2, s2), (x1 + t / 2, s2), (x1 + t / 2, e2), (x1 - t / 2, e2)]
        polyline("墙体", outline, closed=True)
        hatch("墙体", [outline])


def mirror_y(y):
    """The south half mirrors the north half about the corridor's middle."""
    return CORRIDOR[0] + CORRIDOR[1] - y


# --- blocks ----------------------------------------------------------------------------------

def blocks():
    g(0, "SECTION"); g(2, "BLOCKS")
    # A door of leaf 1000: hinge at the origin, shut along +x, drawn open along +y.
    g(0, "BLOCK"); g(8, "0"); g(2, "M1000"); g(70, 0); g(10, 0.0); g(20, 0.0); g(30, 0.0); g(3, "M1000")
    line("0", 0, 0, 0, 1000)
    arc("0", 0, 0, 1000, 0, 90)
    g(0, "ENDBLK"); g(8, "0")
    # A window 1000 long in a 240 wall: the wall's faces and the two panes.
    g(0, "BLOCK"); g(8, "0"); g(2, "C1000"); g(70, 0); g(10, 0.0); g(20, 0.0); g(30, 0.0); g(3, "C1000")
    for yy in (-120, -40, 40, 120):
        line("0", 0, yy, 1000, yy)
    line("0", 0, -120, 0, 120)
    line("0", 1000, -120, 1000, 120)
    g(0, "ENDBLK"); g(8, "0")
    # A pillow, and a double bed holding two of them (head at the origin, foot along +y).
    g(0, "BLOCK"); g(8, "0"); g(2, "枕头"); g(70, 0); g(10, 0.0); g(20, 0.0); g(30, 0.0); g(3, "枕头")
    polyline("0", [(-300, 0), (300, 0), (300, 350), (-300, 350)], closed=True)
    g(0, "ENDBLK"); g(8, "0")
    g(0, "BLOCK"); g(8, "0"); g(2, "双人床"); g(70, 0); g(10, 0.0); g(20, 0.0); g(30, 0.0); g(3, "双人床")
    polyline("0", [(-750, 0), (750, 0), (750, 2000), (-750, 2000)], closed=True)
    line("0", -750, 550, 750, 550)
    insert("0", "枕头", -370, 120)
    insert("0", "枕头", 370, 120)
    g(0, "ENDBLK"); g(8, "0")
    g(0, "ENDSEC")


def door(hinge, shut, swing, width):
    """A door of the given leaf: hinge point, the direction the shut leaf runs and the side it
    opens to (unit axis vectors)."""
    rot = math.degrees(math.atan2(shut[1], shut[0]))
    left = (-shut[1], shut[0])
    s = width / 1000
    insert("门窗", "M1000", hinge[0], hinge[1], s, s if left == swing else -s, rot)


def window(x0, y0, x1, y1):
    length = abs(x1 - x0) + abs(y1 - y0)
    rot = math.degrees(math.atan2(y1 - y0, x1 - x0))
    insert("门窗", "C1000", x0, y0, length / 1000, 1.0, rot)


# --- the floor -------------------------------------------------------------------------------

def entities():
    g(0, "SECTION"); g(2, "ENTITIES")
    c0, c1 = CORRIDOR
    n_back, s_back = c1 + BATH_BACK, c0 - BATH_BACK

    # Outer walls with their window openings.
    north_windows = [(i * BAY + 1000, i * BAY + 3000) for i in range(4)] + [(17000, 19000)]
    wall(0, H, W, H, EXT, north_windows)
    wall(0, 0, W, 0, EXT, [(i * BAY + 1000, i * BAY + 3000) for i in range(4)])
    wall(0, 0, 0, H, EXT, [(c0 + 300, c1 - 300)])
    wall(W, 0, W, H, EXT, [(2000, 4000), (c0 + 300, c1 - 300), (11000, 13500)])
    for a, b in north_windows:
        window(a, H, b, H)
    for i in range(4):
        window(i * BAY + 1000, 0, i * BAY + 3000, 0)
    window(0, c0 + 300, 0, c1 - 300)
    window(W, 2000, W, 4000)
    window(W, 11000, W, 13500)

    # Corridor walls: the room doors (900), the suite's door and the stair's (1000).
    north_doors, south_doors = [], []
    for i in range(4):
        x = i * BAY
        opening = (x + 300, x + 1200) if i % 2 == 0 else (x + 2800, x + 3700)
        north_doors.append(opening)
        south_doors.append(opening)
    north_doors.append((18700, 19600))
    south_doors.append((16400, 17400))
    wall(0, c1, W, c1, PARTY, north_doors)
    wall(0, c0, W, c0, PARTY, south_doors)
    for i, (a, b) in enumerate(north_doors[:4]):
        even = i % 2 == 0
        hinge_x, shut = (a, (1, 0)) if even else (b, (-1, 0))
        door((hinge_x, c1 + PARTY / 2), shut, (0, 1), 900)
        door((hinge_x, c0 - PARTY / 2), shut, (0, -1), 900)
    door((19600, c1 + PARTY / 2), (-1, 0), (0, 1), 900)
    door((16400, c0 - PARTY / 2), (1, 0), (0, -1), 1000)
    # The exit at the corridor's east end: a pair of leaves opening outwards.
    door((W + EXT / 2, c0 + 300), (0, 1), (1, 0), 600)
    door((W + EXT / 2, c1 - 300), (0, -1), (1, 0), 600)

    # Walls between the rooms.
    for x in (BAY, 2 * BAY, 3 * BAY, 4 * BAY):
        wall(x, c1, x, H, PARTY)
        wall(x, 0, x, c0, PARTY)

    # Bathrooms: back wall and side wall with a 700 door opening to the lobby of the room.
    for i in range(4):
        x = i * BAY
        even = i % 2 == 0
        bx0, bx1 = (x + 2000, x + BAY) if even else (x, x + 2000)
        side = bx0 if even else bx1
        lobby = -1 if even else 1          # the side of the side wall where the room's lobby is
        for back, sign in ((n_back, 1), (s_back, -1)):
            wall(bx0, back, bx1, back, PART)
            door_lo, door_hi = (c1 + 1550, c1 + 2250) if sign > 0 else (mirror_y(c1 + 2250), mirror_y(c1 + 1550))
            wall(side, c1 if sign > 0 else c0, side, back, PART, [(door_lo, door_hi)])
            hinge_y = door_lo if sign > 0 else door_hi
            door((side + lobby * PART / 2, hinge_y), (0, sign), (lobby, 0), 700)
    # The suite's bathroom, turned a quarter against the wall to the stair.
    wall(4 * BAY, c1 + 2000, 4 * BAY + 2400, c1 + 2000, PART, [(17550, 18250)])
    wall(4 * BAY + 2400, c1, 4 * BAY + 2400, c1 + 2000, PART)
    door((17550, c1 + 2000 + PART / 2), (1, 0), (0, 1), 700)

    # Columns at the crossings of the outer and corridor axes.
    for x in range(0, W + 1, BAY):
        for y in (0, c0, c1, H):
            hatch("墙体", [[(x - 250, y - 250), (x + 250, y - 250), (x + 250, y + 250), (x - 250, y + 250)]], solid=True)

    # The suite's bathtub: an oval along the wall to the corridor.
    ellipse("家具", 17200, c1 + 500, 800, 0, 0.42)

    # The stair: two flights of 12 steps each side of the well, the landing to the south; both
    # arrows start at this floor's level.
    for k in range(12):
        y = 1700 + k * 280
        line("楼梯", 16100, y, 17950, y)
        line("楼梯", 18050, y, 19900, y)
    polyline("楼梯", [(17950, 1700), (18050, 1700), (18050, 4780), (17950, 4780)], closed=True)
    polyline("楼梯", [(17000, 4300), (17000, 2000), (16900, 2250), (17100, 2250), (17000, 2000)])
    polyline("楼梯", [(19000, 4300), (19000, 2000), (18900, 2250), (19100, 2250), (19000, 2000)])
    text("文字", 17000, 4600, 250, "上")
    text("文字", 19000, 4600, 250, "下")

    # Beds: head against the wall away from the bathroom.
    for i in range(4):
        x = i * BAY
        even = i % 2 == 0
        for yc, sign in ((12750, 1), (mirror_y(12750), -1)):
            if even:
                insert("家具", "双人床", x + PARTY / 2 + (EXT - PARTY) / 2 * (i == 0), yc, 1, 1, -90)
            else:
                insert("家具", "双人床", x + BAY - PARTY / 2, yc, 1, 1, 90)
    insert("家具", "双人床", 4 * BAY + PARTY / 2, 12750, 1, 1, -90)

    # Room names.
    for i in range(4):
        xc = i * BAY + BAY / 2
        text("文字", xc, 14200, 300, "客房")
        text("文字", xc, mirror_y(14200), 300, "客房")
    text("文字", 18000, 14200, 300, "套房")
    text("文字", 10000, (c0 + c1) / 2, 300, "走廊")
    text("文字", 18000, 5800, 300, "楼梯间")

    # Axes: short lines outside the walls with their bubbles, numbers below and letters left.
    for n, x in enumerate(range(0, W + 1, BAY), start=1):
        line("轴线", x, -EXT / 2, x, -1000)
        circle("轴线", x, -1400, 400)
        text("轴线", x, -1400, 400, str(n))
    for name, y in zip("ABCD", (0, c0, c1, H)):
        line("轴线", -EXT / 2, y, -1000, y)
        circle("轴线", -1400, y, 400)
        text("轴线", -1400, y, 400, name)
    text("文字", W / 2, -2900, 600, "标准层平面图  1:100")
    g(0, "ENDSEC")


def header_and_tables():
    g(0, "SECTION"); g(2, "HEADER")
    g(9, "$ACADVER"); g(1, "AC1015")
    g(9, "$DWGCODEPAGE"); g(3, "ANSI_936")
    g(9, "$EXTMIN"); g(10, -2000.0); g(20, -3500.0); g(30, 0.0)
    g(9, "$EXTMAX"); g(10, 20500.0); g(20, 15500.0); g(30, 0.0)
    g(0, "ENDSEC")
    g(0, "SECTION"); g(2, "TABLES")
    g(0, "TABLE"); g(2, "LTYPE"); g(70, 2)
    g(0, "LTYPE"); g(2, "CONTINUOUS"); g(70, 0); g(3, "Solid line"); g(72, 65); g(73, 0); g(40, 0.0)
    # Axes are drawn dash-dot.
    g(0, "LTYPE"); g(2, "CENTER"); g(70, 0); g(3, "Center ____ _ ____ _ ____"); g(72, 65); g(73, 4)
    g(40, 1000.0); g(49, 650.0); g(74, 0); g(49, -125.0); g(74, 0); g(49, 100.0); g(74, 0); g(49, -125.0); g(74, 0)
    g(0, "ENDTAB")
    g(0, "TABLE"); g(2, "LAYER"); g(70, len(LAYERS) + 1)
    for name, colour in [("0", 7)] + LAYERS:
        g(0, "LAYER"); g(2, name); g(70, 0); g(62, colour); g(6, "CENTER" if name == "轴线" else "CONTINUOUS")
    g(0, "ENDTAB")
    g(0, "TABLE"); g(2, "STYLE"); g(70, 1)
    g(0, "STYLE"); g(2, "STANDARD"); g(70, 0); g(40, 0.0); g(41, 1.0); g(50, 0.0); g(71, 0)
    g(42, 2.5); g(3, "txt"); g(4, "")
    g(0, "ENDTAB")
    g(0, "ENDSEC")


def main():
    header_and_tables()
    blocks()
    entities()
    g(0, "EOF")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "plan.dxf")
    with open(path, "w", encoding="gbk", newline="\r\n") as f:
        f.write("".join(out))
    print(path)


if __name__ == "__main__":
    main()
