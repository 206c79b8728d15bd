#!/usr/bin/python3
"""A fake NVR that speaks the NVR link protocol, for Harlen's tests and by hand.

    fake_nvr.py [--port PORT] [--fixtures DIR] [--mode MODE [ARG]]

Listens on 127.0.0.1:PORT (0 = any free port) and prints one line
"READY <port>". Commands come one per line on the standard input and each gets
one answer line, "OK ..." or "ERR ...", on the standard output; the NVR stops
when its standard input closes (so it dies with the program that started it).

Frames (all integers 32-bit little-endian): "svpi", 0, payload length, then
the payload: items of (type, length, value), the first the 40-byte header
("svpi", 0, command, payload length, status, 20 zero bytes), the last the
terminator (0, 0). Requests are checked strictly: a frame that breaks any rule
is logged as "MALFORMED <reason>" and its connection is closed.

Requests and replies:
  4390 GET_CONFIG [section]            4391 [section, text]
  4382 SET_CONFIG [section, text]      4383 header only (status 1: refused)
  4384 RESTORE_DEFAULT [section 0]     4385 [section 0, the whole configuration]
  4394 SEARCH_IPC []                   4395 [text: the cameras found]
  4397 SET_IPC_NETPARAM [88-byte rec]  4398 header only; the camera of that
       serial takes the record's IP, mask, gateway and DNS addresses, so a
       later search finds it at its new address
  4401 CONTROL [code, text]            4402 [code, text]; codes 4097 disk status,
       4098 stream rates, 4099 online users, 4100 device time, 3 set the time,
       1 format a disk (three progress replies: started 0, running 50, done 100)

The configuration store starts from the GBK section files of the fixture
folder and is shared by every connection. Section 0 is the whole
configuration (root nvr); 12 to 16 are the children of its networkparam; 18
is the RecordDriven element inside channelcfg.

Fault modes (on the command line or with the "mode" command; they apply to
the replies of every request read afterwards, and to pushed frames; a
request already logged is answered in the mode it came in under):
  normal
  stray N          N stray bytes before every reply frame
  split N MS       replies sent in pieces, MS milliseconds apart: the magic
                   alone, then N bytes at a time
  status N         replies carry status N
  missing TYPE     replies leave out their item of TYPE (19, 20 or 67)
  oversize         reply frames announce 600000 payload bytes
  badlength        a reply's text item claims more bytes than the payload holds
  closeafter K     a connection is closed after K reply frames
  silent           requests are read, nothing is sent
  unanswered CMD   requests of command CMD (e.g. 4394, the camera search) are
                   read and logged but never answered; other requests are
                   answered as usual
  refuse S...      SET_CONFIG of the sections S (numbers) is answered with
                   status 1 and not stored; other requests as usual
  without E...     the whole configuration (section 0) leaves out its
                   children named E (e.g. usercfg networkparam)

Commands:
  mode M [ARGS]          set the fault mode
  take SECONDS PREFIX    wait for a logged request starting with PREFIX:
                         "OK <record>" (the record is forgotten) or "ERR timeout"
  count PREFIX           how many logged records start with PREFIX
  clear                  forget every logged record
  push KIND              send an unsolicited frame to every connection:
                         config (4391 section 0), ack (4383), unknown (9999),
                         noheader (a payload without header item)
  lastset SECTION        the hex bytes of the last text set for SECTION
  cameras N              the search finds N cameras of its own making
                         ("CAM01"... at 192.168.2.1...); "cameras fixture"
                         goes back to the fixture folder's cameras.xml
  connections            how many connections are open
  drop                   close every connection
  quit                   stop

Logged records: "CONNECT", "CLOSED", "GET <section>", "SET <section> <length>",
"RESTORE", "SEARCH", "IPCNET <hex of the 88 bytes>", "CTRL <code> <hex text>",
"MALFORMED <reason>".
"""

import argparse
import copy
import os
import re
import socket
import struct
import sys
import threading
import time
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import fake_device  # noqa: E402  (the log of requests and the socket helpers are shared)
from fake_device import accept_loop, listen, recv_exact  # noqa: E402
from peer_support import Records  # noqa: E402

MAGIC = b"svpi"
FRAME_HEAD = struct.Struct("<4sII")
ITEM_HEAD = struct.Struct("<II")
HEADER = struct.Struct("<4sIiIi20s")
MAX_REQUEST_PAYLOAD = 2 * 1024 * 1024

T_HEADER, T_SECTION, T_DATA, T_IPC_NETPARAM, T_CTRL = 1, 19, 20, 60, 67
SET_CONFIG, RESTORE, GET_CONFIG, SEARCH_IPC, SET_IPC, CONTROL = 4382, 4384, 4390, 4394, 4397, 4401

# The items a request carries after its header, in order: (type, fixed length or None).
REQUEST_ITEMS = {
    GET_CONFIG: [(T_SECTION, 4)],
    SET_CONFIG: [(T_SECTION, 4), (T_DATA, None)],
    RESTORE: [(T_SECTION, 4)],
    SEARCH_IPC: [],
    SET_IPC: [(T_IPC_NETPARAM, 88)],
    CONTROL: [(T_CTRL, 4), (T_DATA, None)],
}

# Section number -> root element name of its text.
SECTION_ROOTS = {1: "common", 2: "systemparam", 5: "IPCChannelParam", 6: "channelcfg", 8: "AlarmLinkage",
                 12: "network", 13: "DDNS", 14: "NTP", 15: "email", 16: "managehosts", 17: "usercfg",
                 18: "RecordDriven"}
NETWORK_CHILDREN = ["network", "DDNS", "NTP", "email", "managehosts"]
WHOLE_ORDER = ["channelcfg", "networkparam", "systemparam", "systemmanage", "usercfg", "common", "AlarmLinkage"]
STORE_FILES = ["channelcfg", "network", "DDNS", "NTP", "email", "managehosts", "systemparam", "systemmanage",
               "usercfg", "common", "AlarmLinkage", "IPCChannelParam"]

DECLARATION = '<?xml version="1.0" encoding="gb2312" ?>\n'


class Malformed(Exception):
    pass


def item(itype, value):
    return ITEM_HEAD.pack(itype, len(value)) + value


def parse_gbk_xml(data):
    text = data.decode("gbk")
    text = re.sub(r"^\s*<\?xml[^>]*\?>", "", text)
    return ET.fromstring(text)


def gbk_text(element, declaration=True):
    element = copy.deepcopy(element)
    ET.indent(element, space="\t")
    text = ET.tostring(element, encoding="unicode") + "\n"
    return ((DECLARATION if declaration else "") + text).encode("gbk")


class Store:
    """The NVR's configuration: one element per stored section."""

    def __init__(self, folder):
        self.folder = folder
        self.lock = threading.Lock()
        self.reset()

    def reset(self):
        with self.lock:
            self.sections = {}
            for name in STORE_FILES:
                with open(os.path.join(self.folder, name + ".xml"), "rb") as f:
                    self.sections[name] = parse_gbk_xml(f.read())
            self.cameras = self.fixture_cameras()
            self.last_set = {}

    def fixture_cameras(self):
        with open(os.path.join(self.folder, "cameras.xml"), "rb") as f:
            return parse_gbk_xml(f.read())

    def set_cameras(self, how):
        """The cameras the search finds: the fixture's, or N made up."""
        if how == "fixture":
            cameras = self.fixture_cameras()
        else:
            cameras = ET.Element("ipcheadinfolist")
            for i in range(int(how)):
                camera = ET.SubElement(cameras, "ipcheadinfo", serial="CAM%02d" % (i + 1), username="admin",
                                       password="cam", rtpoverrtsp=str(i % 2), videoport="554", ptzport="6000",
                                       webport="80")
                for name, address in (("IP", "192.168.2.%d" % (i + 1)), ("MASK", "255.255.255.0"),
                                      ("GW", "192.168.2.254"), ("DNS1", "192.168.2.254"), ("DNS2", "0.0.0.0")):
                    ET.SubElement(camera, name, ipv4=address, ipv6=address)
                    if name == "GW":
                        ET.SubElement(camera, "HW", a0="0", a1="17", a2="34", a3="51", a4="68", a5=str(i))
        with self.lock:
            self.cameras = cameras

    def search(self):
        with self.lock:
            return gbk_text(self.cameras)

    def readdress(self, record):
        """Gives the camera of the record's serial the record's addresses."""
        serial = record[:20].split(b"\0", 1)[0].decode("gbk", "replace")
        addresses = [socket.inet_ntoa(record[offset:offset + 4]) for offset in (28, 32, 36, 40, 44)]
        with self.lock:
            for camera in self.cameras.iter("ipcheadinfo"):
                if camera.get("serial") != serial:
                    continue
                for name, address in zip(("IP", "MASK", "GW", "DNS1", "DNS2"), addresses):
                    element = camera.find(name)
                    if element is not None:
                        element.set("ipv4", address)
                        element.set("ipv6", address)

    def record_driven(self):
        return self.sections["channelcfg"].find("RecordConfig/RecordDriven")

    def whole(self, leave_out=()):
        root = ET.Element("nvr")
        for name in WHOLE_ORDER:
            if name in leave_out:
                continue
            if name == "networkparam":
                holder = ET.SubElement(root, "networkparam")
                for child in NETWORK_CHILDREN:
                    holder.append(copy.deepcopy(self.sections[child]))
            else:
                root.append(copy.deepcopy(self.sections[name]))
        return gbk_text(root)

    def get(self, section, leave_out=()):
        """The text of a section, or None for a section the NVR does not have."""
        with self.lock:
            if section == 0:
                return self.whole(leave_out)
            if section == 7:
                return gbk_text(ET.Element("disk"))
            if section == 18:
                return gbk_text(self.record_driven())
            name = SECTION_ROOTS.get(section)
            return gbk_text(self.sections[name]) if name else None

    def set(self, section, data):
        """Stores a section text: 0 when taken, 1 when refused."""
        try:
            root = parse_gbk_xml(data)
        except (UnicodeDecodeError, ET.ParseError):
            return 1
        with self.lock:
            self.last_set[section] = data
            if section == 0:
                if root.tag != "nvr":
                    return 1
                for child in root:
                    if child.tag == "networkparam":
                        for sub in child:
                            if sub.tag in NETWORK_CHILDREN:
                                self.sections[sub.tag] = sub
                    elif child.tag in self.sections:
                        self.sections[child.tag] = child
                return 0
            if SECTION_ROOTS.get(section) != root.tag:
                return 1
            if section == 18:
                holder = self.sections["channelcfg"].find("RecordConfig")
                holder.remove(self.record_driven())
                holder.insert(0, root)
            else:
                self.sections[root.tag] = root
            return 0


class Nvr:
    def __init__(self, store, mode):
        self.store = store
        self.mode = mode
        self.lock = threading.Condition()
        self.book = Records(self.lock)
        self.clients = []
        self.device_time = dict(timezone=8, year=2024, month=3, day=5, hour=6, minute=7, second=8)

    # ---- the request log, kept as the fake device keeps its records
    record = fake_device.Device.record
    take = fake_device.Device.take
    count = fake_device.Device.count

    # ---- frames
    def frame(self, command, items, status=None, mode=None):
        mode = mode or self.mode
        if status is None:
            status = int(mode[1]) if mode[0] == "status" else 0
        if mode[0] == "missing":
            items = [(t, v) for t, v in items if t != int(mode[1])]
        body = b"".join(item(t, v) for t, v in items)
        if mode[0] == "badlength" and any(t == T_DATA for t, _ in items):
            body = b"".join(item(t, v) if t != T_DATA else ITEM_HEAD.pack(t, len(v) + 4096) + v for t, v in items)
        length = ITEM_HEAD.size + HEADER.size + len(body) + ITEM_HEAD.size
        header = HEADER.pack(MAGIC, 0, command, length, status, bytes(20))
        payload = item(T_HEADER, header) + body + ITEM_HEAD.pack(0, 0)
        announced = 600000 if mode[0] == "oversize" else len(payload)
        return FRAME_HEAD.pack(MAGIC, 0, announced) + payload

    def send(self, client, data, mode=None):
        mode = mode or self.mode
        if mode[0] == "silent" or client is None:
            return
        if mode[0] == "stray":
            data = (b"\x00svp\xffs" * 64)[:int(mode[1])] + data
        with client["wlock"]:
            try:
                if mode[0] == "split":
                    size, pause = int(mode[1]), int(mode[2]) / 1000.0
                    pieces = [data[:4]] + [data[i:i + size] for i in range(4, len(data), size)]
                    for piece in pieces:
                        client["sock"].sendall(piece)
                        time.sleep(pause)
                else:
                    client["sock"].sendall(data)
            except OSError:
                return
            client["sent"] += 1
            if mode[0] == "closeafter" and client["sent"] >= int(mode[1]):
                close_socket(client["sock"])

    def reply(self, client, mode, command, items, status=None):
        """Replies in the fault mode that held when the request came in."""
        self.send(client, self.frame(command, items, status, mode), mode)

    # ---- one request
    def handle(self, client, command, items):
        # The mode is taken before the request is logged: a test that saw the
        # request logged and then changes the mode never changes this reply.
        mode = list(self.mode)
        values = [v for _, v in items]
        if mode[0] == "unanswered" and command == int(mode[1]):
            client = None  # handled and logged, but no reply is sent
        if command == GET_CONFIG:
            section = struct.unpack("<i", values[0])[0]
            self.record("GET %d" % section)
            text = self.store.get(section, mode[1:] if mode[0] == "without" else ())
            status = None if text is not None else 1
            self.reply(client, mode, 4391, [(T_SECTION, values[0]), (T_DATA, text or b"")], status)
        elif command == SET_CONFIG:
            section = struct.unpack("<i", values[0])[0]
            self.record("SET %d %d" % (section, len(values[1])))
            if mode[0] == "refuse" and str(section) in mode[1:]:
                refused = 1
            else:
                refused = self.store.set(section, values[1])
            self.reply(client, mode, 4383, [], 1 if refused else None)
        elif command == RESTORE:
            self.record("RESTORE")
            self.store.reset()
            self.reply(client, mode, 4385, [(T_SECTION, values[0]), (T_DATA, self.store.get(0))])
        elif command == SEARCH_IPC:
            self.record("SEARCH")
            self.reply(client, mode, 4395, [(T_DATA, self.store.search())])
        elif command == SET_IPC:
            self.record("IPCNET " + values[0].hex())
            self.store.readdress(values[0])
            self.reply(client, mode, 4398, [])
        elif command == CONTROL:
            self.control(client, mode, values[0], values[1])

    def control(self, client, mode, code_bytes, text):
        code = struct.unpack("<i", code_bytes)[0]
        self.record("CTRL %d %s" % (code, text.hex()))
        texts = {4097: self.disk_status, 4098: self.stream_rates, 4099: self.online_users, 4100: self.time_text}
        if code in texts:
            self.reply(client, mode, 4402, [(T_CTRL, code_bytes), (T_DATA, texts[code]())])
        elif code == 3:
            try:
                root = parse_gbk_xml(text)
                for key in self.device_time:
                    self.device_time[key] = int(root.get(key))
                status = None
            except (UnicodeDecodeError, ET.ParseError, TypeError, ValueError):
                status = 1
            self.reply(client, mode, 4402, [(T_CTRL, code_bytes), (T_DATA, b"")], status)
        elif code == 1:
            try:
                disk = parse_gbk_xml(text).get("path", "")
            except (UnicodeDecodeError, ET.ParseError):
                self.reply(client, mode, 4402, [(T_CTRL, code_bytes), (T_DATA, b"")], 1)
                return
            for result, value in ((0, 0), (1, 50), (2, 100)):  # started, running, complete
                progress = ET.Element("formatprogress", disk=disk, result=str(result), value=str(value))
                self.reply(client, mode, 4402, [(T_CTRL, code_bytes), (T_DATA, gbk_text(progress, False))])
        else:
            self.reply(client, mode, 4402, [(T_CTRL, code_bytes), (T_DATA, b"")], 1)

    def disk_status(self):
        root = ET.Element("status")
        ET.SubElement(root, "disk", mode="record", using="1", disk="sda", formated="1", spacetotal="1907729",
                      spaceused="512000", covertimes="2")
        ET.SubElement(root, "disk", mode="backup", using="0", disk="sdb", formated="0", spacetotal="953869",
                      spaceused="0", covertimes="0")
        return gbk_text(root, False)

    def stream_rates(self):
        root = ET.Element("status")
        for ch in range(16):
            ET.SubElement(root, "channel", kbs_main=str(2048 + ch), kbs_aux=str(512 + ch), mbh_main=str(900 + ch),
                          mbh_aux=str(225 + ch))
        return gbk_text(root, False)

    def online_users(self):
        root = ET.Element("status")
        ET.SubElement(root, "user", name="admin", ip="1677830336", time="1704067200", mode="1")
        ET.SubElement(root, "user", name="操作员", ip="1694607552", time="1704070800", mode="2")
        return gbk_text(root, False)

    def time_text(self):
        element = ET.Element("settime")
        for key in ("timezone", "year", "month", "day", "hour", "minute", "second"):
            element.set(key, str(self.device_time[key]))
        return gbk_text(element, False)

    # ---- pushed frames
    def push(self, kind):
        if kind == "config":
            data = self.frame(4391, [(T_SECTION, struct.pack("<i", 0)), (T_DATA, self.store.get(0))])
        elif kind == "ack":
            data = self.frame(4383, [])
        elif kind == "unknown":
            data = self.frame(9999, [(T_DATA, b"<x />")])
        elif kind == "noheader":
            payload = item(T_DATA, b"<x />") + ITEM_HEAD.pack(0, 0)
            data = FRAME_HEAD.pack(MAGIC, 0, len(payload)) + payload
        else:
            raise ValueError("unknown push " + kind)
        with self.lock:
            clients = list(self.clients)
        for client in clients:
            self.send(client, data)
        return len(clients)

    # ---- one connection
    def serve(self, sock):
        client = {"sock": sock, "wlock": threading.Lock(), "sent": 0}
        with self.lock:
            self.clients.append(client)
        self.record("CONNECT")
        try:
            while True:
                request = read_request(sock)
                if request is None:
                    return
                self.handle(client, *request)
        except Malformed as error:
            self.record("MALFORMED " + str(error))
        finally:
            with self.lock:
                self.clients.remove(client)
            close_socket(sock)
            self.record("CLOSED")

    def command(self, line):
        words = line.split()
        if not words:
            return "ERR empty"
        name, args = words[0], words[1:]
        if name == "mode":
            self.mode = args or ["normal"]
            return "OK"
        if name == "take":
            found = self.take(" ".join(args[1:]), float(args[0]))
            return "OK " + found if found is not None else "ERR timeout"
        if name == "count":
            return "OK %d" % self.count(" ".join(args))
        if name == "clear":
            with self.lock:
                self.book.items.clear()
            return "OK"
        if name == "push":
            return "OK %d" % self.push(args[0])
        if name == "lastset":
            with self.store.lock:
                data = self.store.last_set.get(int(args[0]))
            return "OK " + data.hex() if data is not None else "ERR none"
        if name == "cameras":
            self.store.set_cameras(args[0])
            return "OK"
        if name == "connections":
            with self.lock:
                return "OK %d" % len(self.clients)
        if name == "drop":
            with self.lock:
                clients = list(self.clients)
            for client in clients:
                close_socket(client["sock"])
            return "OK %d" % len(clients)
        if name == "quit":
            return "OK"
        return "ERR unknown command"


def close_socket(sock):
    try:
        sock.shutdown(socket.SHUT_RDWR)
    except OSError:
        pass


def read_request(sock):
    """(command, [(type, value)...]) of the next request; None when the connection ends."""
    head = recv_exact(sock, FRAME_HEAD.size)
    if head is None:
        return None
    magic, reserved, length = FRAME_HEAD.unpack(head)
    if magic != MAGIC:
        raise Malformed("magic %s" % magic.hex())
    if reserved != 0:
        raise Malformed("reserved %d" % reserved)
    if length > MAX_REQUEST_PAYLOAD:
        raise Malformed("payload length %d" % length)
    payload = recv_exact(sock, length)
    if payload is None:
        raise Malformed("payload cut short")
    items = []
    offset = 0
    while True:
        if len(payload) - offset < ITEM_HEAD.size:
            raise Malformed("no terminator")
        itype, ilen = ITEM_HEAD.unpack_from(payload, offset)
        offset += ITEM_HEAD.size
        if itype == 0:
            if ilen != 0:
                raise Malformed("terminator length %d" % ilen)
            if offset != len(payload):
                raise Malformed("%d bytes after the terminator" % (len(payload) - offset))
            break
        if itype > 67 or ilen > 0xFFFFFE or ilen > len(payload) - offset:
            raise Malformed("item type %d length %d" % (itype, ilen))
        items.append((itype, payload[offset:offset + ilen]))
        offset += ilen
    if not items or items[0][0] != T_HEADER or len(items[0][1]) != HEADER.size:
        raise Malformed("no header item first")
    hmagic, hreserved, command, hlength, status, zeros = HEADER.unpack(items[0][1])
    if hmagic != MAGIC or hreserved != 0 or hlength != length or status != 0 or zeros != bytes(20):
        raise Malformed("header %s" % items[0][1].hex())
    expected = REQUEST_ITEMS.get(command)
    if expected is None:
        raise Malformed("command %d" % command)
    rest = items[1:]
    if [t for t, _ in rest] != [t for t, _ in expected]:
        raise Malformed("items %s for command %d" % ([t for t, _ in rest], command))
    for (t, value), (_, size) in zip(rest, expected):
        if size is not None and len(value) != size:
            raise Malformed("item %d of %d bytes" % (t, len(value)))
    if command == RESTORE and rest[0][1] != bytes(4):
        raise Malformed("restore section %s" % rest[0][1].hex())
    return command, rest


def main(default_port=0, stop_at_end_of_input=True):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=default_port)
    parser.add_argument("--fixtures", default=os.path.join(here, "nvr_fixtures"))
    parser.add_argument("--mode", nargs="+", default=["normal"])
    options = parser.parse_args()

    nvr = Nvr(Store(options.fixtures), options.mode)
    server = listen(options.port)
    threading.Thread(target=accept_loop, args=(server, nvr.serve), daemon=True).start()
    print("READY %d" % server.getsockname()[1], flush=True)
    for line in sys.stdin:
        try:
            answer = nvr.command(line.strip())
        except (ValueError, IndexError, KeyError) as error:
            answer = "ERR " + str(error)
        print(answer, flush=True)
        if line.strip() == "quit":
            os._exit(0)
    while not stop_at_end_of_input:
        time.sleep(3600)
    os._exit(0)


if __name__ == "__main__":
    sys.exit(main())
