#!/usr/bin/python3
"""RTSP test server on 127.0.0.1 for the stream controls' tests and benchmark.

Usage: rtsp_server.py PORT [--shared] [--pattern NAME] [--camera-video h264|mpeg4]
                           [--camera-audio none|aac|pcmu|pcma]
       (PORT 0: a free port of the system's choice; NAME: a videotestsrc pattern, default smpte)

Serves
  /h264     640x360 25 fps H.264 test pattern, no audio
  /h264aac  the same picture with an AAC audio track (8000 Hz mono tone)
  /h264pcma the same picture with a G.711 A-law audio track (8000 Hz mono tone)
  /mp4v     640x360 25 fps MPEG-4 part 2 (simple profile), as cameras send it: the
            stream headers (VO and VOL, from the VO code 00 00 01 00 on) only in the
            SDP configuration, every key frame a group-of-VOP header and an I-VOP
  /mp4vaac, /mp4vpcmu, /mp4vpcma
            the same picture with an AAC, G.711 mu-law or A-law audio track
  /mpeg4    a camera's main stream: the picture of /h264 (of /mp4v with
            --camera-video mpeg4), with the audio track --camera-audio names
  /mpeg4cif a camera's sub-stream: the same at 320x180
Every client gets its own H.264 encoder, so clients are independent; with --shared
the clients of a path share one encoder (for many simultaneous clients). The
MPEG-4 part 2 pictures come from one encoder per picture size that runs from the
first client on and that every client joins (at its next key frame, once a second).
Prints "READY <port>" on stdout once it listens; runs until killed.
"""
import argparse
import os
import sys
import threading

import gi

gi.require_version("Gst", "1.0")
gi.require_version("GstRtspServer", "1.0")
from gi.repository import GLib, Gst, GstRtspServer  # noqa: E402

SOURCE = ("videotestsrc is-live=true pattern=smpte horizontal-speed=2 ! "
          "video/x-raw,width=640,height=360,framerate=25/1")
VIDEO = (SOURCE + " ! x264enc tune=zerolatency speed-preset=ultrafast key-int-max=25 bitrate=800 ! "
         "video/x-h264,profile=baseline ! rtph264pay name=pay0 pt=96 config-interval=1")
MPEG4 = SOURCE + " ! avenc_mpeg4 gop-size=25 bitrate=800000"
# The pictures of an MPEG-4 encoder reach a client through its own source
# element; "seek-data" lets the server's start-of-play seek pass it by.
MPEG4_CLIENT = ("appsrc name=mp4vfeed is-live=true format=time do-timestamp=true stream-type=seekable "
                "caps=video/mpeg,mpegversion=4,systemstream=false ! rtpmp4vpay name=pay0 pt=96")
TONE = "audiotestsrc is-live=true wave=sine freq=440 ! audio/x-raw,rate=8000,channels=1 ! audioconvert ! "
AUDIO = {
    "none": "",
    "aac": TONE + "avenc_aac ! rtpmp4gpay name=pay1 pt=97",
    "pcma": TONE + "alawenc ! rtppcmapay name=pay1",
    "pcmu": TONE + "mulawenc ! rtppcmupay name=pay1",
}
SUB_SIZE = ("width=640,height=360", "width=320,height=180")


def split_headers(data):
    """An encoded picture as (stream headers from the VO code 00 00 01 00 on,
    the picture from its group-of-VOP or VOP header on): a camera's
    configuration carries no VOS header."""
    end = len(data)
    for code in (b"\x00\x00\x01\xb3", b"\x00\x00\x01\xb6"):
        at = data.find(code)
        if at >= 0:
            end = min(end, at)
    start = data.find(b"\x00\x00\x01\x00", 0, end)
    return data[max(start, 0):end], data[end:]


class Mpeg4Feed:
    """One MPEG-4 part 2 encoder that runs without a break, whose pictures every
    client of its paths gets: each client's pipeline is started and seeked by
    the server, which an MPEG-4 encoder in it would not survive (its time stamps
    would go back). The stream headers go into each client's caps (and from
    there into the SDP configuration); the client gets the pictures without
    them, from a key frame on."""

    def __init__(self, launch):
        self.launch = launch
        self.pipeline = None
        self.headers = None
        self.ready = threading.Event()
        self.clients = {}  # source element -> started
        self.lock = threading.Lock()

    def start(self):
        with self.lock:
            if self.pipeline is None:
                self.pipeline = Gst.parse_launch(self.launch + " ! appsink name=out emit-signals=true sync=false")
                self.pipeline.get_by_name("out").connect("new-sample", self.on_sample)
                self.pipeline.set_state(Gst.State.PLAYING)
        self.ready.wait(60)
        return self.headers

    def on_sample(self, sink):
        sample = sink.emit("pull-sample")
        buffer = sample.get_buffer()
        ok, info = buffer.map(Gst.MapFlags.READ)
        if not ok:
            return Gst.FlowReturn.OK
        data = bytes(info.data)
        buffer.unmap(info)
        key = not buffer.has_flags(Gst.BufferFlags.DELTA_UNIT)
        headers, picture = split_headers(data)
        with self.lock:
            if self.headers is None:
                self.headers = headers
                self.ready.set()
            clients = list(self.clients.items())
            for source, started in clients:
                if key and not started:
                    self.clients[source] = True
        for source, started in clients:
            if started or key:
                source.emit("push-buffer", Gst.Buffer.new_wrapped(picture))  # each client stamps its time
        return Gst.FlowReturn.OK

    def attach(self, media):
        source = media.get_element().get_by_name("mp4vfeed")
        if source is None:
            return
        headers = self.start()
        if headers:
            caps = source.get_property("caps").copy()
            caps.set_value("codec_data", Gst.Buffer.new_wrapped(headers))
            source.set_property("caps", caps)
        source.connect("seek-data", lambda *args: True)
        with self.lock:
            self.clients[source] = False
        media.connect("unprepared", lambda *args: self.detach(source))

    def detach(self, source):
        with self.lock:
            self.clients.pop(source, None)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("port")
    parser.add_argument("--shared", action="store_true")
    parser.add_argument("--pattern", default="smpte")
    parser.add_argument("--camera-video", choices=("h264", "mpeg4"), default="h264")
    parser.add_argument("--camera-audio", choices=sorted(AUDIO), default="none")
    options = parser.parse_args()
    port = options.port
    shared = options.shared
    pattern = "pattern=" + options.pattern
    video = VIDEO.replace("pattern=smpte", pattern)
    sub_video = video.replace(*SUB_SIZE)
    feeds = (Mpeg4Feed(MPEG4.replace("pattern=smpte", pattern)),
             Mpeg4Feed(MPEG4.replace("pattern=smpte", pattern).replace(*SUB_SIZE)))
    Gst.init(None)
    server = GstRtspServer.RTSPServer()
    server.set_address("127.0.0.1")
    server.set_service(port)
    mounts = server.get_mount_points()
    camera = {"h264": (video, sub_video, None, None), "mpeg4": (MPEG4_CLIENT, MPEG4_CLIENT) + feeds}
    main_video, cif_video, main_feed, cif_feed = camera[options.camera_video]
    camera_audio = AUDIO[options.camera_audio]
    for path, launch, feed in (("/h264", video, None),
                               ("/h264aac", video + " " + AUDIO["aac"], None),
                               ("/h264pcma", video + " " + AUDIO["pcma"], None),
                               ("/mp4v", MPEG4_CLIENT, feeds[0]),
                               ("/mp4vaac", MPEG4_CLIENT + " " + AUDIO["aac"], feeds[0]),
                               ("/mp4vpcmu", MPEG4_CLIENT + " " + AUDIO["pcmu"], feeds[0]),
                               ("/mp4vpcma", MPEG4_CLIENT + " " + AUDIO["pcma"], feeds[0]),
                               ("/mpeg4", main_video + " " + camera_audio, main_feed),
                               ("/mpeg4cif", cif_video + " " + camera_audio, cif_feed)):
        factory = GstRtspServer.RTSPMediaFactory()
        factory.set_launch("( %s )" % launch)
        factory.set_shared(shared)
        if feed is not None:
            factory.connect("media-configure", lambda factory, media, feed=feed: feed.attach(media))
        mounts.add_factory(path, factory)
    if server.attach(None) == 0:
        print("FAILED to listen on port %s" % port, flush=True)
        return 1
    print("READY %d" % server.get_bound_port(), flush=True)
    # The starter stops reading after the ready line: nothing may go there later.
    os.dup2(os.open(os.devnull, os.O_WRONLY), 1)
    GLib.MainLoop().run()
    return 0


if __name__ == "__main__":
    sys.exit(main())
