#!/usr/bin/env python3
"""vkcad's interactive console through a pseudo-terminal: readline line editing and history.

Types "QSAVX", a backspace and "E" (QSAVE after editing), recalls it with the up arrow, then
MOVE, whose selection prompt a bare Enter ends, then QSAVE and QUIT. The drawing must have been
saved each time, and a typed command must show once."""
import os, sys

from pty_session import Session

s = Session(sys.argv[1], ["--no-default-plugins", "room.dwg"], "vkcad_pty_")
drawing = os.path.join(s.dir, "room.dwg")

def saved_and_removed():
    if not os.path.exists(drawing):
        return False
    os.remove(drawing)
    return True

s.expect(b"Command: ")
s.type(b"QSAVX\x7fE\r")
s.expect(b"Command: ")             # the next prompt: QSAVE has finished
saved_once = saved_and_removed()
s.type(b"\x1b[A\r")                # the previous line from history
s.expect(b"Command: ")
saved_again = saved_and_removed()
s.type(b"MOVE\r")
s.expect(b"Select objects: ")
s.type(b"\r")                      # a bare Enter ends the selection, and with it MOVE
s.expect(b"Command: ")
mark = len(s.out)
s.type(b"QSAVE\r")
s.expect(b"Command: ")
echoed_once = s.since(mark).count(b"QSAVE") == 1
saved_plain = saved_and_removed()
s.type(b"QUIT\r")
ended = s.wait()

failures = [why for ok, why in [
    (echoed_once, "the typed command was shown more than once"),
    (saved_once, "QSAVE typed with a correction did not save room.dwg"),
    (saved_again, "QSAVE recalled from history did not run"),
    (saved_plain, "QSAVE typed after MOVE did not run"),
    (ended, "vkcad did not end cleanly after QUIT"),
] if not ok]
if failures:
    print("\n".join(failures) + "\ntranscript:\n" + s.text())
    sys.exit(1)
print("console ok")
