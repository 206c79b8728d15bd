"""The recordings of the fake device when it plays an NVR (fake_device.py --records DIR).

The record tree holds record files in the client's own record layout (written by its
recorder), one folder per channel, record kind and day:

    DIR/ch<channel>/<Schedule|Alarm|Motion>/<YYYYMMDD>/<HHMMSS>.avi

On the device a file's path is "/mnt/sd1/" followed by its path below DIR, with "/".

The store answers the record searches (message code 1021: the files of a span, kind,
media and size, 20 to a page; code 3001: one letter per minute of a channel's day, 'A'
schedule, 'B' alarm or motion, 'C' none), reads a file's media description the way the
client's record-file reader does, and lists its chunks for replay.
"""

import base64
import datetime
import os
import re
import struct
import threading
import time
from xml.sax.saxutils import escape

DEVICE_ROOT = "/mnt/sd1/"
KINDS = {"Schedule": "SCHEDULE", "Alarm": "ALARM", "Motion": "MOTION"}
PAGE_FILES = 20
ONE_STREAM_MOVI, TWO_STREAM_MOVI = 5668, 9892
KEY_FLAG = 0x10


def attributes(text):
    """The name="value" pairs of a request text."""
    return dict(re.findall(r'(\w+)="([^"]*)"', text))


def u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


class RecordFile:
    """One record file: where it lies, what the device calls it, its channel, kind and start."""

    def __init__(self, local, device_path, channel, kind, start):
        self.local, self.device_path, self.channel, self.kind, self.start = local, device_path, channel, kind, start
        self._info = None

    @property
    def size(self):
        return os.path.getsize(self.local)

    def info(self):
        if self._info is None:
            self._info = AviInfo(self.local)
        return self._info

    def start_second(self):
        return self.start.hour * 3600 + self.start.minute * 60 + self.start.second


class AviInfo:
    """The media description and chunks of a record file, read as the client's reader reads them."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        data = self.data
        self.streams = u32(data, 56)
        self.width, self.height = u32(data, 64), u32(data, 68)
        self.rate = u32(data, 132) or 25
        self.video_codec = b"MP4V" if data[112:116] == b"XVID" else b"H264"
        self.video_bitrate = u32(data, 36) * 8
        movi = TWO_STREAM_MOVI if self.streams == 2 else ONE_STREAM_MOVI
        if data[movi:movi + 4] != b"movi":
            movi = data.find(b"movi")
        self.chunks = self._chunks(movi)  # (is_video, payload offset, length, key)
        self.video_frames = sum(1 for c in self.chunks if c[0])
        self.seconds = max(1, self.video_frames // self.rate)
        self.video_param = self._video_param()
        self.audio_param = self._audio_param() if self.streams == 2 else None

    def _chunks(self, movi):
        data = self.data
        index = data.rfind(b"idx1")
        chunks = []
        if index > movi:
            count = u32(data, index + 4) // 16
            for i in range(count):
                code, flags, offset, length = struct.unpack_from("<4sIII", data, index + 8 + 16 * i)
                if code not in (b"00dc", b"01wb"):
                    continue
                at = movi + offset + 8
                if at + length <= len(data):
                    chunks.append((code == b"00dc", at, length, flags == KEY_FLAG))
            return chunks
        at = movi + 4  # no index (a recorder that died): walk the chunks, which carry no pad bytes
        while at + 8 <= len(data):
            code, length = data[at:at + 4], u32(data, at + 4)
            if code not in (b"00dc", b"01wb") or at + 8 + length > len(data):
                break
            payload = data[at + 8:at + 8 + length]
            key = code == b"00dc" and (b"\x00\x00\x00\x01\x67" in payload[:64] or b"\x00\x00\x01\x67" in payload[:64])
            chunks.append((code == b"00dc", at + 8, length, key))
            at += 8 + length
        return chunks

    def _video_param(self):
        block = bytearray(536)
        block[0:len(self.video_codec)] = self.video_codec
        struct.pack_into("<IIIII", block, 256, self.width, self.height, 0, self.rate, self.video_bitrate)
        first = next((c for c in self.chunks if c[0]), None)
        if first is not None:
            start = self.data[first[1]:first[1] + 256].ljust(256, b"\0")
            if self.video_codec == b"H264":
                length = 114 if self.width >= 704 else 86
                at = start.find(b"\x00\x00\x00\x01\x28\xce", 0, 256)
                if 0 <= at <= 249:
                    length = at + 8
            else:
                length = 18 if start[0:4] == b"\x00\x00\x01\x01" else 29
            block[276:276 + min(length, 256)] = start[:min(length, 256)]
            struct.pack_into("<i", block, 532, length)
        return bytes(block)

    def _audio_param(self):
        block = bytearray(276)
        if u32(self.data, 4360) == 1:
            block[0:4] = b"G711"
            struct.pack_into("<IIIII", block, 256, 8000, 16, 1, 8, 64000)
        else:
            rate, channels = u32(self.data, 4424), struct.unpack_from("<H", self.data, 4422)[0]
            block[0:3] = b"AAC"
            struct.pack_into("<IIIII", block, 256, rate, channels * 8, channels, 8, channels * rate)
        return bytes(block)

    def param_text(self):
        """The media parameter text of a replay: both blocks in Base64 and the length in seconds."""
        audio = base64.b64encode(self.audio_param).decode() if self.audio_param else ""
        return ('<REPLAY_PARAM VideoParam="%s" AudioParam="%s" VideoSeconds="%d" />'
                % (base64.b64encode(self.video_param).decode(), audio, self.seconds)).encode()

    def frames(self, from_second=0):
        """(is_video, key, milliseconds into the file, payload) from the key frame that starts
        the second on."""
        video_index = -1
        started = from_second <= 0
        for is_video, at, length, key in self.chunks:
            if is_video:
                video_index += 1
            ms = max(video_index, 0) * 1000.0 / self.rate
            if not started:
                if not (is_video and key and video_index >= from_second * self.rate):
                    continue
                started = True
            yield is_video, key, ms, self.data[at:at + length]


class NvrRecordStore:
    def __init__(self, root):
        self.root = os.path.abspath(root)

    def files(self):
        """Every record file of the tree, by channel and start."""
        found = []
        pattern = re.compile(r"^ch(\d+)/(Schedule|Alarm|Motion)/(\d{8})/(\d{6})\.avi$")
        for folder, _, names in os.walk(self.root):
            for name in names:
                relative = os.path.relpath(os.path.join(folder, name), self.root).replace(os.sep, "/")
                m = pattern.match(relative)
                if not m:
                    continue
                start = datetime.datetime.strptime(m.group(3) + m.group(4), "%Y%m%d%H%M%S")
                found.append(RecordFile(os.path.join(folder, name), DEVICE_ROOT + relative, int(m.group(1)),
                                        m.group(2), start))
        found.sort(key=lambda f: (f.channel, f.start, f.device_path))
        return found

    def find(self, device_path):
        """The file a device path names, None for a path outside the tree."""
        for f in self.files():
            if f.device_path == device_path:
                return f
        return None

    def search(self, request):
        """The answer to a file search (code 1021)."""
        a = attributes(request)
        try:
            start = datetime.datetime.strptime(a.get("StartTime", ""), "%Y%m%d %H:%M:%S")
            end = datetime.datetime.strptime(a.get("EndTime", ""), "%Y%m%d %H:%M:%S")
        except ValueError:
            return '<RESPONSE_PARAM FileCount="0" />'
        mode, media = a.get("RecordMode"), a.get("MediaType")
        bounds = []
        for name in ("MinSize", "MaxSize"):
            try:
                bounds.append(int(a.get(name, "-1")))
            except ValueError:
                bounds.append(-1)
        matches = []
        for f in self.files():
            if not start <= f.start <= end or (mode and KINDS[f.kind] != mode):
                continue
            if media == "PICTURE" or (media == "VIDEO" and f.info().streams != 1) or \
                    (media == "AUDIOVIDEO" and f.info().streams != 2):
                continue
            if (bounds[0] >= 0 and f.size < bounds[0]) or (bounds[1] >= 0 and f.size > bounds[1]):
                continue
            matches.append(f)
        try:
            page = max(0, int(a.get("Page", "0")))
        except ValueError:
            page = 0
        shown = matches[page * PAGE_FILES:(page + 1) * PAGE_FILES]
        items = "".join('<RECORD_FILE FilePath="%s" FileLength="%d" />' % (escape(f.device_path, {'"': "&quot;"}), f.size)
                        for f in shown)
        return '<RESPONSE_PARAM FileCount="%d">%s</RESPONSE_PARAM>' % (len(matches), items)

    def day_files(self, channel, day):
        return [f for f in self.files() if f.channel == channel and f.start.date() == day]

    def day_map(self, request):
        """The answer to a day query (code 3001)."""
        a = attributes(request)
        channel = a.get("ChannelId", "0")
        letters = ["C"] * 1440
        try:
            day = datetime.datetime.strptime(a.get("Time", ""), "%Y%m%d").date()
            files = self.day_files(int(channel), day)
        except ValueError:
            files = []
        for f in files:
            first = f.start_second() // 60
            last = min(1439, (f.start_second() + f.info().seconds - 1) // 60)
            for minute in range(first, last + 1):
                letters[minute] = "A" if f.kind == "Schedule" else "B"
        return '<RESPONSE_PARAM ChannelId="%s" Stream="%s" />' % (escape(channel), "".join(letters))


class Replay(threading.Thread):
    """Streams record files as replay media, paced by their frame rate and the replay's speed.

    A file replay sends packet kinds 0 (video) and 1 (audio) with times from the file's
    start; a day replay sends kinds 2 and 3 with times of the day, file after file. At
    the end the replay state 7 goes out. `send(kind, key, ms, payload)` sends one packet,
    `ended()` the end. A pause holds the stream where it is: it goes on from there, and
    so does a new speed (the rate: 2.0 twice as fast, 0.5 half as fast)."""

    def __init__(self, pieces, day, send, ended):
        super().__init__(daemon=True)
        self.pieces = pieces  # (RecordFile, from second)
        self.day = day
        self.send, self.ended = send, ended
        self.stop_event = threading.Event()
        self.resume = threading.Event()
        self.resume.set()
        self.changed = threading.Event()  # stop, pause or speed: the pacing looks again
        self.rate = 1.0
        self.paused = False
        self.rebase = False  # the pacing starts again from the next frame

    def stop(self):
        self.stop_event.set()
        self.resume.set()
        self.changed.set()

    def pause(self, paused):
        self.paused = paused
        if paused:
            self.resume.clear()
        else:
            self.rebase = True
            self.resume.set()
        self.changed.set()

    def set_rate(self, rate):
        self.rate = rate
        self.rebase = True
        self.changed.set()

    def run(self):
        began = None
        first_ms = None
        for record, from_second in self.pieces:
            info = record.info()
            base_ms = record.start_second() * 1000.0 if self.day else 0.0
            for is_video, key, ms, payload in info.frames(from_second):
                at = base_ms + ms
                while True:
                    self.resume.wait()
                    if self.stop_event.is_set():
                        return
                    if first_ms is None or self.rebase:
                        self.rebase = False
                        began, first_ms = time.monotonic(), at
                    wait = began + (at - first_ms) / 1000.0 / self.rate - time.monotonic()
                    if wait <= 0:
                        break
                    if self.changed.wait(min(wait, 1.0)):
                        self.changed.clear()
                kind = (2 if self.day else 0) + (0 if is_video else 1)
                self.send(kind, key, at, payload)
            if self.day:  # the next file plays from its start, shown at its own time
                began, first_ms = None, None
        if not self.stop_event.is_set():
            self.ended()
