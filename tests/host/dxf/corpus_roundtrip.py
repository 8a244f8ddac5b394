#!/usr/bin/env python3
"""DXF files of other programs through vkcad, with ezdxf as the independent reader.

For every file: vkcad imports it and exports the drawing again; ezdxf counts the entities
of model space and of the blocks by type in both files, which must agree, and audits the
export, which must show no error. A file ezdxf cannot read is only imported. With
--pictures, some files are also drawn by vkcad and by ezdxf's drawing add-on (matplotlib)
over the same window, and the two pictures must cover the same places.

    corpus_roundtrip.py VKCAD [--all] [--pictures DIR] [--shard K/N]

Without --all a fixed sample of the LibreCAD library and pattern files is used; the test
is skipped (exit 0, with a note) when librecad-data is not installed.
"""
import argparse
import collections
import os
import subprocess
import sys
import tempfile
import time

LIBRARY = "/usr/share/librecad"

# A fixed sample: every kind of entity the corpus holds, small and large files.
SAMPLE = [
    "library/elektro/grounding/gr1.dxf",            # ellipses only
    "library/plan/architect/Table-coffee-E.dxf",    # ellipses only
    "library/plan/architect/Complete-Lib-V.dxf",    # blocks, texts, ellipses, an image
    "library/kinetics/kin116.dxf",                  # splines
    "library/kinetics/kin39.dxf",                   # splines
    "library/plan/air_water/aw21.dxf",              # splines
    "library/elektro/relay-iso/Relay.dxf",          # line weights, multi-line texts
    "library/elektro/meter-iso/Tube-CRT-RGB.dxf",   # multi-line texts
    "library/plan/air_water/aw46.dxf",              # hatches
    "library/elektro/relay/tn_3ph.dxf",             # hatches
    "library/plan/vegetation/v21.dxf",              # hatches
    "library/sheets/A0H.dxf",                       # the largest sheet
    "patterns/ansi31.dxf",                          # pattern files
    "patterns/brick.dxf",
    "patterns/honeycomb.dxf",
    "library/misc/tux.dxf",                         # one ezdxf cannot read
]


def entity_counts(doc):
    counts = collections.Counter()
    for layout in [doc.modelspace()] + [b for b in doc.blocks if not b.is_any_layout]:
        for e in layout:
            counts[e.dxftype()] += 1
    return counts


def run(cmd):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def check_file(vkcad, path, work, ezdxf):
    """Problems found with one file (empty: none), and what was seen."""
    problems = []
    try:
        original = entity_counts(ezdxf.readfile(path))
    except Exception as e:  # ezdxf cannot read it: only the import is checked
        original = None
        note = type(e).__name__
    drawing = os.path.join(work, "drawing.dwg")
    out = os.path.join(work, "out.dxf")
    for f in (drawing, out):
        if os.path.exists(f):
            os.remove(f)
    imp = run([vkcad, "import", path, drawing])
    if original is None:
        if imp.returncode not in (0, 1) or (imp.returncode == 1 and "line " not in imp.stderr):
            problems.append("import of a file ezdxf cannot read failed without a line: " + imp.stderr.strip())
        return problems, {"ezdxf": "unreadable (" + note + ")"}
    if imp.returncode != 0:
        if sum(original.values()) > 0:
            problems.append("import failed: " + imp.stderr.strip())
        return problems, {}
    exp = run([vkcad, "export", drawing, out])
    if exp.returncode != 0:
        return problems + ["export failed: " + exp.stderr.strip()], {}
    doc = ezdxf.readfile(out)
    back = entity_counts(doc)
    if back != original:
        problems.append("entities %s came back as %s" % (dict(sorted(original.items())), dict(sorted(back.items()))))
    auditor = doc.audit()
    if auditor.errors:
        problems.append("audit errors: " + "; ".join(str(e.message) for e in auditor.errors[:3]))
    return problems, {"entities": sum(original.values()), "fixes": len(auditor.fixes)}


def ink_cells(png, grid):
    """The cells of a grid over the picture that hold ink (anything not near white)."""
    import matplotlib.image as mpimg
    img = mpimg.imread(png)
    h, w = img.shape[0], img.shape[1]
    cells = set()
    for y in range(h):
        row = img[y]
        for x in range(w):
            px = row[x]
            if min(px[0], px[1], px[2]) < 0.8:
                cells.add((x * grid // w, y * grid // h))
    return cells


def coverage(a, b):
    """The share of a's cells that b inks in the same cell or one beside it."""
    if not a:
        return 1.0
    hit = sum(1 for (x, y) in a if any((x + dx, y + dy) in b for dx in (-1, 0, 1) for dy in (-1, 0, 1)))
    return hit / len(a)


def compare_pictures(vkcad, path, folder, ezdxf):
    """Draws the file with vkcad and with ezdxf over the same window; the two shares."""
    from ezdxf import bbox
    from ezdxf.addons.drawing import Frontend, RenderContext
    from ezdxf.addons.drawing.matplotlib import MatplotlibBackend
    from ezdxf.addons.drawing.properties import LayoutProperties
    import logging
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    logging.getLogger("matplotlib.font_manager").setLevel(logging.ERROR)

    doc = ezdxf.readfile(path)
    msp = doc.modelspace()
    ext = bbox.extents(msp)
    x1, y1, x2, y2 = ext.extmin.x, ext.extmin.y, ext.extmax.x, ext.extmax.y
    mx, my = (x2 - x1) * 0.05 + 1e-9, (y2 - y1) * 0.05 + 1e-9
    x1, y1, x2, y2 = x1 - mx, y1 - my, x2 + mx, y2 + my
    # The same shape of window in both: widened to 4:3 about its centre.
    cx, cy, w, h = (x1 + x2) / 2, (y1 + y2) / 2, x2 - x1, y2 - y1
    if w / h > 4 / 3:
        h = w * 3 / 4
    else:
        w = h * 4 / 3
    x1, x2, y1, y2 = cx - w / 2, cx + w / 2, cy - h / 2, cy + h / 2
    name = os.path.splitext(os.path.basename(path))[0]
    theirs = os.path.join(folder, name + "-ezdxf.png")
    ours = os.path.join(folder, name + "-vkcad.png")
    fig = plt.figure(figsize=(8, 6), dpi=100)
    ax = fig.add_axes([0, 0, 1, 1])
    white = LayoutProperties.from_layout(msp)
    white.set_colors("#ffffff")
    Frontend(RenderContext(doc), MatplotlibBackend(ax, adjust_figure=False)).draw_layout(
        msp, finalize=True, layout_properties=white)
    ax.set_xlim(x1, x2)
    ax.set_ylim(y1, y2)
    ax.set_axis_off()
    fig.savefig(theirs, dpi=100, facecolor="white")
    plt.close(fig)
    drawing = os.path.join(folder, name + ".dwg")
    r = run([vkcad, "import", path, drawing])
    if r.returncode != 0:
        return None, r.stderr
    r = run([vkcad, "render", drawing, ours, "--size", "800x600",
             "--window=%r,%r,%r,%r" % (x1, y1, x2, y2)])
    if r.returncode != 0:
        return None, r.stderr
    a, b = ink_cells(ours, 80), ink_cells(theirs, 80)
    return (coverage(a, b), coverage(b, a)), ""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("vkcad")
    parser.add_argument("--all", action="store_true", help="every file of the library and pattern files")
    parser.add_argument("--pictures", help="folder for the pictures of the comparison")
    parser.add_argument("--shard", default="0/1", help="K/N: only every N-th file from the K-th (parallel runs)")
    args = parser.parse_args()
    if not os.path.isdir(LIBRARY):
        print("librecad-data is not installed: %s is missing; nothing checked" % LIBRARY)
        return 0
    try:
        import ezdxf
    except ImportError:
        print("ezdxf is not installed (Debian python3-ezdxf); nothing checked")
        return 0
    if args.pictures:
        try:
            import matplotlib  # noqa: F401  (ezdxf's drawing add-on draws through it)
        except ImportError:
            print("matplotlib is not installed (Debian python3-matplotlib); pictures not compared")
            args.pictures = None
    if args.all:
        files = sorted(os.path.join(d, f) for d, _, fs in os.walk(LIBRARY) for f in fs if f.endswith(".dxf"))
    else:
        files = [os.path.join(LIBRARY, f) for f in SAMPLE]
    k, n = (int(x) for x in args.shard.split("/"))
    files = files[k::n]
    start = time.time()
    failed = 0
    totals = collections.Counter()
    with tempfile.TemporaryDirectory() as work:
        for path in files:
            problems, seen = check_file(args.vkcad, path, work, ezdxf)
            totals["files"] += 1
            totals["entities"] += seen.get("entities", 0)
            totals["audit fixes"] += seen.get("fixes", 0)
            if "ezdxf" in seen:
                totals["unreadable by ezdxf"] += 1
            if problems:
                failed += 1
                print("FAIL %s: %s" % (os.path.relpath(path, LIBRARY), " | ".join(problems)))
        if args.pictures:
            os.makedirs(args.pictures, exist_ok=True)
            for rel in ["library/plan/architect/Complete-Lib-V.dxf", "library/kinetics/kin116.dxf",
                        "patterns/brick.dxf", "library/elektro/grounding/gr1.dxf",
                        "library/elektro/relay/tn_3ph.dxf", "library/elektro/meter-iso/Tube-CRT-RGB.dxf"]:
                shares, why = compare_pictures(args.vkcad, os.path.join(LIBRARY, rel), args.pictures, ezdxf)
                if shares is None:
                    failed += 1
                    print("FAIL picture of %s: %s" % (rel, why.strip()))
                    continue
                print("picture %s: %.0f%% of vkcad's ink where ezdxf draws, %.0f%% of ezdxf's where vkcad draws"
                      % (rel, shares[0] * 100, shares[1] * 100))
                if min(shares) < 0.85:
                    failed += 1
                    print("FAIL picture of %s: the two pictures differ" % rel)
    print("%d files, %d entities, %d not read by ezdxf, %d audit fixes, %d failed, %.1f s"
          % (totals["files"], totals["entities"], totals["unreadable by ezdxf"], totals["audit fixes"], failed,
             time.time() - start))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
