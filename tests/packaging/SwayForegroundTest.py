#!/usr/bin/env python3
"""The sway foreground helper against a compositor played by the test: a fake IPC socket that
answers the subscription and the tree and then sends window events, and a dbus-send on PATH that
writes down the calls the helper makes."""

import json
import os
import socket
import stat
import struct
import subprocess
import sys
import tempfile
import threading
import unittest

HELPER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging", "foreground", "sway",
                      "korva-sway-foreground")
HEADER = struct.Struct("=II")
WINDOW_EVENT = 0x80000003

FAKE_DBUS_SEND = """#!/bin/sh
printf '%s\\n' "$*" >> "$KORVA_TEST_CALLS"
"""


def message(kind, payload):
    body = json.dumps(payload).encode()
    return b"i3-ipc" + HEADER.pack(len(body), kind) + body


def read_request(conn):
    head = conn.recv(6 + HEADER.size, socket.MSG_WAITALL)
    size, kind = HEADER.unpack(head[6:])
    body = conn.recv(size, socket.MSG_WAITALL) if size else b""
    return kind, body.decode()


def window(pid, focused=True):
    return {"type": "con", "pid": pid, "focused": focused, "nodes": [], "floating_nodes": []}


class FakeCompositor:
    """Accepts one client, answers SUBSCRIBE and GET_TREE, sends `events`, then hangs up."""

    def __init__(self, path, tree, events, early_event=None):
        self.requests = []
        self._server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self._server.bind(path)
        self._server.listen(1)
        self._tree, self._events, self._early = tree, events, early_event
        self._thread = threading.Thread(target=self._serve)
        self._thread.start()

    def _serve(self):
        conn, _ = self._server.accept()
        with conn:
            kind, body = read_request(conn)
            self.requests.append((kind, body))
            conn.sendall(message(2, {"success": True}))
            kind, body = read_request(conn)
            self.requests.append((kind, body))
            # An event may arrive before the reply it waits for.
            if self._early is not None:
                conn.sendall(message(WINDOW_EVENT, self._early))
            conn.sendall(message(4, self._tree))
            for event in self._events:
                if isinstance(event, bytes):
                    conn.sendall(event)
                else:
                    conn.sendall(message(WINDOW_EVENT, event))
        self._server.close()

    def join(self):
        self._thread.join(10)


class SwayForegroundTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        bin_folder = os.path.join(self.folder.name, "bin")
        os.mkdir(bin_folder)
        fake = os.path.join(bin_folder, "dbus-send")
        with open(fake, "w") as f:
            f.write(FAKE_DBUS_SEND)
        os.chmod(fake, stat.S_IRWXU)
        self.calls = os.path.join(self.folder.name, "calls")
        self.socket = os.path.join(self.folder.name, "sway-ipc.sock")
        self.env = dict(os.environ, PATH=bin_folder + os.pathsep + os.environ.get("PATH", ""),
                        SWAYSOCK=self.socket, KORVA_TEST_CALLS=self.calls)

    def tearDown(self):
        self.folder.cleanup()

    def run_helper(self):
        return subprocess.run([sys.executable, HELPER], env=self.env, timeout=30, capture_output=True, text=True)

    def reported(self):
        if not os.path.exists(self.calls):
            return []
        with open(self.calls) as f:
            return [line.split()[-1] for line in f.read().splitlines()]

    def test_focus_changes_are_reported_as_the_compositor_sends_them(self):
        tree = {"type": "root", "nodes": [{"type": "workspace", "nodes": [window(101, False), window(102)]}],
                "floating_nodes": []}
        events = [
            {"change": "focus", "container": window(201)},               # a window takes the focus
            {"change": "title", "container": window(201)},               # not a focus change
            {"change": "close", "container": window(301, focused=False)},  # a background window closes
            {"change": "focus", "container": {"type": "con", "focused": True}},  # no pid
            {"change": "focus", "container": window(202)},
            {"change": "close", "container": window(202)},               # the focused window closes
            {"change": "focus", "container": window(-5)},                # a pid that is no pid
            b"i3-ipc" + HEADER.pack(3, WINDOW_EVENT) + b"{{{",           # not JSON: skipped
            {"change": "focus", "container": window(203)},
        ]
        compositor = FakeCompositor(self.socket, tree, events,
                                    early_event={"change": "focus", "container": window(100)})
        result = self.run_helper()
        compositor.join()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(compositor.requests, [(2, '["window"]'), (4, "")])
        self.assertEqual(self.reported(), ["uint32:100", "uint32:102", "uint32:201", "uint32:0", "uint32:202",
                                           "uint32:0", "uint32:0", "uint32:203"])
        with open(self.calls) as f:
            first = f.readline().split()
        self.assertEqual(first[:5], ["--session", "--type=method_call", "--dest=org.korva.Driver",
                                     "/org/korva/Driver/Foreground", "org.korva.Foreground1.SetActiveWindow"])

    def test_an_empty_workspace_in_front_reports_no_window(self):
        tree = {"type": "root", "nodes": [{"type": "workspace", "focused": True, "nodes": []}]}
        compositor = FakeCompositor(self.socket, tree, [])
        result = self.run_helper()
        compositor.join()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.reported(), ["uint32:0"])

    def test_no_compositor_is_a_clear_error(self):
        for name, env in [("no socket variable", {"SWAYSOCK": "", "I3SOCK": ""}),
                          ("nothing listens", {"SWAYSOCK": self.socket})]:
            with self.subTest(name):
                self.env.update(env)
                result = self.run_helper()
                self.assertEqual(result.returncode, 1)
                self.assertIn("korva-sway-foreground:", result.stderr)
                self.assertEqual(self.reported(), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
