"""Pieces shared by the fake peers of the tests: what a peer received, kept as text
records that a test waits for; listening on 127.0.0.1; the peer's tie to the process
that started it."""

import ctypes
import os
import signal
import socket
import threading
import time


class Records:
    """Text records; `take` waits for one. The condition may be shared with the peer."""

    def __init__(self, condition=None):
        self.lock = condition if condition is not None else threading.Condition()
        self.items = []

    def add(self, text):
        with self.lock:
            self.items.append(text)
            self.lock.notify_all()

    def take(self, prefix, seconds):
        """The first record starting with prefix (removed), waiting up to seconds; None on timeout."""
        deadline = time.monotonic() + seconds
        with self.lock:
            while True:
                for i, r in enumerate(self.items):
                    if r.startswith(prefix):
                        del self.items[i]
                        return r
                left = deadline - time.monotonic()
                if left <= 0:
                    return None
                self.lock.wait(left)

    def count(self, prefix):
        with self.lock:
            return sum(1 for r in self.items if r.startswith(prefix))

    def clear(self):
        with self.lock:
            self.items.clear()


def die_with_parent():
    """Ends this process when the process that started it ends (a crashed test included)."""
    try:
        libc = ctypes.CDLL("libc.so.6", use_errno=True)
        libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except (OSError, AttributeError):
        pass
    if os.getppid() == 1:
        os._exit(0)


def listen(port):
    """A listening TCP socket on 127.0.0.1 (port 0: a free one)."""
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind(("127.0.0.1", port))
    s.listen(16)
    return s


def accept_loop(server, handler):
    """Hands every accepted connection to handler(sock) on a thread of its own."""
    while True:
        try:
            sock, _ = server.accept()
        except OSError:
            return
        threading.Thread(target=handler, args=(sock,), daemon=True).start()
