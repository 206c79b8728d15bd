#!/usr/bin/python3
"""A fake device for the Gimbro control's tests (the protocol of maker/gimbro/gimbro_wire.h).

    fake_device.py PORT [--user U] [--password P] [--mode MODE]

Listens on 127.0.0.1:PORT (0 = any free port) for the control, and on a second
free port for the test's commands. Prints one line "READY <port> <command port>".

Modes (how a new connection is treated; "mode" command changes it):
  normal     greet, check the login, answer requests
  garbage    send bytes that are not a frame
  close      close the connection at once
  huge       send a frame header announcing a body of 0xFFFFFFF0 bytes
  truncated  send half a greeting frame, then close
  silent     accept and send nothing

Commands (one line each on the command port; each gets one answer line,
"OK ..." or "ERR ..."):
  mode M                      treat new connections as mode M
  aux CODE FLAG               answer auxiliary messages of CODE with FLAG (default 0)
  ptz FLAG CODE               answer PTZ commands with this flag and code (default 0, 1)
  talk accept|refuse          answer talk and broadcast requests (default accept)
  status CODE TEXT...         send a status to every logged-in connection
  auxpush CODE FLAG TEXT...   send an unrequested auxiliary response
  alarm W1 .. W9              send an alarm record (nine words, then 132 bytes 0xA5)
  rawalarm N                  send an alarm frame with an N-byte body
  mediaparam KIND TEXT...     send media parameters
  replay STATE VALUE          send a replay state
  garbage                     send non-frame bytes to every logged-in connection
  drop                        close every connection
  audio PATH                  write the talk and broadcast audio received so far (the packets' bytes,
                              one after the other) to PATH and forget it; answers
                              "OK <packets> <codec> <rate> <channels>" of the last packet (codec 0
                              G.711 mu-law, 1 AAC with ADTS headers; "OK 0 -1 0 0" when none came)
  take PREFIX SECONDS         wait for a received record starting with PREFIX,
                              answer "OK <record>" and forget it, or "ERR timeout"
  count PREFIX                number of received records starting with PREFIX
  quit                        stop the device

Received records: "CONNECT", "LOGIN <user> ok|refused", "PTZ <hex>",
"AUX <code> <status> <hex type> <hex body>", "TALK <0|1>", "IFRAME <n>",
"TIMESYNC <difference> <utc offset> <time>", "BROADCAST <codec> <rate> <bits> <channels>",
(talk and broadcast audio is kept apart: see "audio"),
"BROADCAST_STOP", "CLOSED".
"""

import argparse
import hashlib
import os
import socket
import struct
import sys
import threading
import time

from peer_support import Records, accept_loop, listen

MAGIC = b"GMBR"
HEADER = struct.Struct("<4sHHiiI")

LOGIN, PTZ, AUX, TALK, IFRAME, TIME_SYNC, BROADCAST, BROADCAST_STOP, TALK_AUDIO, ECHO = 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x0F
HELLO, LOGIN_RESULT, STATUS, PTZ_RESPONSE, AUX_RESPONSE = 0x81, 0x82, 0x83, 0x84, 0x85
ALARM, MEDIA_DATA, MEDIA_PARAM, REPLAY_STATE, ECHO_REPLY = 0x86, 0x87, 0x88, 0x89, 0x8F

TALK_PARAM = ('<MESSAGE><MESSAGE_BODY><RA_START_RESPONSE AudioCodec="G711" Samplerate="8000" '
              'BitsPerSample="16" Channels="1" /></MESSAGE_BODY></MESSAGE>')
TALK_PACKETS = 3

AUX_TEXTS = {
    1012: '<RESPONSE_PARAM FileSystemVersion="FS-2.4.1" />',
    1014: ('<RESPONSE_PARAM><DEV DevName="sd1" Mounted="1" Total="1024" Used="256" Free="768" Percent="25" />'
           '<DEV DevName="sd2" Mounted="0" Total="0" Used="0" Free="0" Percent="0" />'
           '<DEV DevName="usb" Mounted="1" Total="2048" Used="2048" Free="0" Percent="100" /></RESPONSE_PARAM>'),
    1021: ('<RESPONSE_PARAM FileCount="2"><RECORD_FILE FilePath="/mnt/sd1/rec/20240105/080000.avi" '
           'FileLength="1048576" /><RECORD_FILE FilePath="/mnt/sd1/rec/20240105/083000.avi" '
           'FileLength="524288" /></RESPONSE_PARAM>'),
}


def frame(ftype, a=0, b=0, body=b""):
    return HEADER.pack(MAGIC, ftype, 0, a, b, len(body)) + body


def pack_response(flag, code):
    word = ((flag & 0xFF) << 24) | (code & 0xFFFFFF)
    return word - (1 << 32) if word >= 1 << 31 else word


class Device:
    def __init__(self, user, password, mode):
        self.user = user.encode("latin-1")
        self.password = password.encode("latin-1")
        self.mode = mode
        self.aux_flags = {}
        self.ptz_flag, self.ptz_code = 0, 1
        self.talk_accept = True
        self.lock = threading.Condition()
        self.book = Records(self.lock)
        self.audio = bytearray()  # talk and broadcast audio received
        self.audio_packets = 0
        self.audio_format = (-1, 0, 0)
        self.clients = []  # (socket, send lock, logged-in flag holder)
        self.running = True

    # ---- records the test waits for
    def record(self, text):
        self.book.add(text)

    def take(self, prefix, seconds):
        return self.book.take(prefix, seconds)

    def count(self, prefix):
        return self.book.count(prefix)

    # ---- sending to connections
    def broadcast(self, data):
        with self.lock:
            clients = [c for c in self.clients if c["online"]]
        for c in clients:
            send(c, data)
        return len(clients)

    def drop_all(self):
        with self.lock:
            clients = list(self.clients)
        for c in clients:
            try:
                c["sock"].shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    # ---- one connection
    def serve(self, sock):
        client = {"sock": sock, "wlock": threading.Lock(), "online": False}
        with self.lock:
            self.clients.append(client)
        self.record("CONNECT")
        try:
            mode = self.mode
            if mode == "close":
                return
            if mode == "garbage":
                send(client, b"this is not a frame \x00\xff\xfe" * 4)
            elif mode == "huge":
                send(client, HEADER.pack(MAGIC, HELLO, 0, 0, 0, 0xFFFFFFF0))
            elif mode == "truncated":
                send(client, frame(HELLO, body=b"n" * 32)[:HEADER.size + 5])
                return
            if mode != "normal":
                while recv_exact(sock, 1) is not None:
                    pass
                return
            self.session(client)
        finally:
            with self.lock:
                self.clients.remove(client)
            try:
                sock.close()
            except OSError:
                pass
            self.record("CLOSED")

    def session(self, client):
        sock = client["sock"]
        nonce = os.urandom(8).hex().encode()
        send(client, frame(HELLO, body=nonce))
        while True:
            head = recv_exact(sock, HEADER.size)
            if head is None:
                return
            magic, ftype, _, a, b, length = HEADER.unpack(head)
            if magic != MAGIC or length > 8 * 1024 * 1024:
                return
            body = recv_exact(sock, length) if length else b""
            if body is None:
                return
            if not client["online"]:
                if ftype != LOGIN:
                    return
                user, _, digest = body.partition(b"\x00")
                expected = hashlib.sha256(nonce + b":" + self.user + b":" + self.password).hexdigest().encode()
                ok = user == self.user and digest == expected
                self.record("LOGIN %s %s" % (user.decode("latin-1"), "ok" if ok else "refused"))
                if not ok:
                    send(client, frame(LOGIN_RESULT, 1, body=b"wrong login name or password"))
                    return
                send(client, frame(LOGIN_RESULT, 0))
                client["online"] = True
                continue
            self.request(client, ftype, a, b, body)

    def request(self, client, ftype, a, b, body):
        if ftype == ECHO:
            send(client, frame(ECHO_REPLY))
        elif ftype == PTZ:
            self.record("PTZ " + body.hex())
            send(client, frame(PTZ_RESPONSE, pack_response(self.ptz_flag, self.ptz_code), body=b"PTZ_OK"))
        elif ftype == AUX:
            mtype, _, text = body.partition(b"\x00")
            self.record("AUX %d %d %s %s" % (a, b, mtype.hex(), text.hex()))
            flag = self.aux_flags.get(a, 0)
            send(client, frame(AUX_RESPONSE, pack_response(flag, a), body=self.aux_answer(a, text, flag)))
        elif ftype == TALK:
            self.record("TALK %d" % a)
            if a == 1:
                self.talk(client)
        elif ftype == IFRAME:
            self.record("IFRAME %d" % a)
        elif ftype == TIME_SYNC:
            self.record("TIMESYNC %d %d %s" % (a, b, body.decode("latin-1")))
        elif ftype == BROADCAST:
            bits, channels = struct.unpack("<II", body[:8]) if len(body) >= 8 else (0, 0)
            self.record("BROADCAST %d %d %d %d" % (a, b, bits, channels))
            send(client, frame(STATUS, 6 if self.talk_accept else 7, body=b"broadcast"))
        elif ftype == BROADCAST_STOP:
            self.record("BROADCAST_STOP")
        elif ftype == TALK_AUDIO:
            with self.lock:
                self.audio += body
                self.audio_packets += 1
                self.audio_format = (a & 0xFF, b, (a >> 8) & 0xFF)

    def aux_answer(self, code, request, flag):
        if flag != 0:
            return b""
        if code == 3001:
            channel = b"1"
            for part in request.split():
                if part.startswith(b"ChannelId="):
                    channel = part.split(b"=", 1)[1].strip(b'"')
            stream = "A" * 480 + "B" * 60 + "C" * 900
            return ('<RESPONSE_PARAM ChannelId="%s" Stream="%s" />' % (channel.decode(), stream)).encode()
        return AUX_TEXTS.get(code, "").encode()

    def talk(self, client):
        if not self.talk_accept:
            send(client, frame(STATUS, 7, body=b"talk refused"))
            return
        send(client, frame(STATUS, 6, body=b"talk started"))
        send(client, frame(MEDIA_PARAM, 3, body=TALK_PARAM.encode()))
        for seq in range(TALK_PACKETS):
            payload = bytes((0xFF - seq,)) * 160
            packet = struct.pack("<8sHHHBB4s", b"\0" * 8, seq, len(payload), 0, 1, 0, b"\0" * 4) + payload
            header = struct.pack("<IIII", 1, 0, seq * 20, 0)
            send(client, frame(MEDIA_DATA, 3, body=header + packet))

    # ---- commands of the test
    def command(self, line):
        words = line.split()
        if not words:
            return "ERR empty"
        cmd, args = words[0], words[1:]
        rest = line.split(None, 3)
        if cmd == "mode":
            self.mode = args[0]
        elif cmd == "aux":
            self.aux_flags[int(args[0])] = int(args[1])
        elif cmd == "ptz":
            self.ptz_flag, self.ptz_code = int(args[0]), int(args[1])
        elif cmd == "talk":
            self.talk_accept = args[0] == "accept"
        elif cmd == "status":
            text = line.split(None, 2)[2] if len(args) > 1 else ""
            return "OK %d" % self.broadcast(frame(STATUS, int(args[0]), body=text.encode("latin-1")))
        elif cmd == "auxpush":
            text = rest[3] if len(rest) > 3 else ""
            word = pack_response(int(args[1]), int(args[0]))
            return "OK %d" % self.broadcast(frame(AUX_RESPONSE, word, body=text.encode("latin-1")))
        elif cmd == "alarm":
            body = struct.pack("<9i", *[int(x) for x in args[:9]]) + b"\xa5" * 132
            return "OK %d" % self.broadcast(frame(ALARM, body=body))
        elif cmd == "rawalarm":
            return "OK %d" % self.broadcast(frame(ALARM, body=b"\x01" * int(args[0])))
        elif cmd == "mediaparam":
            text = line.split(None, 2)[2] if len(args) > 1 else ""
            return "OK %d" % self.broadcast(frame(MEDIA_PARAM, int(args[0]), body=text.encode("latin-1")))
        elif cmd == "replay":
            return "OK %d" % self.broadcast(frame(REPLAY_STATE, int(args[0]), int(args[1])))
        elif cmd == "garbage":
            return "OK %d" % self.broadcast(b"\x00garbage after login\xff" * 3)
        elif cmd == "drop":
            self.drop_all()
        elif cmd == "audio":
            with self.lock:
                data, packets, fmt = bytes(self.audio), self.audio_packets, self.audio_format
                self.audio, self.audio_packets, self.audio_format = bytearray(), 0, (-1, 0, 0)
            with open(args[0], "wb") as f:
                f.write(data)
            return "OK %d %d %d %d" % ((packets,) + fmt)
        elif cmd == "take":
            found = self.take(args[0], float(args[1]))
            return "OK " + found if found is not None else "ERR timeout"
        elif cmd == "count":
            return "OK %d" % self.count(args[0])
        elif cmd == "quit":
            self.running = False
            self.drop_all()
        else:
            return "ERR unknown command"
        return "OK"


def send(client, data):
    with client["wlock"]:
        try:
            client["sock"].sendall(data)
        except OSError:
            pass


def recv_exact(sock, size):
    data = b""
    while len(data) < size:
        try:
            chunk = sock.recv(size - len(data))
        except OSError:
            return None
        if not chunk:
            return None
        data += chunk
    return data


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("port", type=int)
    parser.add_argument("--user", default="admin")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--mode", default="normal")
    options = parser.parse_args()

    device = Device(options.user, options.password, options.mode)
    server = listen(options.port)
    control = listen(0)

    def control_session(sock):
        reader = sock.makefile("r", encoding="latin-1", newline="\n")
        for line in reader:
            try:
                answer = device.command(line.rstrip("\n"))
            except (ValueError, IndexError) as error:
                answer = "ERR " + str(error)
            try:
                sock.sendall((answer + "\n").encode("latin-1"))
            except OSError:
                return
            if not device.running:
                os._exit(0)

    threading.Thread(target=accept_loop, args=(server, device.serve), daemon=True).start()
    threading.Thread(target=accept_loop, args=(control, control_session), daemon=True).start()
    print("READY %d %d" % (server.getsockname()[1], control.getsockname()[1]), flush=True)
    while True:
        time.sleep(3600)


if __name__ == "__main__":
    sys.exit(main())
