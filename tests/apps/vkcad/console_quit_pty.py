#!/usr/bin/env python3
"""QUIT at vkcad's console with a drawing changed and not saved: a message box asks whether to
save it. Cancel keeps the session; Yes saves the drawing and ends it."""
import os, subprocess, sys, tempfile

from pty_session import Session

vkcad = sys.argv[1]
home = tempfile.mkdtemp(prefix="vkcad_quit_")
drawing = os.path.join(home, "room.dwg")
with open(os.path.join(home, "room.jsonl"), "w") as f:
    f.write('{"class":"AcDbLine","start":[0,0,0],"end":[10,10,0]}\n')
subprocess.run([vkcad, "load", os.path.join(home, "room.jsonl"), drawing], check=True)

def lines_in_file():
    dump = subprocess.run([vkcad, "dump", drawing], capture_output=True, text=True).stdout
    return sum(1 for l in dump.splitlines() if '"AcDbLine"' in l and '"erased":false' in l)

s = Session(vkcad, ["--no-default-plugins", drawing], "vkcad_pty_")
s.expect(b"Command: ")
s.type(b"ERASE\r")
s.expect(b"Select objects: ")
s.type(b"W -1,-1 20,20\r")
s.expect(b"Select objects: ")
s.type(b"\r")
s.expect(b"Command: ")
s.type(b"QUIT\r")
s.expect(b"[vkcad|question] Save changes to room.dwg?")
s.type(b"!answer cancel\r")
s.expect(b"Command: ")
still_there = lines_in_file() == 1
s.type(b"QUIT\r")
s.expect(b"[vkcad|question] Save changes to room.dwg?")
s.type(b"!answer yes\r")
ended = s.wait()

failures = [why for ok, why in [
    (still_there, "the drawing changed on disk before the question was answered yes"),
    (ended, "vkcad did not end after Yes"),
    (lines_in_file() == 0, "Yes did not save the drawing"),
    (b"Modified drawings not saved" not in s.out, "the saved drawing was named as not saved"),
] if not ok]
if failures:
    print("\n".join(failures) + "\ntranscript:\n" + s.text())
    sys.exit(1)
print("console quit ok")
