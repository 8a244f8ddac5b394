#!/usr/bin/env python3
"""What a person types at vkcad's console when a command asks about unsaved changes: QUIT,
CLOSE and Ctrl-D ask the same question, answered with a word (y, yes, n, no, c, cancel, any
case), Esc or Ctrl-D (Cancel); a word that is no answer is said so and asked again.

usage: console_answers_pty.py VKCAD"""
import os, subprocess, sys, tempfile, time

from pty_session import Session

vkcad = os.path.abspath(sys.argv[1])
home = tempfile.mkdtemp(prefix="vkcad_answers_")
drawing = os.path.join(home, "room.dwg")
with open(os.path.join(home, "room.jsonl"), "w") as f:
    f.write('{"handle":"1A0","class":"AcDbLine","start":[0,0,0],"end":[10,10,0]}\n')
subprocess.run([vkcad, "load", os.path.join(home, "room.jsonl"), drawing], check=True)
QUESTION = b"[vkcad|question] Save changes to room.dwg?"
failures = []

def check(ok, why):
    if not ok:
        failures.append(why)

def lines_in_file():
    dump = subprocess.run([vkcad, "dump", drawing], capture_output=True, text=True).stdout
    return sum(1 for l in dump.splitlines() if '"AcDbLine"' in l)

def erase_the_line():
    s.expect(b"Command: ")
    s.type(b"ERASE #1A0\r")
    s.expect(b"Select objects: ")
    s.type(b"\r")

s = Session(vkcad, ["--no-default-plugins", drawing], "vkcad_pty_")
erase_the_line()
s.expect(b"Command: ")
s.type(b"QUIT\r")
s.expect(QUESTION)
s.expect(b"[Yes/No/Cancel] <Cancel>: ")
s.type(b"what\r")
s.expect(b'expected one of yes, no, cancel: "what"')
s.expect(b"[Yes/No/Cancel] <Cancel>: ")
time.sleep(0.2)
s.type(b"\x1b")                    # Esc on its own: Cancel, vkcad stays
s.expect(b"*Cancel*")
s.expect(b"Command: ")
s.type(b"CLOSE\r")
s.expect(QUESTION)
s.type(b"c\r")
s.expect(b"Command: ")
check(lines_in_file() == 1, "QUIT or CLOSE answered Cancel changed the drawing")
s.type(b"CLOSE\r")
s.expect(QUESTION)
s.type(b"N\r")                     # No: closed, the change dropped
s.expect(b"Command: ")
s.type(b"QSAVE\r")
s.expect(b'No drawing is open: "QSAVE" needs one.')
check(lines_in_file() == 1, "CLOSE answered No saved the drawing")

s.type(b"OPEN " + drawing.encode() + b"\r")
erase_the_line()
s.expect(b"Command: ")
time.sleep(0.2)
s.type(b"\x04")                    # Ctrl-D at Command: asks as QUIT does
s.expect(QUESTION)
s.expect(b"<Cancel>: ")
time.sleep(0.2)
s.type(b"\x04")                    # Ctrl-D at the question: Cancel
s.expect(b"*Cancel*")
s.expect(b"Command: ")
s.type(b"MOVE\r")
s.expect(b"Select objects: ")
time.sleep(0.2)
s.type(b"\x04")                    # Ctrl-D at a prompt: the command is cancelled, then QUIT
s.expect(b"*Cancel*")
s.expect(QUESTION)
s.type(b"yes\r")
check(s.wait(), "vkcad did not end cleanly after Yes")
check(lines_in_file() == 0, "Yes did not save the drawing")
check(b"Modified drawings not saved" not in s.out, "the saved drawing was named as not saved")

if failures:
    print("\n".join(failures) + "\ntranscript:\n" + s.text())
    sys.exit(1)
print("console answers ok")
