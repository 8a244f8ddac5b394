#!/usr/bin/env python3
"""Mutation check: does the test suite catch realistic one-line faults?

Each mutant of scripts/mutants.txt (a file, an exact original text, its replacement) is applied
in turn; the preset is built and its test suite run, stopping at the first failing test. A
mutant is caught when the build succeeds and a test fails, survived when every test passes.
The file is always put back, also on Ctrl-C or a kill, and the tree is rebuilt unmutated at the
end. See docs/testing.md.

    python3 scripts/mutation-check.py [--preset default] [--only ID,ID] [--list]
                                      [--results FILE] [--timeout SECONDS] [--no-baseline]
"""
import argparse
import os
import re
import signal
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


@dataclass
class Mutant:
    ident: str
    what: str
    file: str = ""
    original: list = field(default_factory=list)
    replacement: list = field(default_factory=list)

    @property
    def old(self):
        return "\n".join(self.original)

    @property
    def new(self):
        return "\n".join(self.replacement)


def parse_mutants(path):
    mutants = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if line.startswith("== "):
            ident, _, what = line[3:].partition(":")
            mutants.append(Mutant(ident.strip(), what.strip()))
        elif line.startswith("#") or not line.strip():
            continue
        elif not mutants:
            sys.exit(f"{path}:{number}: text before the first '== ID: ...' line")
        elif line.startswith("file:"):
            mutants[-1].file = line[5:].strip()
        elif line.startswith("-"):
            mutants[-1].original.append(line[2:])
        elif line.startswith("+"):
            mutants[-1].replacement.append(line[2:])
        else:
            sys.exit(f"{path}:{number}: expected 'file:', '- ' or '+ '")
    seen = set()
    for m in mutants:
        if not m.file or not m.original or not m.replacement:
            sys.exit(f"{path}: mutant {m.ident} needs a file, an original and a replacement")
        if m.ident in seen:
            sys.exit(f"{path}: mutant {m.ident} is given twice")
        seen.add(m.ident)
    return mutants


class Interrupted(Exception):
    pass


def on_signal(signum, frame):
    raise Interrupted(signal.Signals(signum).name)


def run(cmd, timeout=None):
    """Runs cmd in the repository; returns (exit code, output). The child gets its own process
    group so that an interrupt ends it too."""
    proc = subprocess.Popen(cmd, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            errors="replace", start_new_session=True)
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out
    except BaseException:
        try:
            os.killpg(proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        proc.wait()
        raise


def build(preset):
    return run(["cmake", "--build", "--preset", preset, "-j2"])


def run_suite(preset, timeout):
    return run(["ctest", "--preset", preset, "--stop-on-failure", "--timeout", str(timeout)])


def first_failure(output):
    found = re.findall(r"^\s*\d+ - (\S+) \((?:Failed|Timeout|SEGFAULT|Subprocess aborted|Exception|[^)]*)\)",
                       output, re.M)
    if found:
        return found[0]
    found = re.findall(r"#\d+: (\S+) .*\*\*\*", output)
    return found[0] if found else "?"


def original_of(mutant):
    """The file's bytes when the mutant's original text is there exactly once, else None."""
    path = ROOT / mutant.file
    if not path.exists():
        return None
    text = path.read_bytes()
    return text if text.count(mutant.old.encode()) == 1 else None


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--preset", default="default")
    ap.add_argument("--mutants", default=str(ROOT / "scripts" / "mutants.txt"))
    ap.add_argument("--only", help="comma-separated mutant ids")
    ap.add_argument("--list", action="store_true", help="list the mutants and whether their text is found")
    ap.add_argument("--results", help="also write the result lines to this file")
    ap.add_argument("--timeout", type=int, default=180, help="seconds per test (default 180)")
    ap.add_argument("--no-baseline", action="store_true", help="skip the unmutated run of the suite")
    args = ap.parse_args()

    mutants = parse_mutants(Path(args.mutants))
    if args.only:
        wanted = set(args.only.split(","))
        unknown = wanted - {m.ident for m in mutants}
        if unknown:
            sys.exit("unknown mutant ids: " + ", ".join(sorted(unknown)))
        mutants = [m for m in mutants if m.ident in wanted]

    if args.list:
        for m in mutants:
            path = ROOT / m.file
            n = path.read_bytes().count(m.old.encode()) if path.exists() else 0
            state = "ok" if n == 1 else "STALE (not found)" if n == 0 else f"STALE (found {n} times)"
            print(f"{m.ident:28} {m.file:44} {state}")
        return 0

    signal.signal(signal.SIGINT, on_signal)
    signal.signal(signal.SIGTERM, on_signal)
    results_file = open(args.results, "w", encoding="utf-8") if args.results else None

    def report(line):
        print(line, flush=True)
        if results_file:
            results_file.write(line + "\n")
            results_file.flush()

    counts = {"caught": 0, "survived": 0, "no build": 0, "stale": 0}
    survivors = []
    try:
        rc, out = build(args.preset)
        if rc != 0:
            print(out[-3000:])
            sys.exit("the unmutated tree does not build")
        if not args.no_baseline:
            rc, out = run_suite(args.preset, args.timeout)
            if rc != 0:
                print(out[-3000:])
                sys.exit("the unmutated tree fails its tests: " + first_failure(out))
        for i, m in enumerate(mutants, 1):
            started = time.monotonic()
            saved = original_of(m)
            if saved is None:
                verdict, detail = "stale", "original text not found exactly once"
            else:
                try:
                    (ROOT / m.file).write_bytes(saved.replace(m.old.encode(), m.new.encode(), 1))
                    rc, out = build(args.preset)
                    if rc != 0:
                        verdict, detail = "no build", "the mutant does not compile"
                    else:
                        rc, out = run_suite(args.preset, args.timeout)
                        verdict, detail = ("caught", first_failure(out)) if rc != 0 else ("survived", "")
                finally:
                    (ROOT / m.file).write_bytes(saved)
            counts[verdict] += 1
            if verdict == "survived":
                survivors.append(m.ident)
            seconds = time.monotonic() - started
            report(f"[{i}/{len(mutants)}] {m.ident:28} {verdict:9} {detail:40} ({seconds:.0f} s) {m.what}")
    except Interrupted as e:
        report(f"interrupted ({e}); the mutated file is restored")
    finally:
        valid = counts["caught"] + counts["survived"]
        pct = 100.0 * counts["caught"] / valid if valid else 0.0
        report(f"total: {counts['caught']} caught of {valid} ({pct:.0f} %), {counts['survived']} survived"
               f"{', ' + str(counts['no build']) + ' did not build' if counts['no build'] else ''}"
               f"{', ' + str(counts['stale']) + ' stale' if counts['stale'] else ''}")
        if survivors:
            report("survived: " + ", ".join(survivors))
        if results_file:
            results_file.close()
        signal.signal(signal.SIGINT, signal.SIG_IGN)
        signal.signal(signal.SIGTERM, signal.SIG_IGN)
        build(args.preset)  # leave the build matching the restored sources
    return 0


if __name__ == "__main__":
    sys.exit(main())
