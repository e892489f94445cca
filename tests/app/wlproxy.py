#!/usr/bin/env python3
"""A Wayland proxy between one client and a compositor, for tests: it
forwards every message and file descriptor both ways, logs what the client
asks of its toplevel windows, and on a signal plays the compositor's part:

    SIGUSR1   xdg_toplevel.close to every toplevel: the window manager's close
    SIGHUP    a ping, logged "pong" when the client has answered it: by then
              it has handled every event sent before
    SIGUSR2   a configure that maximises every toplevel, as a compositor
              does for a title-bar double-click or a keyboard shortcut; the
              client's acknowledgement of it is kept from the compositor,
              which never sent it

    wlproxy.py LISTEN_SOCKET COMPOSITOR_SOCKET LOG

Clients are served one after another, each logged as "client".

The log has a line per request of interest: "toplevel ID set_min_size W H",
"set_max_size", "set_maximized", "unset_maximized", "resize", "move",
"buffer W H" for every buffer committed to a toplevel's surface, "commit" for
every commit of that surface, "ack-injected" for the client's acknowledgement
of a configure the proxy made up, "opaque W H"
for the extent of the opaque region declared on it, and
"close-sent" / "maximize-sent" for what the proxy itself sent."""

import array
import os
import select
import signal
import socket
import struct
import sys

MAX_FDS = 28


class Stream:
    """Reassembles whole messages from one direction of the connection."""

    def __init__(self):
        self.data = b""
        self.fds = []

    def messages(self):
        while len(self.data) >= 8:
            _, word = struct.unpack_from("=II", self.data)
            size = word >> 16
            if size < 8 or len(self.data) < size:
                break
            message, self.data = self.data[:size], self.data[size:]
            yield message


def receive(sock):
    fds = array.array("i")
    data, ancillary, _, _ = sock.recvmsg(65536, socket.CMSG_SPACE(MAX_FDS * fds.itemsize))
    for level, kind, payload in ancillary:
        if level == socket.SOL_SOCKET and kind == socket.SCM_RIGHTS:
            fds.frombytes(payload[: len(payload) - (len(payload) % fds.itemsize)])
    return data, list(fds)


def send(sock, data, fds):
    ancillary = [(socket.SOL_SOCKET, socket.SCM_RIGHTS, array.array("i", fds))] if fds else []
    sock.sendmsg([data], ancillary)
    for fd in fds:
        os.close(fd)


def string_at(message, offset):
    length = struct.unpack_from("=I", message, offset)[0]
    text = message[offset + 4 : offset + 4 + length - 1].decode()
    return text, offset + 4 + ((length + 3) & ~3)


class Proxy:
    def __init__(self, client, compositor, log):
        self.client = client
        self.compositor = compositor
        self.log = log
        self.kinds = {1: "wl_display"}  # object id -> interface
        self.toplevels = {}  # toplevel id -> its xdg_surface id
        self.surface_of = {}  # xdg_surface id -> wl_surface id
        self.buffers = {}  # buffer id -> (width, height)
        self.attached = {}  # wl_surface id -> buffer id
        self.regions = {}  # wl_region id -> its rectangles
        self.injected_serials = set()
        self.pings = set()
        self.next_serial = 0x7F000000

    def toplevel_surfaces(self):
        return {self.surface_of.get(xdg_surface) for xdg_surface in self.toplevels.values()}

    def note(self, line):
        self.log.write(line + "\n")
        self.log.flush()

    def from_client(self, message):
        """Follows the objects the client makes; returns False to drop a message."""
        target, word = struct.unpack_from("=II", message)
        opcode = word & 0xFFFF
        kind = self.kinds.get(target)
        args = message[8:]
        if kind == "wl_display" and opcode == 1:
            self.kinds[struct.unpack_from("=I", args)[0]] = "wl_registry"
        elif kind == "wl_registry" and opcode == 0:
            interface, at = string_at(args, 4)
            _, new_id = struct.unpack_from("=II", args, at)
            self.kinds[new_id] = interface
        elif kind == "wl_compositor" and opcode in (0, 1):
            self.kinds[struct.unpack_from("=I", args)[0]] = "wl_surface" if opcode == 0 else "wl_region"
        elif kind == "wl_region" and opcode == 1:
            x, y, width, height = struct.unpack_from("=iiii", args)
            self.regions.setdefault(target, []).append((x, y, x + width, y + height))
        elif kind == "wl_surface" and opcode == 4 and target in self.toplevel_surfaces():
            boxes = self.regions.get(struct.unpack_from("=I", args)[0], [])
            if boxes:
                self.note("opaque %d %d" % (max(b[2] for b in boxes) - min(b[0] for b in boxes),
                                            max(b[3] for b in boxes) - min(b[1] for b in boxes)))
        elif kind == "wl_shm" and opcode == 0:
            self.kinds[struct.unpack_from("=I", args)[0]] = "wl_shm_pool"
        elif kind == "wl_shm_pool" and opcode == 0:
            new_id, _, width, height = struct.unpack_from("=IiII", args)
            self.kinds[new_id] = "wl_buffer"
            self.buffers[new_id] = (width, height)
        elif kind == "xdg_wm_base" and opcode == 2:
            new_id, surface = struct.unpack_from("=II", args)
            self.kinds[new_id] = "xdg_surface"
            self.surface_of[new_id] = surface
        elif kind == "xdg_surface" and opcode == 1:
            new_id = struct.unpack_from("=I", args)[0]
            self.kinds[new_id] = "xdg_toplevel"
            self.toplevels[new_id] = target
        elif kind == "xdg_wm_base" and opcode == 3:
            serial = struct.unpack_from("=I", args)[0]
            if serial in self.pings:
                self.pings.discard(serial)
                self.note("pong")
                return False
        elif kind == "xdg_surface" and opcode == 4:
            serial = struct.unpack_from("=I", args)[0]
            if serial in self.injected_serials:
                self.injected_serials.discard(serial)
                self.note("ack-injected")
                return False
        elif kind == "xdg_toplevel":
            names = {5: "move", 6: "resize", 7: "set_max_size", 8: "set_min_size", 9: "set_maximized",
                     10: "unset_maximized", 11: "set_fullscreen", 12: "unset_fullscreen"}
            if opcode in names:
                values = struct.unpack_from("=ii", args) if opcode in (7, 8) else ()
                self.note(" ".join(["toplevel", str(target), names[opcode], *map(str, values)]))
        elif kind == "wl_surface" and opcode == 1:
            self.attached[target] = struct.unpack_from("=I", args)[0]
        elif kind == "wl_surface" and opcode == 6:
            buffer = self.attached.pop(target, 0)
            if target in self.toplevel_surfaces():
                if buffer:
                    self.note("buffer %d %d" % self.buffers.get(buffer, (0, 0)))
                self.note("commit")
        return True

    def to_client(self, messages):
        self.client.sendall(b"".join(messages))

    def close_all(self):
        self.to_client(struct.pack("=II", toplevel, (8 << 16) | 1) for toplevel in self.toplevels)
        self.note("close-sent")

    def maximize_all(self):
        messages = []
        for toplevel, xdg_surface in self.toplevels.items():
            self.next_serial += 1
            self.injected_serials.add(self.next_serial)
            states = struct.pack("=I", 1)  # XDG_TOPLEVEL_STATE_MAXIMIZED
            body = struct.pack("=iiI", 0, 0, len(states)) + states
            messages.append(struct.pack("=II", toplevel, ((8 + len(body)) << 16) | 0) + body)
            messages.append(struct.pack("=III", xdg_surface, (12 << 16) | 0, self.next_serial))
        self.to_client(messages)
        self.note("maximize-sent")

    def ping(self):
        """xdg_wm_base.ping: the client answers once it has handled every
        event that came before."""
        bases = [id for id, kind in self.kinds.items() if kind == "xdg_wm_base"]
        self.next_serial += 1
        self.pings.add(self.next_serial)
        self.to_client(struct.pack("=III", base, (12 << 16) | 0, self.next_serial) for base in bases[-1:])
        self.note("ping-sent")

    def forward(self, source, stream, sink, keep):
        """Passes on the whole messages that have arrived, with the file
        descriptors that came with them; False when the source has closed."""
        data, fds = receive(source)
        if not data:
            return False
        stream.data += data
        stream.fds += fds
        messages = [m for m in stream.messages() if keep is None or keep(m)]
        if messages:
            # Whole messages only, so that an injected one never lands inside
            # another; descriptors go no later than the bytes that need them.
            send(sink, b"".join(messages), stream.fds)
            stream.fds = []
        return True

    def run(self, wakeup):
        upstream, downstream = Stream(), Stream()
        pending = []
        while True:
            ready, _, _ = select.select([self.client, self.compositor, wakeup], [], [])
            if wakeup in ready:
                for number in wakeup.recv(64):
                    pending.append(number)
            if self.client in ready and not self.forward(self.client, upstream, self.compositor, self.from_client):
                return
            if self.compositor in ready and not self.forward(self.compositor, downstream, self.client, None):
                return
            while pending:
                number = pending.pop(0)
                if number == signal.SIGUSR1:
                    self.close_all()
                elif number == signal.SIGUSR2:
                    self.maximize_all()
                elif number == signal.SIGHUP:
                    self.ping()


def main():
    listen_path, compositor_path, log_path = sys.argv[1:4]
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    listener.bind(listen_path)
    listener.listen(1)
    reader, writer = socket.socketpair()
    writer.setblocking(False)
    signal.set_wakeup_fd(writer.fileno())
    for number in (signal.SIGUSR1, signal.SIGUSR2, signal.SIGHUP):
        signal.signal(number, lambda *_: None)
    with open(log_path, "a") as log:
        log.write("listening\n")
        log.flush()
        # One client after another: the game asks the compositor a question
        # on a connection of its own before Qt connects.
        while True:
            client, _ = listener.accept()
            compositor = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            compositor.connect(compositor_path)
            log.write("client\n")
            log.flush()
            try:
                Proxy(client, compositor, log).run(reader)
            except (ConnectionResetError, BrokenPipeError):
                pass
            client.close()
            compositor.close()


if __name__ == "__main__":
    main()
