"""vkcad run at a pseudo-terminal, as a user types at it: shared by the console tests."""
import os, pty, select, tempfile, time


class Session:
    def __init__(self, vkcad, args, prefix):
        self.dir = tempfile.mkdtemp(prefix=prefix)
        env = dict(os.environ, HOME=self.dir, VKCAD_DRIVES="C=" + self.dir, TERM="xterm")
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.chdir(self.dir)
            os.execve(vkcad, [vkcad] + args, env)
        self.out = b""
        self.pos = 0  # where the marker last waited for was found, and ended

    def type(self, data):
        os.write(self.fd, data)

    def expect(self, marker, timeout=10):
        """Reads until marker shows after the marker found before it."""
        end = time.time() + timeout
        while marker not in self.out[self.pos:]:
            left = end - time.time()
            if left <= 0:
                raise SystemExit("timed out waiting for %r; got:\n%s" % (marker, self.text()))
            ready, _, _ = select.select([self.fd], [], [], left)
            if ready:
                try:
                    chunk = os.read(self.fd, 4096)
                except OSError:
                    chunk = b""
                if not chunk:
                    raise SystemExit("vkcad ended early; got:\n" + self.text())
                self.out += chunk
        self.pos = self.out.index(marker, self.pos) + len(marker)

    def since(self, mark):
        return self.out[mark:]

    def wait(self):
        """Waits for vkcad to end; True when it ended by itself with status 0."""
        _, status = os.waitpid(self.pid, 0)
        return os.WIFEXITED(status) and os.WEXITSTATUS(status) == 0

    def text(self):
        return self.out.decode(errors="replace")

