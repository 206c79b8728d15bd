#!/usr/bin/python3
"""A fake ONVIF camera on 127.0.0.1: the device, media, PTZ, imaging and event services
that vemo's device-messaging control uses, over HTTP with SOAP 1.2 and WS-UsernameToken
(PasswordDigest) authentication. Its video is whatever RTSP addresses it is given (the
RTSP test server, tests/peers/rtsp_server.py).

    fake_onvif_camera.py PORT [--user U] [--password P] [--rtsp-main URL] [--rtsp-sub URL]
                         [--clock-offset SECONDS] [--mode MODE] [--name NAME]
                         [--http-digest MD5|SHA-256] [--states-as OPERATION]
                         [--reboot-seconds SECONDS]

--http-digest: every request must also carry HTTP Digest authentication (qop "auth")
with the same user and password; others are answered "401" with a challenge.
--states-as: the PropertyOperation of the current states that begin every new
subscription ("Initialized", as the standard has it; "Changed", as some cameras send).
--reboot-seconds: how long the camera is down after a SystemReboot (default 0: it answers
and goes on at once): it answers the reboot, drops its event subscriptions and closes every
connection without an answer until the time is over, then is itself again.

PORT 0 takes a free port. Prints one line "READY <port> <command port>", then serves
until killed (or its parent dies). The command port takes one line per command and
answers one line, "OK ..." or "ERR ...".

Modes (how requests are treated; the "mode" command changes it):
  normal     a camera
  wrongauth  every credential is refused (ter:NotAuthorized), as with a wrong password
  locked     every request is refused as not authorized, the clock too
  fault      every request is answered with a SOAP fault
  notxml     every request is answered "200 OK" with a text that is not XML
  huge       every request is answered with an endless body (about 13 MB/s)
  flood      every request is answered with an endless body, as fast as it is taken
  floodheaders  every request is answered with an endless head, as fast as it is taken
  silent     connections are accepted and nothing is said (also on connections kept open)
  notcamera  a web server: "404 Not Found" with an HTML page

Commands:
  mode M                 treat further requests as mode M
  motion on|off          raise (or end) a motion event (tns1:VideoSource/MotionAlarm)
  cellmotion on|off      raise (or end) a cell motion event (RuleEngine/CellMotionDetector/Motion)
  input on|off           raise (or end) a digital input event (Device/Trigger/DigitalInput)
  take PREFIX SECONDS    wait for a request record starting with PREFIX (which may hold blanks):
                         "OK <record>" (and forget it) or "ERR timeout"
  count PREFIX           number of kept records starting with PREFIX
  clear                  forget every record
  subscriptions          number of live pull-point subscriptions
  pending                number of event messages not yet taken by a pull
  forget                 drop every subscription (their pulls are answered with a fault)
  nonce                  a new HTTP Digest nonce: the old one is refused as stale
  reboot SECONDS         the down time of later reboots
  down                   "OK 1" while the camera is down after a reboot, else "OK 0"
  quit                   stop

Records, one per request (authentication failures as "AUTHFAIL <operation>"):
  GetSystemDateAndTime, GetDeviceInformation, GetCapabilities, GetProfiles,
  GetStreamUri <profile>, SetSynchronizationPoint <profile>, SystemReboot,
  SetSystemFactoryDefault <kind>, SetSystemDateAndTime <type> <YYYY-MM-DDTHH:MM:SSZ>,
  ContinuousMove <profile> [PanTilt=<x>,<y>] [Zoom=<x>], Stop <profile> PanTilt=<b> Zoom=<b>,
  GetPresets <profile>, SetPreset <profile> Name=<name> Token=<token or empty>,
  GotoPreset <profile> <token>, RemovePreset <profile> <token>,
  ImagingMove <source> Focus=<speed>, ImagingStop <source>,
  CreatePullPointSubscription <id>, PullMessages <id>, Renew, Unsubscribe, Unknown <operation>,
  HTTP401 (a request without valid HTTP Digest authentication)
"""

import argparse
import base64
import datetime
import hashlib
import http.server
import os
import re
import socket
import socketserver
import sys
import threading
import time
import xml.etree.ElementTree as ET

from peer_support import Records, accept_loop, die_with_parent, listen

SOAP = "http://www.w3.org/2003/05/soap-envelope"
WSSE = "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd"
WSU = "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd"
NAMESPACES = ('xmlns:env="%s" xmlns:tds="http://www.onvif.org/ver10/device/wsdl" '
              'xmlns:trt="http://www.onvif.org/ver10/media/wsdl" xmlns:tptz="http://www.onvif.org/ver20/ptz/wsdl" '
              'xmlns:timg="http://www.onvif.org/ver20/imaging/wsdl" xmlns:tev="http://www.onvif.org/ver10/events/wsdl" '
              'xmlns:wsnt="http://docs.oasis-open.org/wsn/b-2" xmlns:wsa="http://www.w3.org/2005/08/addressing" '
              'xmlns:tt="http://www.onvif.org/ver10/schema" xmlns:tns1="http://www.onvif.org/ver10/topics" '
              'xmlns:ter="http://www.onvif.org/ver10/error"' % SOAP)
TOKEN_WINDOW = 300  # seconds a token's creation time may differ from the camera's clock


def local(tag):
    return tag.rsplit("}", 1)[-1]


def child(node, name):
    for c in node:
        if local(c.tag) == name:
            return c
    return None


def text_of(node, name, default=""):
    c = child(node, name) if node is not None else None
    return (c.text or "").strip() if c is not None else default


def envelope(body):
    return ('<?xml version="1.0" encoding="UTF-8"?><env:Envelope %s><env:Body>%s</env:Body></env:Envelope>'
            % (NAMESPACES, body)).encode("utf-8")


def fault(subcode, reason, code="env:Sender"):
    return envelope('<env:Fault><env:Code><env:Value>%s</env:Value><env:Subcode><env:Value>%s</env:Value>'
                    '</env:Subcode></env:Code><env:Reason><env:Text xml:lang="en">%s</env:Text></env:Reason>'
                    '</env:Fault>' % (code, subcode, reason))


def iso(t):
    return t.strftime("%Y-%m-%dT%H:%M:%SZ")


class Camera:
    def __init__(self, options):
        self.user = options.user
        self.password = options.password
        self.mode = options.mode
        self.name = options.name
        self.clock_offset = options.clock_offset
        self.rtsp = [options.rtsp_main, options.rtsp_sub or options.rtsp_main]
        self.port = 0
        self.lock = threading.Condition()
        self.book = Records(self.lock)
        self.presets = {"preset-1": "1", "home": "Home"}
        self.next_preset = 2
        self.subscriptions = {}  # id -> list of pending notification texts
        self.next_subscription = 1
        self.states = {"motion": False, "cellmotion": False, "input": False}
        self.states_as = options.states_as
        self.digest = options.http_digest
        self.nonce = base64.b64encode(os.urandom(12)).decode()
        self.reboot_seconds = options.reboot_seconds
        self.down_until = 0.0

    def down(self):
        return time.monotonic() < self.down_until

    # ---- HTTP Digest authentication
    def challenge(self, stale=False):
        return ('Digest realm="fake-camera", qop="auth", algorithm=%s, nonce="%s", opaque="0pq"%s'
                % (self.digest, self.nonce, ", stale=true" if stale else ""))

    def digest_check(self, field, path):
        """None when the field answers the current challenge, else whether its nonce is only stale."""
        if not field or not field.startswith("Digest "):
            return False
        params = {k: (v[1:-1].replace('\\"', '"') if v.startswith('"') else v)
                  for k, v in re.findall(r'(\w+)=("(?:[^"\\]|\\.)*"|[^,\s]*)', field[7:])}
        name = {"MD5": "md5", "SHA-256": "sha256"}[self.digest]

        def h(text):
            return hashlib.new(name, text.encode()).hexdigest()

        ha1 = h("%s:fake-camera:%s" % (self.user, self.password))
        ha2 = h("POST:%s" % path)
        expected = h(":".join([ha1, params.get("nonce", ""), params.get("nc", ""), params.get("cnonce", ""),
                               "auth", ha2]))
        if (params.get("username") != self.user or params.get("uri") != path or params.get("qop") != "auth"
                or params.get("opaque") != "0pq" or params.get("response") != expected
                or params.get("algorithm", "MD5") != self.digest):
            return False
        return None if params.get("nonce") == self.nonce else True

    # ---- records
    def record(self, text):
        self.book.add(text)

    def now(self):
        return datetime.datetime.now(datetime.timezone.utc) + datetime.timedelta(seconds=self.clock_offset)

    # ---- authentication
    def authorized(self, header):
        if self.mode in ("wrongauth", "locked") or header is None:
            return False
        security = child(header, "Security")
        token = child(security, "UsernameToken") if security is not None else None
        if token is None:
            return False
        user = text_of(token, "Username")
        digest = text_of(token, "Password")
        try:
            nonce = base64.b64decode(text_of(token, "Nonce"))
        except ValueError:
            return False
        created = text_of(token, "Created")
        expected = base64.b64encode(hashlib.sha1(nonce + created.encode() + self.password.encode()).digest()).decode()
        if user != self.user or digest != expected:
            return False
        try:
            when = datetime.datetime.strptime(created, "%Y-%m-%dT%H:%M:%SZ").replace(tzinfo=datetime.timezone.utc)
        except ValueError:
            return False
        return abs((when - self.now()).total_seconds()) <= TOKEN_WINDOW

    # ---- events
    def raise_event(self, kind, on):
        self.states[kind] = on
        text = self.notification(kind, on, "Changed")
        with self.lock:
            for queue in self.subscriptions.values():
                queue.append(text)
            self.lock.notify_all()
            return len(self.subscriptions)

    def notification(self, kind, on, operation):
        topic, source, item = {
            "motion": ("tns1:VideoSource/MotionAlarm", '<tt:SimpleItem Name="Source" Value="vs0"/>', "State"),
            "cellmotion": ("tns1:RuleEngine/CellMotionDetector/Motion",
                           '<tt:SimpleItem Name="VideoSourceConfigurationToken" Value="vsc0"/>'
                           '<tt:SimpleItem Name="Rule" Value="MyMotionDetectorRule"/>', "IsMotion"),
            "input": ("tns1:Device/Trigger/DigitalInput", '<tt:SimpleItem Name="InputToken" Value="DI0"/>',
                      "LogicalState"),
        }[kind]
        return ('<wsnt:NotificationMessage><wsnt:Topic Dialect="http://www.onvif.org/ver10/tev/topicExpression/'
                'ConcreteSet">%s</wsnt:Topic><wsnt:Message><tt:Message UtcTime="%s" PropertyOperation="%s">'
                '<tt:Source>%s</tt:Source><tt:Data><tt:SimpleItem Name="%s" Value="%s"/></tt:Data></tt:Message>'
                '</wsnt:Message></wsnt:NotificationMessage>'
                % (topic, iso(self.now()), operation, source, item, "true" if on else "false"))

    def pull(self, sid, seconds, limit):
        deadline = time.monotonic() + seconds
        with self.lock:
            while sid in self.subscriptions and not self.subscriptions[sid]:
                left = deadline - time.monotonic()
                if left <= 0:
                    break
                self.lock.wait(left)
            queue = self.subscriptions.get(sid)
            if queue is None:
                return None
            taken, queue[:] = queue[:limit], queue[limit:]
            return taken

    # ---- operations
    def base(self):
        return "http://127.0.0.1:%d/onvif/" % self.port

    def handle(self, path, body_node, header):
        op = local(body_node.tag)
        if op == "GetSystemDateAndTime" and self.mode != "locked":
            self.record(op)
            t = self.now()
            return envelope(
                '<tds:GetSystemDateAndTimeResponse><tds:SystemDateAndTime><tt:DateTimeType>Manual</tt:DateTimeType>'
                '<tt:DaylightSavings>false</tt:DaylightSavings><tt:TimeZone><tt:TZ>UTC0</tt:TZ></tt:TimeZone>'
                '<tt:UTCDateTime><tt:Time><tt:Hour>%d</tt:Hour><tt:Minute>%d</tt:Minute><tt:Second>%d</tt:Second>'
                '</tt:Time><tt:Date><tt:Year>%d</tt:Year><tt:Month>%d</tt:Month><tt:Day>%d</tt:Day></tt:Date>'
                '</tt:UTCDateTime></tds:SystemDateAndTime></tds:GetSystemDateAndTimeResponse>'
                % (t.hour, t.minute, t.second, t.year, t.month, t.day))
        if not self.authorized(header):
            self.record("AUTHFAIL " + op)
            return fault("ter:NotAuthorized", "Sender not Authorized")
        handler = getattr(self, "op_" + op, None)
        if handler is None:
            self.record("Unknown " + op)
            return fault("ter:ActionNotSupported", "Optional Action Not Implemented", "env:Receiver")
        return handler(body_node, path)

    def op_GetDeviceInformation(self, node, path):
        self.record("GetDeviceInformation")
        return envelope('<tds:GetDeviceInformationResponse><tds:Manufacturer>Test</tds:Manufacturer>'
                        '<tds:Model>%s</tds:Model><tds:FirmwareVersion>1.2.3</tds:FirmwareVersion>'
                        '<tds:SerialNumber>SN%d</tds:SerialNumber><tds:HardwareId>HW1</tds:HardwareId>'
                        '</tds:GetDeviceInformationResponse>' % (self.name, self.port))

    def op_GetCapabilities(self, node, path):
        self.record("GetCapabilities")
        b = self.base()
        return envelope('<tds:GetCapabilitiesResponse><tds:Capabilities>'
                        '<tt:Device><tt:XAddr>%sdevice_service</tt:XAddr></tt:Device>'
                        '<tt:Events><tt:XAddr>%sevent_service</tt:XAddr><tt:WSSubscriptionPolicySupport>false'
                        '</tt:WSSubscriptionPolicySupport><tt:WSPullPointSupport>true</tt:WSPullPointSupport>'
                        '</tt:Events><tt:Imaging><tt:XAddr>%simaging_service</tt:XAddr></tt:Imaging>'
                        '<tt:Media><tt:XAddr>%smedia_service</tt:XAddr></tt:Media>'
                        '<tt:PTZ><tt:XAddr>%sptz_service</tt:XAddr></tt:PTZ>'
                        '</tds:Capabilities></tds:GetCapabilitiesResponse>' % (b, b, b, b, b))

    def op_SystemReboot(self, node, path):
        self.record("SystemReboot")
        # The answer goes out on this connection; every later request finds
        # the camera down until it has started again.
        with self.lock:
            self.subscriptions.clear()
            self.down_until = time.monotonic() + self.reboot_seconds
            self.lock.notify_all()
        return envelope('<tds:SystemRebootResponse><tds:Message>Rebooting in 30 seconds</tds:Message>'
                        '</tds:SystemRebootResponse>')

    def op_SetSystemFactoryDefault(self, node, path):
        self.record("SetSystemFactoryDefault " + text_of(node, "FactoryDefault"))
        return envelope('<tds:SetSystemFactoryDefaultResponse/>')

    def op_SetSystemDateAndTime(self, node, path):
        utc = child(node, "UTCDateTime")
        t, d = child(utc, "Time"), child(utc, "Date")
        when = "%04d-%02d-%02dT%02d:%02d:%02dZ" % (
            int(text_of(d, "Year")), int(text_of(d, "Month")), int(text_of(d, "Day")),
            int(text_of(t, "Hour")), int(text_of(t, "Minute")), int(text_of(t, "Second")))
        self.record("SetSystemDateAndTime %s %s" % (text_of(node, "DateTimeType"), when))
        set_to = datetime.datetime.strptime(when, "%Y-%m-%dT%H:%M:%SZ").replace(tzinfo=datetime.timezone.utc)
        self.clock_offset = round((set_to - datetime.datetime.now(datetime.timezone.utc)).total_seconds())
        return envelope('<tds:SetSystemDateAndTimeResponse/>')

    def op_GetProfiles(self, node, path):
        self.record("GetProfiles")
        profiles = ""
        for token, (w, h) in (("main", (640, 360)), ("sub", (320, 180))):
            ptz = ('<tt:PTZConfiguration token="ptz0"><tt:Name>PTZ</tt:Name><tt:UseCount>1</tt:UseCount>'
                   '<tt:NodeToken>node0</tt:NodeToken></tt:PTZConfiguration>' if token == "main" else "")
            profiles += ('<trt:Profiles token="%s" fixed="true"><tt:Name>%s</tt:Name>'
                         '<tt:VideoSourceConfiguration token="vsc0"><tt:Name>vs</tt:Name><tt:UseCount>2</tt:UseCount>'
                         '<tt:SourceToken>vs0</tt:SourceToken><tt:Bounds x="0" y="0" width="%d" height="%d"/>'
                         '</tt:VideoSourceConfiguration>%s</trt:Profiles>' % (token, token, w, h, ptz))
        return envelope('<trt:GetProfilesResponse>%s</trt:GetProfilesResponse>' % profiles)

    def op_GetStreamUri(self, node, path):
        token = text_of(node, "ProfileToken")
        self.record("GetStreamUri " + token)
        if token not in ("main", "sub"):
            return fault("ter:InvalidArgVal/ter:NoProfile", "no such profile")
        uri = self.rtsp[0 if token == "main" else 1]
        return envelope('<trt:GetStreamUriResponse><trt:MediaUri><tt:Uri>%s</tt:Uri>'
                        '<tt:InvalidAfterConnect>false</tt:InvalidAfterConnect><tt:InvalidAfterReboot>false'
                        '</tt:InvalidAfterReboot><tt:Timeout>PT0S</tt:Timeout></trt:MediaUri>'
                        '</trt:GetStreamUriResponse>' % uri.replace("&", "&amp;"))

    def op_SetSynchronizationPoint(self, node, path):
        self.record("SetSynchronizationPoint " + text_of(node, "ProfileToken"))
        return envelope('<trt:SetSynchronizationPointResponse/>')

    def op_ContinuousMove(self, node, path):
        velocity = child(node, "Velocity")
        parts = ["ContinuousMove", text_of(node, "ProfileToken")]
        pan_tilt = child(velocity, "PanTilt") if velocity is not None else None
        zoom = child(velocity, "Zoom") if velocity is not None else None
        if pan_tilt is not None:
            parts.append("PanTilt=%s,%s" % (pan_tilt.get("x"), pan_tilt.get("y")))
        if zoom is not None:
            parts.append("Zoom=%s" % zoom.get("x"))
        self.record(" ".join(parts))
        return envelope('<tptz:ContinuousMoveResponse/>')

    def op_Stop(self, node, path):
        self.record("Stop %s PanTilt=%s Zoom=%s" % (text_of(node, "ProfileToken"), text_of(node, "PanTilt", "-"),
                                                     text_of(node, "Zoom", "-")))
        return envelope('<tptz:StopResponse/>')

    def op_GetPresets(self, node, path):
        self.record("GetPresets " + text_of(node, "ProfileToken"))
        with self.lock:
            items = "".join('<tptz:Preset token="%s"><tt:Name>%s</tt:Name></tptz:Preset>' % (t, n)
                            for t, n in self.presets.items())
        return envelope('<tptz:GetPresetsResponse>%s</tptz:GetPresetsResponse>' % items)

    def op_SetPreset(self, node, path):
        name, token = text_of(node, "PresetName"), text_of(node, "PresetToken")
        self.record("SetPreset %s Name=%s Token=%s" % (text_of(node, "ProfileToken"), name, token))
        with self.lock:
            if not token:
                token = "preset-%d" % self.next_preset
                self.next_preset += 1
            self.presets[token] = name
        return envelope('<tptz:SetPresetResponse><tptz:PresetToken>%s</tptz:PresetToken></tptz:SetPresetResponse>'
                        % token)

    def op_GotoPreset(self, node, path):
        token = text_of(node, "PresetToken")
        self.record("GotoPreset %s %s" % (text_of(node, "ProfileToken"), token))
        if token not in self.presets:
            return fault("ter:InvalidArgVal/ter:NoToken", "no such preset")
        return envelope('<tptz:GotoPresetResponse/>')

    def op_RemovePreset(self, node, path):
        token = text_of(node, "PresetToken")
        self.record("RemovePreset %s %s" % (text_of(node, "ProfileToken"), token))
        with self.lock:
            self.presets.pop(token, None)
        return envelope('<tptz:RemovePresetResponse/>')

    def op_Move(self, node, path):
        focus = child(node, "Focus")
        continuous = child(focus, "Continuous") if focus is not None else None
        self.record("ImagingMove %s Focus=%s" % (text_of(node, "VideoSourceToken"), text_of(continuous, "Speed")))
        return envelope('<timg:MoveResponse/>')

    def op_CreatePullPointSubscription(self, node, path):
        with self.lock:
            sid = self.next_subscription
            self.next_subscription += 1
            self.record("CreatePullPointSubscription %d" % sid)
            # The current states come first, marked "Initialized" (or as the camera was told).
            self.subscriptions[sid] = [self.notification(k, on, self.states_as) for k, on in self.states.items()]
        t = self.now()
        return envelope('<tev:CreatePullPointSubscriptionResponse><tev:SubscriptionReference>'
                        '<wsa:Address>%ssubscription/%d</wsa:Address></tev:SubscriptionReference>'
                        '<wsnt:CurrentTime>%s</wsnt:CurrentTime><wsnt:TerminationTime>%s</wsnt:TerminationTime>'
                        '</tev:CreatePullPointSubscriptionResponse>'
                        % (self.base(), sid, iso(t), iso(t + datetime.timedelta(seconds=60))))

    def subscription_id(self, path):
        try:
            return int(path.rsplit("/", 1)[-1])
        except ValueError:
            return -1

    def op_PullMessages(self, node, path):
        self.record("PullMessages %d" % self.subscription_id(path))
        timeout = text_of(node, "Timeout", "PT5S")
        seconds = float(timeout[2:-1]) if timeout.startswith("PT") and timeout.endswith("S") else 5.0
        messages = self.pull(self.subscription_id(path), min(seconds, 30.0), int(text_of(node, "MessageLimit", "10")))
        if messages is None:
            return fault("ter:InvalidArgVal", "no such subscription")
        t = self.now()
        return envelope('<tev:PullMessagesResponse><tev:CurrentTime>%s</tev:CurrentTime><tev:TerminationTime>%s'
                        '</tev:TerminationTime>%s</tev:PullMessagesResponse>'
                        % (iso(t), iso(t + datetime.timedelta(seconds=60)), "".join(messages)))

    def op_Renew(self, node, path):
        self.record("Renew")
        t = self.now()
        return envelope('<wsnt:RenewResponse><wsnt:TerminationTime>%s</wsnt:TerminationTime>'
                        '<wsnt:CurrentTime>%s</wsnt:CurrentTime></wsnt:RenewResponse>'
                        % (iso(t + datetime.timedelta(seconds=60)), iso(t)))

    def op_Unsubscribe(self, node, path):
        self.record("Unsubscribe")
        with self.lock:
            self.subscriptions.pop(self.subscription_id(path), None)
        return envelope('<wsnt:UnsubscribeResponse/>')


def stop_operation(camera, node, path):
    # "Stop" is both the PTZ service's and the imaging service's operation.
    if path.endswith("imaging_service"):
        camera.record("ImagingStop " + text_of(node, "VideoSourceToken"))
        return envelope('<timg:StopResponse/>')
    return camera.op_Stop(node, path)


def make_handler(camera):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def handle(self):
            if camera.down():
                self.close_connection = True
                return
            if camera.mode == "silent":
                self.say_nothing()
                return
            super().handle()

        def say_nothing(self):
            # Say nothing until the other side gives up.
            self.close_connection = True
            try:
                while self.request.recv(4096):
                    pass
            except OSError:
                pass

        def answer(self, status, body, content_type="application/soap+xml; charset=utf-8"):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def do_GET(self):
            self.answer(404, b"<html><body>Not Found</body></html>", "text/html")

        def do_POST(self):
            length = int(self.headers.get("Content-Length", "0"))
            data = self.rfile.read(length) if 0 < length <= 1 << 20 else b""
            if camera.down():  # restarting: the connection ends without an answer
                self.close_connection = True
                return
            if camera.digest:
                refused = camera.digest_check(self.headers.get("Authorization"), self.path)
                if refused is not None:
                    camera.record("HTTP401")
                    body = b"<html><body>401 Unauthorized</body></html>"
                    self.send_response(401)
                    self.send_header("WWW-Authenticate", camera.challenge(stale=refused))
                    self.send_header("Content-Type", "text/html")
                    self.send_header("Content-Length", str(len(body)))
                    self.end_headers()
                    self.wfile.write(body)
                    return
            mode = camera.mode
            if mode == "silent":  # a camera that hangs on a connection it kept open
                self.say_nothing()
                return
            if mode == "notcamera":
                self.answer(404, b"<html><head><title>404</title></head><body>Not Found</body></html>",
                            "text/html")
                return
            if mode == "notxml":
                self.answer(200, b"hello, this is not XML at all", "text/plain")
                return
            if mode == "huge":
                self.send_response(200)
                self.send_header("Content-Type", "application/soap+xml")
                self.end_headers()
                chunk = b"<a>" + b"x" * 65536 + b"</a>"
                try:
                    while True:
                        self.wfile.write(chunk)
                        # About 13 MB/s, as fast as a camera on a fast network
                        # (a peer on this machine could outpace any reader).
                        time.sleep(0.005)
                except OSError:
                    pass
                self.close_connection = True
                return
            if mode in ("flood", "floodheaders"):
                # As fast as the connection takes it: an endless body, or an
                # endless head that never reaches its body.
                line = b"X-Filler: " + b"y" * 60000 + b"\r\n"
                chunk = b"<a>" + b"x" * 65536 + b"</a>"
                try:
                    if mode == "floodheaders":
                        self.wfile.write(b"HTTP/1.1 200 OK\r\n")
                    else:
                        self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: application/soap+xml\r\n\r\n")
                    while True:
                        self.wfile.write(line if mode == "floodheaders" else chunk)
                except OSError:
                    pass
                self.close_connection = True
                return
            if mode == "fault":
                self.answer(500, fault("ter:Action", "The device fails every request", "env:Receiver"))
                return
            try:
                root = ET.fromstring(data)
            except ET.ParseError:
                self.answer(400, fault("ter:WellFormed", "not XML"))
                return
            header, body = child(root, "Header"), child(root, "Body")
            if local(root.tag) != "Envelope" or body is None or len(body) == 0:
                self.answer(400, fault("ter:WellFormed", "not a SOAP envelope"))
                return
            node = body[0]
            if local(node.tag) == "Stop":
                if not camera.authorized(header):
                    camera.record("AUTHFAIL Stop")
                    answer = fault("ter:NotAuthorized", "Sender not Authorized")
                else:
                    answer = stop_operation(camera, node, self.path)
            else:
                answer = camera.handle(self.path, node, header)
            status = 500 if b"<env:Fault>" in answer else 200
            self.answer(status, answer)

    return Handler


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        # A client that gives up on an answer is no fault of the camera's.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def main():
    die_with_parent()
    parser = argparse.ArgumentParser()
    parser.add_argument("port", type=int)
    parser.add_argument("--user", default="admin")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--rtsp-main", default="rtsp://127.0.0.1:554/main")
    parser.add_argument("--rtsp-sub", default="")
    parser.add_argument("--clock-offset", type=int, default=0)
    parser.add_argument("--mode", default="normal")
    parser.add_argument("--name", default="FakeCam")
    parser.add_argument("--http-digest", default="", choices=["", "MD5", "SHA-256"])
    parser.add_argument("--states-as", default="Initialized")
    parser.add_argument("--reboot-seconds", type=float, default=0.0)
    options = parser.parse_args()

    camera = Camera(options)
    server = Server(("127.0.0.1", options.port), make_handler(camera))
    camera.port = server.server_address[1]
    control = listen(0)

    def command(line):
        words = line.split()
        if not words:
            return "ERR empty"
        cmd, args = words[0], words[1:]
        if cmd == "mode":
            camera.mode = args[0]
        elif cmd in ("motion", "cellmotion", "input"):
            return "OK %d" % camera.raise_event(cmd, args[0] == "on")
        elif cmd == "take":
            # The prefix may hold blanks: the seconds are the last word.
            prefix, seconds = line.split(None, 1)[1].rsplit(None, 1)
            found = camera.book.take(prefix, float(seconds))
            return "OK " + found if found is not None else "ERR timeout"
        elif cmd == "count":
            return "OK %d" % camera.book.count(line.split(None, 1)[1])
        elif cmd == "clear":
            camera.book.clear()
        elif cmd == "subscriptions":
            with camera.lock:
                return "OK %d" % len(camera.subscriptions)
        elif cmd == "pending":
            with camera.lock:
                return "OK %d" % sum(len(queue) for queue in camera.subscriptions.values())
        elif cmd == "forget":
            with camera.lock:
                camera.subscriptions.clear()
                camera.lock.notify_all()
        elif cmd == "nonce":
            camera.nonce = base64.b64encode(os.urandom(12)).decode()
        elif cmd == "reboot":
            camera.reboot_seconds = float(args[0])
        elif cmd == "down":
            return "OK %d" % (1 if camera.down() else 0)
        elif cmd == "quit":
            os._exit(0)
        else:
            return "ERR unknown command"
        return "OK"

    def control_session(sock):
        reader = sock.makefile("r", encoding="utf-8", newline="\n")
        for line in reader:
            try:
                answer = command(line.rstrip("\n"))
            except (ValueError, IndexError) as error:
                answer = "ERR " + str(error)
            try:
                sock.sendall((answer + "\n").encode("utf-8"))
            except OSError:
                return

    threading.Thread(target=accept_loop, args=(control, control_session), daemon=True).start()
    print("READY %d %d" % (camera.port, control.getsockname()[1]), flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
