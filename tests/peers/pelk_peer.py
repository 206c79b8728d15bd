#!/usr/bin/python3
"""A relay peer that speaks the relay framing (maker/pelk/pelk_protocol.txt),
well or badly, against a relay server on 127.0.0.1.

Usage: pelk_peer.py PORT MODE [--user U] [--password P] [--count N] [--key K]

Modes (each prints result lines on stdout; "DONE" last):
  login         log in, print "STATUS <s>", ask for the device list, print
                "LIST <count>" when it comes, then wait for stdin to close
  oversize      log in, send a frame header that announces 4 MiB + 1 bytes
  prelogin-big  send a frame header of 2000 bytes before logging in
  unknown       log in, send a frame of an unknown type, then ask for the
                device list (the server must go on serving)
  truncated     log in, send a video request 10 bytes short of its record
  silent        connect and send nothing (the login never completes)
  flood         open and drop N connections (every second one half a hello)
  noread        log in with a tiny receive buffer, ask for live video of the
                key, then read nothing until killed (pings still go out)
  video         log in, ask for live video of the key, count the frames that
                arrive ("FRAMES <n>" every 20), until killed
Once logged in, the peer sends a PING every half second, as a live peer does.
Each closed connection prints "CLOSED"; the peer dies with its parent.
"""
import ctypes
import hashlib
import hmac
import os
import signal
import socket
import struct
import sys
import threading
import time

MAGIC = b"PELK"
HELLO, CHALLENGE, PROOF, WELCOME, PING = 1, 2, 3, 4, 5
DEVICE_LIST_REQ, VIDEO_REQ = 0x100, 0x101
DEVICE_LIST, VIDEO_ANSWER, VIDEO_FRAME = 0x200, 0x201, 0x202


def die_with_parent():
    try:
        ctypes.CDLL("libc.so.6").prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except OSError:
        pass


def say(*words):
    print(" ".join(str(w) for w in words), flush=True)


def frame(kind, payload=b""):
    return MAGIC + struct.pack("<HHI", 1, kind, len(payload)) + payload


def read_exactly(sock, count):
    data = b""
    while len(data) < count:
        chunk = sock.recv(count - len(data))
        if not chunk:
            raise ConnectionError("closed")
        data += chunk
    return data


def read_frame(sock):
    header = read_exactly(sock, 12)
    if header[:4] != MAGIC:
        raise ConnectionError("bad magic")
    _, kind, length = struct.unpack("<HHI", header[4:])
    return kind, read_exactly(sock, length)


def connect(port, rcvbuf=None):
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    if rcvbuf:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, rcvbuf)
    sock.connect(("127.0.0.1", port))
    return sock


def login(sock, user, password):
    client_nonce = os.urandom(16)
    name = user.encode("latin-1")
    sock.sendall(frame(HELLO, client_nonce + struct.pack("<I", len(name)) + name))
    kind, server_nonce = read_frame(sock)
    if kind != CHALLENGE:
        raise ConnectionError("no challenge")
    message = b"PELK-LOGIN-1" + server_nonce + client_nonce + name
    proof = hmac.new(password.upper().encode("latin-1"), message, hashlib.sha256).digest()
    sock.sendall(frame(PROOF, proof))
    kind, payload = read_frame(sock)
    status, _handle = struct.unpack("<II", payload)
    say("STATUS", status)
    return status


def video_request(key, stream=1, channel=0):
    return key.encode("latin-1").ljust(40, b"\0")[:40] + struct.pack("<III", stream, channel, 0)


class Sender:
    """Writes frames from several threads, and keeps the line alive with a
    PING every half second (as a live peer does) until the socket ends."""

    def __init__(self, sock):
        self.sock = sock
        self.lock = threading.Lock()
        threading.Thread(target=self._ping, daemon=True).start()

    def send(self, data):
        with self.lock:
            self.sock.sendall(data)

    def _ping(self):
        while True:
            time.sleep(0.5)
            try:
                self.send(frame(PING))
            except OSError:
                return


def wait_closed(sock, seconds=60):
    sock.settimeout(seconds)
    try:
        while True:
            read_frame(sock)
    except (ConnectionError, OSError):
        say("CLOSED")


def main():
    die_with_parent()
    port = int(sys.argv[1])
    mode = sys.argv[2]
    options = {"--user": "admin", "--password": "E10ADC3949BA59ABBE56E057F20F883E", "--count": "50",
               "--key": "00-00-00-00-00-00:127.0.0.1"}
    rest = sys.argv[3:]
    for i in range(0, len(rest) - 1, 2):
        options[rest[i]] = rest[i + 1]
    user, password, key = options["--user"], options["--password"], options["--key"]

    if mode == "flood":
        for i in range(int(options["--count"])):
            sock = connect(port)
            if i % 2:
                sock.sendall(MAGIC + struct.pack("<HH", 1, HELLO))
            sock.close()
        say("DONE")
        return
    if mode == "silent":
        sock = connect(port)
        start = time.time()
        wait_closed(sock)
        say("AFTER", round(time.time() - start, 1))
        say("DONE")
        return
    if mode == "prelogin-big":
        sock = connect(port)
        sock.sendall(MAGIC + struct.pack("<HHI", 1, HELLO, 2000))
        wait_closed(sock)
        say("DONE")
        return

    sock = connect(port, rcvbuf=4096 if mode == "noread" else None)
    if login(sock, user, password) != 0:
        wait_closed(sock)
        say("DONE")
        return
    sender = Sender(sock)
    if mode == "login":
        sender.send(frame(DEVICE_LIST_REQ, struct.pack("<I", 1)))
        while True:
            kind, payload = read_frame(sock)
            if kind == DEVICE_LIST:
                _rid, _status, count = struct.unpack("<III", payload[:12])
                say("LIST", count)
                break
        sys.stdin.read()
    elif mode == "oversize":
        sender.send(MAGIC + struct.pack("<HHI", 1, DEVICE_LIST_REQ, 4 * 1024 * 1024 + 1))
        wait_closed(sock)
    elif mode == "unknown":
        sender.send(frame(0x7777, b"\1\2\3"))
        sender.send(frame(DEVICE_LIST_REQ, struct.pack("<I", 9)))
        say("SENT")
        sys.stdin.read()
    elif mode == "truncated":
        sender.send(frame(VIDEO_REQ, video_request(key)[:-10]))
        wait_closed(sock)
    elif mode == "noread":
        sender.send(frame(VIDEO_REQ, video_request(key)))
        say("ASKED")
        while True:
            time.sleep(3600)
    elif mode == "video":
        sender.send(frame(VIDEO_REQ, video_request(key)))
        frames = 0
        while True:
            kind, _payload = read_frame(sock)
            if kind == VIDEO_FRAME:
                frames += 1
                if frames % 20 == 0:
                    say("FRAMES", frames)
    say("DONE")


if __name__ == "__main__":
    main()
