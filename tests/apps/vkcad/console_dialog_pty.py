#!/usr/bin/env python3
"""The test plug-in's TDLG typed at vkcad's console through a pseudo-terminal: a point, a modal
dialog opened from the modeless one and answered with !ok, then the button that sends the cancel
character. The loop must end by cancel with one point and the dialog must close; then Ctrl-C
cancels a MOVE's prompt, and QUIT ends vkcad cleanly.

usage: console_dialog_pty.py VKCAD PLUGIN"""
import os, pty, select, sys, tempfile, time

vkcad, plugin = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
tmp = tempfile.mkdtemp(prefix="vkcad_pty_dlg_")
env = dict(os.environ, HOME=tmp, VKCAD_DRIVES="C=" + tmp, TERM="xterm")

pid, fd = pty.fork()
if pid == 0:
    os.chdir(tmp)
    os.execve(vkcad, [vkcad, "--no-default-plugins", "--load", plugin, "room.dwg"], env)

out = b""
pos = 0   # how far the markers waited for so far were found
def read_until(marker, timeout=10):
    """Reads until marker shows after the previous marker found."""
    global out, pos
    end = time.time() + timeout
    while marker not in out[pos:]:
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
    pos = out.index(marker, pos) + len(marker)

read_until(b"Command: ")
point_prompt = "指定点: ".encode()
os.write(fd, b"TDLG\r")
read_until(point_prompt)
os.write(fd, b"3,4\r")
read_until(point_prompt)
os.write(fd, b"!click 11\r")
read_until('<dialog 401 "选项" shown modal>'.encode())
os.write(fd, b"!check 5 0\r")
os.write(fd, b"!ok\r")
read_until(b"options 1 check 0")
os.write(fd, b"!click 12\r")
read_until(b"1 points, loop ended by cancel")
read_until(b"Command: ")
# Ctrl-C (the terminal's interrupt) at a prompt cancels the command, not vkcad.
os.write(fd, b"MOVE\r")
read_until(b"Select objects: ")
time.sleep(0.2)
os.write(fd, b"\x03")
read_until(b"*Cancel*")
read_until(b"Command: ")
os.write(fd, b"QUIT\r")
_, status = os.waitpid(pid, 0)
text = out.decode(errors="replace")
if '<dialog 400 "测试对话框" closed>' not in text:
    print("the modeless dialog was not closed; transcript:\n" + text)
    sys.exit(1)
if not os.WIFEXITED(status) or os.WEXITSTATUS(status) != 0:
    print("vkcad did not end cleanly after QUIT: status", status, "\ntranscript:\n" + text)
    sys.exit(1)
print("console dialog ok")
if os.environ.get("VK_VERBOSE"): print(text)
