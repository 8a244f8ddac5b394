#!/usr/bin/env python3
"""The test plug-in's TDLG typed at vkcad's console through a pseudo-terminal: a point, a modal
dialog opened from the modeless one and answered with !ok, then the button that sends the cancel
character. The loop must end by cancel with one point and the dialog must close; then Ctrl-C
cancels a MOVE's prompt, and QUIT ends vkcad cleanly.

usage: console_dialog_pty.py VKCAD PLUGIN"""
import os, sys, time

from pty_session import Session

vkcad, plugin = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
s = Session(vkcad, ["--no-default-plugins", "--load", plugin, "room.dwg"], "vkcad_pty_dlg_")

s.expect(b"Command: ")
point_prompt = "指定点: ".encode()
s.type(b"TDLG\r")
s.expect(point_prompt)
s.type(b"3,4\r")
s.expect(point_prompt)
s.type(b"!click 11\r")
s.expect('<dialog 401 "选项" shown modal>'.encode())
# No window at the console: the dialog shown lists its controls, as !show would.
s.expect('<dialog 401 "选项" visible modal>'.encode())
s.type(b"!check 5 0\r")
s.type(b"!ok\r")
s.expect(b"options 1 check 0")
s.type(b"!click 12\r")
s.expect(b"1 points, loop ended by cancel")
s.expect(b"Command: ")
# Ctrl-C (the terminal's interrupt) at a prompt cancels the command, not vkcad.
s.type(b"MOVE\r")
s.expect(b"Select objects: ")
time.sleep(0.2)
s.type(b"\x03")
s.expect(b"*Cancel*")
s.expect(b"Command: ")
s.type(b"QUIT\r")
ended = s.wait()
text = s.text()
if '<dialog 400 "测试对话框" closed>' not in text:
    print("the modeless dialog was not closed; transcript:\n" + text)
    sys.exit(1)
if not ended:
    print("vkcad did not end cleanly after QUIT; transcript:\n" + text)
    sys.exit(1)
print("console dialog ok")
if os.environ.get("VK_VERBOSE"): print(text)
