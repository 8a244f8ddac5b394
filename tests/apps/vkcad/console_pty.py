#!/usr/bin/env python3
"""vkcad's interactive console through a pseudo-terminal: readline line editing and history.

Types "QSAVX", a backspace and "E" (QSAVE after editing), recalls it with the up arrow, then
MOVE, whose selection prompt a bare Enter ends, then QUIT. The drawing must have been saved, both
QSAVE runs must show in the transcript, each command once."""
import os, pty, select, sys, tempfile, time

vkcad = sys.argv[1]
tmp = tempfile.mkdtemp(prefix="vkcad_pty_")
env = dict(os.environ, HOME=tmp, VKCAD_DRIVES="C=" + tmp, TERM="xterm")

pid, fd = pty.fork()
if pid == 0:
    os.chdir(tmp)
    os.execve(vkcad, [vkcad, "--no-default-plugins", "room.dwg"], env)

out = b""
def read_until(marker, count=1, timeout=10):
    global out
    end = time.time() + timeout
    while out.count(marker) < count:
        left = end - time.time()
        if left <= 0:
            raise SystemExit("timed out waiting for %r; got:\n%s" % (marker, out.decode(errors="replace")))
        r, _, _ = select.select([fd], [], [], left)
        if r:
            try:
                chunk = os.read(fd, 4096)
            except OSError:
                chunk = b""
            if not chunk:
                raise SystemExit("vkcad ended early; got:\n" + out.decode(errors="replace"))
            out += chunk

def prompts():
    return out.count(b"Command: ")

def saved_and_removed():
    path = os.path.join(tmp, "room.dwg")
    if not os.path.exists(path):
        return False
    os.remove(path)
    return True

read_until(b"Command: ")
os.write(fd, b"QSAVX\x7fE\r")
read_until(b"Command: ", prompts() + 1)   # the next prompt: QSAVE has finished
saved_once = saved_and_removed()
os.write(fd, b"\x1b[A\r")          # the previous line from history
read_until(b"Command: ", prompts() + 1)
saved_again = saved_and_removed()
os.write(fd, b"MOVE\r")
read_until(b"Select objects: ")
os.write(fd, b"\r")               # a bare Enter ends the selection, and with it MOVE
read_until(b"Command: ", prompts() + 1)
mark = len(out)
os.write(fd, b"QSAVE\r")
read_until(b"Command: ", prompts() + 1)
echoed_once = out[mark:].count(b"QSAVE") == 1
saved_plain = saved_and_removed()
os.write(fd, b"QUIT\r")
_, status = os.waitpid(pid, 0)
text = out.decode(errors="replace")
ok = True
if not echoed_once:
    print("the typed command was shown more than once"); ok = False
if not saved_once:
    print("QSAVE typed with a correction did not save room.dwg"); ok = False
if not saved_again:
    print("QSAVE recalled from history did not run"); ok = False
if not saved_plain:
    print("QSAVE typed after MOVE did not run"); ok = False
if not os.WIFEXITED(status) or os.WEXITSTATUS(status) != 0:
    print("vkcad did not end cleanly after QUIT: status", status); ok = False
if not ok:
    print("transcript:\n" + text)
    sys.exit(1)
print("console ok")
