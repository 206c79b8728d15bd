#!/usr/bin/python3
"""A fake cloud account service for the cloud client's tests.

Usage: cloud_server.py MODE REQUEST_LOG [DEVICE_ANSWER]
Binds 127.0.0.1 on a free port, prints "READY <port>" and serves until killed.
Every request (raw bytes: head and Content-Length body) is appended to
REQUEST_LOG as "<length>\n<bytes>".

The service decodes the login's authcode with the random it handed out and
accepts user "alice" with the digest of "secret"; it knows two devices. A login
that asks for one device ("devid") is answered with the text of the file
DEVICE_ANSWER when one is given, else with the whole list.

Modes: ok, longcookie (a 5000-character cookie), nocookie, norand, close (closes without answering), partial
(half an answer, then closes), noxml (answer without the closing tag),
huge (3 MB answer), garbage (random bytes), silent (reads, never answers), trickle (a whole
answer, one byte every 0.1 s).
"""
import base64
import hashlib
import os
import socketserver
import sys
import time
import urllib.parse

MODE = sys.argv[1]
LOG = sys.argv[2]
DEVICE_ANSWER = sys.argv[3] if len(sys.argv) > 3 else None
RANDOM = "k3Rz9+/Q"
SALT = "quarry_lamp_tolls_mirrows"
USER = "alice"
DIGEST = hashlib.md5(b"secret").hexdigest().upper()


def md5(text):
    return hashlib.md5(text.encode()).hexdigest()


def decode_authcode(code, rnd):
    key = md5(rnd) + md5(SALT + rnd) + md5(rnd + SALT)
    key += md5(key)
    data = base64.b64decode(code)
    return bytes(b ^ ord(key[i % 128]) for i, b in enumerate(data)).decode("latin-1")


DEVICES = ("<xml><err>0</err><ls>"
           "<dev><DevID>1001</DevID><devsn>SN-1</devsn><devname>Gate</devname><devtype>100</devtype>"
           "<devip>10.0.0.5</devip><devwebport>80</devwebport><devptzport>5000</devptzport>"
           "<devvideoport>554</devvideoport><devloginuser>admin</devloginuser>"
           "<devloginpass>pw1</devloginpass></dev>"
           "<dev><DevID>1002</DevID><devsn>SN-2</devsn><devname></devname><devtype>200</devtype>"
           "<devip>10.0.0.6</devip><devwebport>81</devwebport><devptzport>5001</devptzport>"
           "<devvideoport>555</devvideoport><devloginuser>root</devloginuser>"
           "<devloginpass>pw2</devloginpass></dev>"
           "<dev><DevID>1003</DevID><devsn>SN-3</devsn><devname>NoAddress</devname></dev>"
           "</ls></xml>")


class Handler(socketserver.StreamRequestHandler):
    def read_request(self):
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = self.request.recv(4096)
            if not chunk:
                break
            head += chunk
        length = 0
        for line in head.split(b"\n"):
            if line.lower().startswith(b"content-length:"):
                length = int(line.split(b":")[1])
        body_start = head.find(b"\r\n\r\n") + 4
        while len(head) - body_start < length:
            chunk = self.request.recv(4096)
            if not chunk:
                break
            head += chunk
        with open(LOG, "ab") as log:
            log.write(b"%d\n" % len(head) + head)
        return head.decode("latin-1"), head[body_start:].decode("latin-1")

    def send(self, text, cookie=True):
        head = "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n"
        if cookie:
            value = "L" * 5000 if MODE == "longcookie" else "PHPSESSID=s1d2"
            head += "Set-Cookie: %s\r\n" % value
        answer = (head + "\r\n").encode() + text.encode("latin-1")
        if MODE != "trickle":
            self.request.sendall(answer)
            return
        for i in range(len(answer)):  # every gap shorter than a read's wait
            self.request.sendall(answer[i:i + 1])
            time.sleep(0.1)

    def handle(self):
        try:
            self.serve()
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client stopped reading (a full buffer) or went away

    def serve(self):
        request, body = self.read_request()
        if MODE == "close":
            return
        if MODE == "silent":
            self.request.recv(1)
            return
        if MODE == "garbage":
            self.request.sendall(os.urandom(5000))
            return
        if MODE == "huge":
            self.send("<xml>" + "x" * 3000000 + "</xml>")
            return
        if MODE == "partial":
            self.request.sendall(b"HTTP/1.0 200 OK\r\nSet-Cookie: a\r\n\r\n<xml><r")
            return
        if MODE == "noxml":
            self.send("<xml><rnd>%s</rnd>" % RANDOM)
            return
        if request.startswith("POST /comm/getrand.php"):
            rnd = "" if MODE == "norand" else "<rnd>%s</rnd>" % RANDOM
            self.send("<xml>%s</xml>" % rnd, cookie=MODE != "nocookie")
        elif request.startswith("POST /client/login.php"):
            form = urllib.parse.parse_qs(body, keep_blank_values=True)
            code = form.get("authcode", [""])[0]
            rnd = "" if MODE == "norand" else RANDOM
            try:
                plain = decode_authcode(code, rnd)
            except Exception:
                plain = ""
            if plain != "<xml><user>%s</user><pass>%s</pass></xml>" % (USER, DIGEST):
                self.send("<xml><err>1</err></xml>")
            elif DEVICE_ANSWER and form.get("devid"):
                with open(DEVICE_ANSWER, encoding="latin-1", newline="") as answer:  # its bytes as they are
                    self.send(answer.read())
            else:
                self.send(DEVICES)
        elif request.startswith("POST /client/getdevinfo.php"):
            devid = urllib.parse.parse_qs(body).get("devid", [""])[0]
            self.send("<xml><err>0</err><dev><DevID>%s</DevID></dev></xml>" % devid)
        else:
            self.request.sendall(b"HTTP/1.0 404 Not Found\r\n\r\n")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


server = Server(("127.0.0.1", 0), Handler)
print("READY %d" % server.server_address[1], flush=True)
server.serve_forever()
