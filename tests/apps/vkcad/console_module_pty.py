#!/usr/bin/env python3
"""The module's commands typed at vkcad's console (default plug-ins, scenario define_room's
floor): a bare Enter ends the selections at the component prompts that offer a keyword
(请选择随房间复制的构件[Q移除], 请选择移除的构件) as <enter> does in a script, so the next
point is the base point, not one more pick; and after SRREPORT the Command: prompt comes back.

usage: console_module_pty.py VKCAD"""
import os, shutil, subprocess, sys, tempfile

from pty_session import Session

vkcad = os.path.abspath(sys.argv[1])
fixtures = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scenarios", "fixtures")
home = tempfile.mkdtemp(prefix="vkcad_module_")
shutil.copy(os.path.join(fixtures, "define_room.prj"), home)
subprocess.run([vkcad, "load", os.path.join(fixtures, "define_F1.jsonl"), os.path.join(home, "define_F1.dwg")],
               check=True)

ADD = "请选择随房间复制的构件[Q移除]".encode()
REMOVE = "请选择移除的构件".encode()
s = Session(vkcad, ["--project", os.path.join(home, "define_room.prj"), "--floor", "F1"], "vkcad_pty_mod_")
s.expect(b"Command: ")
s.type(b"bjcj\r")
s.expect(b'<dialog 200 "')
s.type(b"!click 206\r")
s.expect(b"shown modal>")
s.type(b"!ok\r")
s.expect("请选择房间".encode())
s.type(b"0,2000\r")
s.expect(ADD)
s.type(b"Q\r")
s.expect(REMOVE)
s.type(b"#112\r")
s.expect(b"1 found")
s.type(b"\r")                      # ends the removal
s.expect(ADD)
s.type(b"#120\r")
s.expect(b"1 found")
s.type(b"\r")                      # ends the selection: the base point is asked next
s.expect("指定房间基点".encode())
s.type(b"\x1b")
s.expect(b"Command: ")
s.type(b"SRREPORT\r")
s.expect(b"Room whose edit to forecast <none>: ")
s.type(b"\r")
s.expect(b"Floors not read: none")
s.expect(b"\nCommand: ")           # the prompt comes back, on a line of its own
s.type(b"QUIT\r")
if not s.wait():
    print("vkcad did not end cleanly; transcript:\n" + s.text())
    sys.exit(1)
print("console module ok")
