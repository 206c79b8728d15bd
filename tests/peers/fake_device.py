#!/usr/bin/python3
"""A fake device for the Gimbro control's tests (the protocol of maker/gimbro/gimbro_wire.h).

    fake_device.py PORT [--user U] [--password P] [--mode MODE] [--records DIR]

With --records the device plays an NVR whose recordings are the record files of DIR
(nvr_record_store.py says how they lie): it answers the record searches from them,
streams a file or a day as replay media and serves the files as downloads.

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
  auxtext CODE [TEXT...]      answer auxiliary messages of CODE with this text (in place of
                              the record tree's answer; "auxtext CODE -" forgets it)
  records DIR                 play an NVR with the record files of DIR
  ptz FLAG CODE               answer PTZ commands with this flag and code (default 0, 1)
  talk accept|refuse          answer talk and broadcast requests (default accept)
  status CODE TEXT...         send a status to every logged-in connection
  auxpush CODE FLAG TEXT...   send an unrequested auxiliary response
  alarm W1 .. W9              send an alarm record (nine words, then 132 bytes 0xA5)
  rawalarm N                  send an alarm frame with an N-byte body
  mediaparam KIND TEXT...     send media parameters
  replay STATE VALUE          send a replay state
  replaycaps CAN OPTION       the replay words sent at login (default 1 0), sent now too
  download SIZE [MODE...]     what a download request gets: SIZE bytes of data (the file's own
                              bytes for a file of the record tree), then the end (MODE ok),
                              the end with a failure after half of them (fail), the end after
                              half of them (short), half of them and then nothing (stall),
                              nothing at all (silent), or every byte with a size of 0 (zero);
                              several modes are taken by the next requests in turn, the last
                              one staying
  upload MODE                 how uploads are taken: every piece (ok), refused at once (refuse),
                              half of the file and then no answer (stall), half of the file
                              and then a count of one byte too many (miscount), or half of the
                              file and then nothing until "upload release" (hold)
  upload release              a held upload goes on (and later ones are taken whole)
  upgrade FLAG|wait           the result the device reports (code 1009) after it took a whole
                              firmware image: FLAG at once, or nothing until "upgraded" (wait,
                              the default)
  upgraded FLAG               report an upgrade result now to every logged-in connection
  reboot SECONDS              the down time of a restart (default 2)
  down                        "OK 1" while the device is down after a restart, else "OK 0"
  disks N                     the device has N storage devices (0 to 4; names sd1, sd2, usb,
                              usb2), each mounted, N*1024 MB, a quarter used
  disk I MOUNTED TOTAL USED   changes storage device I (from 0)
  config TEXT...              the device's configuration file (what a download of
                              /mnt/nand/config.xml gets and a configuration upload replaces)
  garbage                     send non-frame bytes to every logged-in connection
  drop                        close every connection
  audio PATH                  write the talk and broadcast audio received so far (the packets' bytes,
                              one after the other) to PATH and forget it; answers
                              "OK <packets> <codec> <rate> <channels>" of the last packet (codec 0
                              G.711 mu-law, 1 AAC with ADTS headers; "OK 0 -1 0 0" when none came)
  take PREFIX SECONDS         wait for a received record starting with PREFIX (blanks in
                              it count),
                              answer "OK <record>" and forget it, or "ERR timeout"
  count PREFIX                number of received records starting with PREFIX
  quit                        stop the device

Received records: "CONNECT", "LOGIN <user> ok|refused", "PTZ <hex>",
"AUX <code> <status> <hex type> <hex body>", "TALK <0|1>", "IFRAME <n>",
"TIMESYNC <difference> <utc offset> <time>", "BROADCAST <codec> <rate> <bits> <channels>"
(talk and broadcast audio is kept apart: see "audio"),
"BROADCAST_STOP", "REPLAY_FILE <path>", "REPLAY_FILE_CONTROL <command> <value>",
"REPLAY_TIME <channel> <time>", "REPLAY_TIME_CONTROL <channel> <command> <value> <time>",
"DOWNLOAD <path>", "DOWNLOAD_STOP", "UPLOAD <kind> <size> <name>",
"UPLOAD_DONE <size> <md5 hex of the bytes>", "CLOSED".

Replays: without a record tree, a file or time replay request is answered with media
parameters (kind 1 for a file, 4 for a time) whose VideoParam attribute is the Base64
text of an H264 352x288 block; a stop command (7) of a file replay with replay state 7.
With a record tree, the file (or the channel's day from the time asked) is streamed:
media parameters of the file, then its chunks as media data of kind 4 (16-byte frame
header: key flag, 0, the time in ms as a double; 20-byte packet prefix whose byte 14 is
0/1 video/audio of a file, 2/3 of a day; then the chunk), paced by the frame rate, and
replay state 7 at the end. Commands (a file's value is argument b; a day's, the value
before the time text): 1 continue, 2 pause, 3 or 7 stop (replay state 7 follows), 4 slow
(value 0 pause, 1 continue, 2 to 32 slowed by that factor), 8 fast (value 2 to 32: sped up
by that factor), 12 normal speed, 9 seek (a file: to the second given; a day: to the time
text; the replay goes on from there at its speed, paused when it was, without new media
parameters).
Downloads: FILE_DATA frames (the size as u64, then up to 64 KiB of bytes, byte i
of the file being i % 251, or the record file's bytes), then FILE_END; the request's
transfer number (argument a) comes back as argument b of both.
Uploads: every UPLOAD and UPLOAD_DATA is answered with UPLOAD_STATE (a 0 going on, 1
refused; b the transfer number; the bytes taken so far as u64).
Maintenance messages (AUX of "SYSTEM_CONTROL_MESSAGE"; each answered with the flag set by
"aux CODE FLAG", so each can be told to fail; what follows happens on flag 0 only):
1012 the file-system version; 1014 the storage devices (RESPONSE_PARAM with one DEV child
each); 1017 formats the storage device named by the body's DevName (nothing used), 1018
unmounts it; 1002 restores the configuration file to its default; 1007 restarts the device:
after its answer every connection closes and new ones are closed at once for the down time,
then it is itself again; 1005 is only recorded. A whole firmware image (upload kind 1) is
followed by the upgrade result (code 1009) and, on result 0, a restart; a whole configuration
file (kind 0) replaces the device's.
"""

import argparse
import base64
import datetime
import hashlib
import os
import socket
import struct
import sys
import threading
import time

from nvr_record_store import NvrRecordStore, Replay
from peer_support import Records, accept_loop, listen

MAGIC = b"GMBR"
HEADER = struct.Struct("<4sHHiiI")

LOGIN, PTZ, AUX, TALK, IFRAME, TIME_SYNC, BROADCAST, BROADCAST_STOP, TALK_AUDIO, ECHO = 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x0F
HELLO, LOGIN_RESULT, STATUS, PTZ_RESPONSE, AUX_RESPONSE = 0x81, 0x82, 0x83, 0x84, 0x85
ALARM, MEDIA_DATA, MEDIA_PARAM, REPLAY_STATE, ECHO_REPLY = 0x86, 0x87, 0x88, 0x89, 0x8F
REPLAY_FILE, REPLAY_FILE_CONTROL, REPLAY_TIME, REPLAY_TIME_CONTROL = 0x10, 0x11, 0x12, 0x13
DOWNLOAD, DOWNLOAD_STOP, UPLOAD, UPLOAD_DATA = 0x14, 0x15, 0x16, 0x17
REPLAY_CAPS, FILE_DATA, FILE_END, UPLOAD_STATE = 0x8A, 0x8B, 0x8C, 0x8D
DOWNLOAD_CHUNK = 64 * 1024


def replay_param(seconds):
    video = bytearray(536)
    video[0:4] = b"H264"
    struct.pack_into("<IIIII", video, 256, 352, 288, 0, 25, 512000)
    text = base64.b64encode(bytes(video)).decode()
    return ('<REPLAY_PARAM VideoParam="%s" AudioParam="" VideoSeconds="%d" />' % (text, seconds)).encode()

TALK_PARAM = ('<MESSAGE><MESSAGE_BODY><RA_START_RESPONSE AudioCodec="G711" Samplerate="8000" '
              'BitsPerSample="16" Channels="1" /></MESSAGE_BODY></MESSAGE>')
TALK_PACKETS = 3

DISK_NAMES = ("sd1", "sd2", "usb", "usb2")
DEFAULT_DISKS = [  # name, mounted, total MB, used MB
    ["sd1", 1, 1024, 256],
    ["sd2", 0, 0, 0],
    ["usb", 1, 2048, 2048],
]
DEFAULT_CONFIG = '<?xml version="1.0" encoding="gb2312"?><Config DevName="fake-device" Version="1" />'
CONFIG_PATH = "/mnt/nand/config.xml"
AUX_TEXTS = {
    1012: '<RESPONSE_PARAM FileSystemVersion="FS-2.4.1" />',
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
    def __init__(self, user, password, mode, records=None):
        self.user = user.encode("latin-1")
        self.password = password.encode("latin-1")
        self.mode = mode
        self.aux_flags = {}
        self.ptz_flag, self.ptz_code = 0, 1
        self.talk_accept = True
        self.replay_caps = (1, 0)
        self.download_size, self.download_modes = 300000, ["ok"]
        self.upload_mode = "ok"
        self.lock = threading.Condition()
        self.book = Records(self.lock)
        self.audio = bytearray()  # talk and broadcast audio received
        self.audio_packets = 0
        self.audio_format = (-1, 0, 0)
        self.clients = []  # (socket, send lock, logged-in flag holder)
        self.running = True
        self.store = NvrRecordStore(records) if records else None
        self.aux_texts = {}  # code -> fixed answer text
        self.disks = [list(d) for d in DEFAULT_DISKS]
        self.config = DEFAULT_CONFIG.encode("latin-1")
        self.upgrade_result = None  # None: wait for "upgraded"
        self.reboot_seconds = 2.0
        self.down_until = 0.0
        self.held_upload = None  # (client, transfer, taken) of a held upload

    # ---- restarts
    def down(self):
        return time.monotonic() < self.down_until

    def reboot(self):
        """Closes every connection; new ones are closed at once for the down time."""
        self.record("REBOOT")
        with self.lock:
            self.down_until = time.monotonic() + self.reboot_seconds
        self.drop_all()

    def storage_text(self):
        children = "".join('<DEV DevName="%s" Mounted="%d" Total="%d" Used="%d" Free="%d" Percent="%d" />'
                           % (name, mounted, total, used, total - used, used * 100 // total if total else 0)
                           for name, mounted, total, used in self.disks)
        return "<RESPONSE_PARAM>%s</RESPONSE_PARAM>" % children

    def storage_command(self, code, request):
        """1017 formats, 1018 unmounts the storage device the request names."""
        text = request.decode("latin-1")
        for disk in self.disks:
            if '"%s"' % disk[0] in text:
                if code == 1017:
                    disk[3] = 0
                else:
                    disk[1] = 0

    def report_upgrade(self, flag):
        count = self.broadcast(frame(AUX_RESPONSE, pack_response(flag, 1009)))
        if flag == 0:
            threading.Thread(target=self.reboot, daemon=True).start()
        return count

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
            if mode == "close" or self.down():
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
            self.stop_replay(client)
            client["download"] = None
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
                # Online before the answer goes out: a test that saw the login
                # succeed may broadcast at once.
                client["online"] = True
                send(client, frame(LOGIN_RESULT, 0))
                send(client, frame(REPLAY_CAPS, *self.replay_caps))
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
            if flag == 0 and a in (1017, 1018):
                self.storage_command(a, text)
            if flag == 0 and a == 1002:
                self.config = DEFAULT_CONFIG.encode("latin-1")
            send(client, frame(AUX_RESPONSE, pack_response(flag, a), body=self.aux_answer(a, text, flag)))
            if flag == 0 and a == 1007:
                self.reboot()
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
        elif ftype == REPLAY_FILE:
            path = body.decode("latin-1")
            self.record("REPLAY_FILE " + path)
            if self.store is None:
                send(client, frame(MEDIA_PARAM, 1, body=replay_param(60)))
            else:
                self.replay_file(client, path, 0)
        elif ftype == REPLAY_FILE_CONTROL:
            self.record("REPLAY_FILE_CONTROL %d %d" % (a, b))
            self.control_replay(client, a, b,
                                lambda: self.replay_file(client, client.get("replay_path", ""), b, False))
        elif ftype == REPLAY_TIME:
            self.record("REPLAY_TIME %d %s" % (a, body.decode("latin-1")))
            if self.store is None:
                send(client, frame(MEDIA_PARAM, 4, body=replay_param(600)))
            else:
                self.replay_day(client, a, body.decode("latin-1"))
        elif ftype == REPLAY_TIME_CONTROL:
            value = struct.unpack("<i", body[:4])[0] if len(body) >= 4 else 0
            text = body[4:].decode("latin-1")
            self.record("REPLAY_TIME_CONTROL %d %d %d %s" % (a, b, value, text))
            self.control_replay(client, b, value, lambda: self.replay_day(client, a, text, True))
        elif ftype == DOWNLOAD:
            self.record("DOWNLOAD " + body.decode("latin-1"))
            client["download"] = a
            threading.Thread(target=self.download, args=(client, a, body.decode("latin-1")), daemon=True).start()
        elif ftype == DOWNLOAD_STOP:
            if client.get("download") == a:
                client["download"] = None
            self.record("DOWNLOAD_STOP")
        elif ftype in (UPLOAD, UPLOAD_DATA):
            self.upload(client, ftype, a, b, body)
        elif ftype == TALK_AUDIO:
            with self.lock:
                self.audio += body
                self.audio_packets += 1
                self.audio_format = (a & 0xFF, b, (a >> 8) & 0xFF)

    def aux_answer(self, code, request, flag):
        if flag != 0:
            return b""
        if code in self.aux_texts:
            return self.aux_texts[code].encode("latin-1")
        if self.store is not None and code == 1021:
            return self.store.search(request.decode("latin-1")).encode("latin-1")
        if self.store is not None and code == 3001:
            return self.store.day_map(request.decode("latin-1")).encode("latin-1")
        if code == 1014:
            return self.storage_text().encode("latin-1")
        if code == 3001:
            channel = b"1"
            for part in request.split():
                if part.startswith(b"ChannelId="):
                    channel = part.split(b"=", 1)[1].strip(b'"')
            stream = "A" * 480 + "B" * 60 + "C" * 900
            return ('<RESPONSE_PARAM ChannelId="%s" Stream="%s" />' % (channel.decode(), stream)).encode()
        return AUX_TEXTS.get(code, "").encode()

    # ---- replays of the record tree
    def start_replay(self, client, pieces, day, carry=False):
        """carry: the new replay goes on at the speed, and paused or not, as the one it replaces."""
        before = client.get("replay")
        rate, paused = (before.rate, before.paused) if carry and before is not None else (1.0, False)
        self.stop_replay(client)

        def packet(kind, key, ms, payload):
            prefix = bytearray(20)
            prefix[14] = kind
            header = struct.pack("<IId", 1 if key else 0, 0, ms)
            send(client, frame(MEDIA_DATA, 4, body=header + bytes(prefix) + payload))

        replay = Replay(pieces, day, packet, lambda: send(client, frame(REPLAY_STATE, 7, 0)))
        replay.set_rate(rate)
        replay.pause(paused)
        client["replay"] = replay
        replay.start()

    def stop_replay(self, client):
        replay = client.pop("replay", None)
        if replay is not None:
            replay.stop()
            replay.join(5)

    def control_replay(self, client, command, value, seek):
        replay = client.get("replay")
        factor = value if value in (2, 4, 8, 16, 32) else None
        if command in (3, 7):
            self.stop_replay(client)
            send(client, frame(REPLAY_STATE, 7, 0))
        elif command == 9 and self.store is not None:
            seek()
        elif replay is None:
            return
        elif command in (1, 2):
            replay.pause(command == 2)
        elif command == 4 and value in (0, 1):
            replay.pause(value == 0)
        elif command == 4 and factor:
            replay.set_rate(1.0 / factor)
        elif command == 8 and factor:
            replay.set_rate(float(factor))
        elif command == 12:
            replay.set_rate(1.0)

    def replay_file(self, client, path, from_second, first=True):
        """first: a new replay (media parameters first); else a seek of the one that plays."""
        record = self.store.find(path)
        if record is None:
            send(client, frame(REPLAY_STATE, 7, 0))
            return
        client["replay_path"] = path
        if first:
            send(client, frame(MEDIA_PARAM, 1, body=record.info().param_text()))
        self.start_replay(client, [(record, max(0, from_second))], False, not first)

    def replay_day(self, client, channel, time_text, carry=False):
        """carry: a seek of the day that plays (its speed and pause go on)."""
        try:
            when = datetime.datetime.strptime(time_text, "%Y%m%d%H%M%S")
        except ValueError:
            send(client, frame(REPLAY_STATE, 7, 0))
            return
        second = when.hour * 3600 + when.minute * 60 + when.second
        pieces = []
        for record in self.store.day_files(channel, when.date()):
            start, length = record.start_second(), record.info().seconds
            if start + length <= second:
                continue
            pieces.append((record, max(0, second - start)))
        if not pieces:
            send(client, frame(REPLAY_STATE, 7, 0))
            return
        first = pieces[0][0].info()
        video = base64.b64encode(first.video_param).decode()
        send(client, frame(MEDIA_PARAM, 4, body=('<REPLAY_PARAM VideoParam="%s" />' % video).encode()))
        if first.audio_param:
            audio = base64.b64encode(first.audio_param).decode()
            send(client, frame(MEDIA_PARAM, 4, body=('<REPLAY_PARAM AudioParam="%s" />' % audio).encode()))
        self.start_replay(client, pieces, True, carry)

    def download(self, client, transfer, path):
        with self.lock:
            size = self.download_size
            mode = self.download_modes.pop(0) if len(self.download_modes) > 1 else self.download_modes[0]
        record = self.store.find(path) if self.store is not None else None
        if record is not None:
            with open(record.local, "rb") as f:
                data = f.read()
            size = len(data)
        elif path == CONFIG_PATH:
            data = self.config
            size = len(data)
        else:
            data = (bytes(range(251)) * (size // 251 + 1))[:size]
        if mode == "silent":
            return
        if mode == "stale":  # first what is left of an earlier transfer: its bytes and its failed end
            send(client, frame(FILE_DATA, 0, transfer - 1, body=struct.pack("<Q", size) + b"stale bytes"))
            send(client, frame(FILE_END, 1, transfer - 1))
        end = size if mode in ("ok", "zero", "stale") else size // 2
        announced = 0 if mode == "zero" else size
        for at in range(0, end, DOWNLOAD_CHUNK):
            if client.get("download") != transfer:
                return
            piece = data[at:min(end, at + DOWNLOAD_CHUNK)]
            send(client, frame(FILE_DATA, 0, transfer, body=struct.pack("<Q", announced) + piece))
            time.sleep(0.01)
        if mode == "stall":
            return
        send(client, frame(FILE_END, 1 if mode == "fail" else 0, transfer))

    def upload(self, client, ftype, transfer, kind, body):
        if ftype == UPLOAD:
            size = struct.unpack("<Q", body[:8])[0] if len(body) >= 8 else 0
            name = body[8:].decode("latin-1")
            self.record("UPLOAD %d %d %s" % (kind, size, name))
            client["upload"] = {"transfer": transfer, "size": size, "data": bytearray(), "kind": kind}
            if self.upload_mode == "refuse":
                send(client, frame(UPLOAD_STATE, 1, transfer, struct.pack("<Q", 0)))
                return
        else:
            up = client.get("upload")
            if up is None or up["transfer"] != transfer:
                return
            up["data"] += body
        up = client["upload"]
        taken = len(up["data"])
        if self.upload_mode in ("stall", "miscount", "hold") and taken >= up["size"] // 2 and taken > 0:
            if self.upload_mode == "miscount":
                send(client, frame(UPLOAD_STATE, 0, transfer, struct.pack("<Q", taken + 1)))
            if self.upload_mode == "hold":
                with self.lock:
                    self.held_upload = (client, transfer, taken)
            return
        send(client, frame(UPLOAD_STATE, 0, transfer, struct.pack("<Q", taken)))
        if taken == up["size"]:
            self.record("UPLOAD_DONE %d %s" % (taken, hashlib.md5(bytes(up["data"])).hexdigest()))
            if up["kind"] == 0:
                self.config = bytes(up["data"])
            elif self.upgrade_result is not None:
                self.report_upgrade(self.upgrade_result)

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
        elif cmd == "auxtext":
            text = line.split(None, 2)[2] if len(args) > 1 else ""
            if text == "-":
                self.aux_texts.pop(int(args[0]), None)
            else:
                self.aux_texts[int(args[0])] = text
        elif cmd == "records":
            self.store = NvrRecordStore(args[0])
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
        elif cmd == "replaycaps":
            self.replay_caps = (int(args[0]), int(args[1]))
            return "OK %d" % self.broadcast(frame(REPLAY_CAPS, *self.replay_caps))
        elif cmd == "download":
            with self.lock:
                self.download_size = int(args[0])
                self.download_modes = args[1:] or ["ok"]
        elif cmd == "upload" and args[0] == "release":
            with self.lock:
                held, self.held_upload = self.held_upload, None
                self.upload_mode = "ok"
            if held is None:
                return "ERR nothing held"
            client, transfer, taken = held
            send(client, frame(UPLOAD_STATE, 0, transfer, struct.pack("<Q", taken)))
        elif cmd == "upload":
            self.upload_mode = args[0]
        elif cmd == "upgrade":
            self.upgrade_result = None if args[0] == "wait" else int(args[0])
        elif cmd == "upgraded":
            return "OK %d" % self.report_upgrade(int(args[0]))
        elif cmd == "reboot":
            self.reboot_seconds = float(args[0])
        elif cmd == "down":
            return "OK %d" % (1 if self.down() else 0)
        elif cmd == "disks":
            count = int(args[0])
            if not 0 <= count <= len(DISK_NAMES):
                return "ERR 0 to %d disks" % len(DISK_NAMES)
            self.disks = [[DISK_NAMES[i], 1, 1024 * count, 256 * count] for i in range(count)]
        elif cmd == "disk":
            index, mounted, total, used = (int(x) for x in args[:4])
            self.disks[index][1:] = [mounted, total, used]
        elif cmd == "config":
            self.config = (line.split(None, 1)[1] if len(args) else "").encode("latin-1")
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
            # The prefix is all between "take " and the last word, blanks included.
            rest = line[len("take "):]
            cut = rest.rstrip().rfind(" ")
            found = self.take(rest[:cut], float(rest[cut + 1:]))
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
    parser.add_argument("--records", default=None)
    options = parser.parse_args()

    device = Device(options.user, options.password, options.mode, options.records)
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
