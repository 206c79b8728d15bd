#!/usr/bin/python3
"""RTSP test server on 127.0.0.1 for the stream controls' tests and benchmark.

Usage: rtsp_server.py PORT [--shared] [--pattern NAME]
       (PORT 0: a free port of the system's choice; NAME: a videotestsrc pattern, default smpte)

Serves
  /h264     640x360 25 fps H.264 test pattern, no audio
  /h264aac  the same picture with an AAC audio track (8000 Hz mono tone)
  /h264pcma the same picture with a G.711 A-law audio track (8000 Hz mono tone)
  /mpeg4    the picture of /h264 under the name a camera gives its main stream
  /mpeg4cif a 320x180 picture: a camera's sub-stream
Every client gets its own encoder, so clients are independent; with --shared
the clients of a path share one encoder (for many simultaneous clients).
Prints "READY <port>" on stdout once it listens; runs until killed.
"""
import argparse
import os
import sys

import gi

gi.require_version("Gst", "1.0")
gi.require_version("GstRtspServer", "1.0")
from gi.repository import GLib, Gst, GstRtspServer  # noqa: E402

VIDEO = ("videotestsrc is-live=true pattern=smpte horizontal-speed=2 ! "
         "video/x-raw,width=640,height=360,framerate=25/1 ! "
         "x264enc tune=zerolatency speed-preset=ultrafast key-int-max=25 bitrate=800 ! "
         "video/x-h264,profile=baseline ! rtph264pay name=pay0 pt=96 config-interval=1")
SUB_VIDEO = VIDEO.replace("width=640,height=360", "width=320,height=180")
AUDIO = ("audiotestsrc is-live=true wave=sine freq=440 ! "
         "audio/x-raw,rate=8000,channels=1 ! audioconvert ! avenc_aac ! "
         "rtpmp4gpay name=pay1 pt=97")
PCMA = ("audiotestsrc is-live=true wave=sine freq=440 ! "
        "audio/x-raw,rate=8000,channels=1 ! audioconvert ! alawenc ! rtppcmapay name=pay1")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("port")
    parser.add_argument("--shared", action="store_true")
    parser.add_argument("--pattern", default="smpte")
    options = parser.parse_args()
    port = options.port
    shared = options.shared
    video = VIDEO.replace("pattern=smpte", "pattern=" + options.pattern)
    sub_video = SUB_VIDEO.replace("pattern=smpte", "pattern=" + options.pattern)
    Gst.init(None)
    server = GstRtspServer.RTSPServer()
    server.set_address("127.0.0.1")
    server.set_service(port)
    mounts = server.get_mount_points()
    for path, launch in (("/h264", "( %s )" % video),
                         ("/h264aac", "( %s %s )" % (video, AUDIO)),
                         ("/h264pcma", "( %s %s )" % (video, PCMA)),
                         ("/mpeg4", "( %s )" % video),
                         ("/mpeg4cif", "( %s )" % sub_video)):
        factory = GstRtspServer.RTSPMediaFactory()
        factory.set_launch(launch)
        factory.set_shared(shared)
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
