#!/usr/bin/python3
"""A fake login server of the UDP login, for the tests.

Usage: udp_login_server.py MODE
Binds UDP on 127.0.0.1 at a free port, prints "READY <port>", then one line per
datagram it receives, after answering it: "RECV <hex>". Commands come on stdin,
one per line, and go to the last client heard from:
  notice <device id> <code> <text>   a device notice (1232 bytes; "\\r\\n" in the
                                     text stands for a line end)
  raw <hex>                          these bytes as one datagram
  answers on|off                     keep-alive answers from now on, or none
Each command is acknowledged with "OK" (or "NOCLIENT" before any client).

Modes: accept (login answered with result 0 and the session words 0x11223344,
0x55667788; every keep-alive answered), refuse (login answered with result 3),
short (a 100-byte login answer, keep-alives answered), silent (nothing answered).
The server ends when its standard input closes or its parent ends.
"""
import socket
import struct
import sys
import threading

from peer_support import die_with_parent

MODE = sys.argv[1]
SESSION = (0x11223344, 0x55667788)


def header(payload_length, command):
    return b"rnvq" + struct.pack("<IHHI", payload_length, 16, command, 0)


def login_answer(result):
    body = struct.pack("<IIII", result, 0, SESSION[0], SESSION[1])
    return header(144, 6) + body + bytes(160 - 16 - len(body))


def notice(device_id, code, text):
    body = struct.pack("<QI", device_id, code) + text.encode("latin-1")
    packet = header(1216, 2) + body
    return packet[:1232] + bytes(max(0, 1232 - len(packet)))


class Server:
    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind(("127.0.0.1", 0))
        self.lock = threading.Lock()
        self.client = None
        self.answers = MODE in ("accept", "short")

    def say(self, line):
        with self.lock:
            sys.stdout.write(line + "\n")
            sys.stdout.flush()

    def serve(self):
        while True:
            data, client = self.sock.recvfrom(65536)
            with self.lock:
                self.client = client
            command = struct.unpack_from("<H", data, 10)[0] if len(data) >= 12 else 0
            if command == 5 and MODE == "accept":
                self.sock.sendto(login_answer(0), client)
            elif command == 5 and MODE == "refuse":
                self.sock.sendto(login_answer(3), client)
            elif command == 5 and MODE == "short":
                self.sock.sendto(login_answer(0)[:100], client)
            elif command == 9 and self.answers:
                self.sock.sendto(header(0, 10), client)
            # Said after the answer went out: a notice sent on a later command
            # reaches the client behind that answer.
            self.say("RECV " + data.hex())

    def command(self, line):
        words = line.split(" ", 3)
        if words[0] == "answers":
            self.answers = words[1] == "on"
            return "OK"
        with self.lock:
            client = self.client
        if client is None:
            return "NOCLIENT"
        if words[0] == "notice":
            text = words[3].replace("\\r\\n", "\r\n") if len(words) > 3 else ""
            self.sock.sendto(notice(int(words[1]), int(words[2]), text), client)
        elif words[0] == "raw":
            self.sock.sendto(bytes.fromhex(words[1]), client)
        else:
            return "UNKNOWN"
        return "OK"


def main():
    die_with_parent()
    server = Server()
    threading.Thread(target=server.serve, daemon=True).start()
    server.say("READY %d" % server.sock.getsockname()[1])
    for line in sys.stdin:
        line = line.rstrip("\n")
        if line:
            server.say(server.command(line))


main()
