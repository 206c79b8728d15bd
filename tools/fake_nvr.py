#!/usr/bin/python3
"""The fake NVR of the tests, to try Harlen by hand: it listens on 127.0.0.1
port 40001 (the port the client uses) unless --port says otherwise, and keeps
running when its standard input ends. Options, fault modes and commands are
those of tests/peers/fake_nvr.py; type commands on the standard input.

    tools/fake_nvr.py [--port PORT] [--fixtures DIR] [--mode MODE [ARG]]
"""

import importlib.util
import os
import sys

sys.dont_write_bytecode = True

PEER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "peers", "fake_nvr.py")

module_spec = importlib.util.spec_from_file_location("fake_nvr", PEER)
fake_nvr = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(fake_nvr)

if __name__ == "__main__":
    sys.exit(fake_nvr.main(default_port=40001, stop_at_end_of_input=False))
