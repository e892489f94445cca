"""Orca 43, the real screen reader, on a desktop of its own, for tests that
hear what a blind player hears. Everything runs on private sockets and
folders, so that several runs on one machine never meet:

- an Xvfb display with a window manager (servers.X11);
- a private D-Bus session with its own accessibility bus (at-spi2-core);
- a PulseAudio server with a null sink, and speech-dispatcher speaking
  through espeak-ng into it;
- Orca, with a private HOME and XDG folders, a fresh settings folder and
  its debug log on. What Orca says is read from that log: its
  "SPEECH OUTPUT:" lines, one per utterance.

Orca is started without --replace (which would kill every Orca of the user,
on any display) and is not renamed to "orca": the stock launcher refuses to
start while another process of that name runs, and another user's
--replace would kill ours. Keys go in as real X events (xdotool) to the
window that has the keyboard, so that Orca hears them as a player's keys.

Interface (other tests rely on it; keep it stable):

    with Orca() as orca:                   # everything started; stopped on exit
        program = subprocess.Popen([...], env=orca.env())
        orca.wait_spoken("Pellorin")       # the window's title spoken
        mark = orca.mark()
        orca.key("Right")                  # a real key press and release
        orca.wait_spoken("Rad 1, kolumn 1", since=mark)
        orca.settle()                      # Orca has handled all it had
        print(orca.spoken(since=mark))     # every utterance after the mark

    Orca(size="1024x768")  the screen's size
    .x11                   the display (servers.X11): .display, .windows(),
                           .screenshot(), .env()
    .env(**extra)          the environment for a program Orca should read:
                           the display, the session bus, the runtime folder
    .mark()                a position in what was spoken, to look after
    .spoken(since=0)       the utterances after a mark, as Orca logged them
    .wait_spoken(phrase, since=0, timeout=DEADLINE)
                           waits until an utterance after the mark holds the
                           phrase (a string, or a function of the utterance)
                           and returns the utterances up to it; past the
                           deadline, which only a hang reaches, raises
                           TimeoutError with what was spoken
    .settle(timeout=DEADLINE)
                           waits until Orca has handled every event it had
                           and returns a mark: a marker that Orca writes into
                           its log once its event queue is empty, so that
                           nothing spoken about earlier keys comes after it
    .key(*keys)            xdotool key names ("Right", "shift+Down", "alt+m")
    .key_down(key), .key_up(key)
                           one key pressed or released, for a modifier held
                           while Orca answers: Qt hands a key to the program
                           only once Orca has answered for it, so "alt+m" at
                           once can reach a Qt program as m, then Alt
    .activate(window)      raises and focuses a window, for the keys
    .log                   the path of Orca's debug log

Debian's python3-pyatspi and Orca's modules are for Debian's own Python,
hence /usr/bin/python3 for every script that imports this one."""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
from pathlib import Path

from servers import X11, Pulse, Server, wait_until

# Only a hang takes this long.
DEADLINE = 30

# Orca itself, as its own launcher starts it, less the refusal to run beside
# another Orca and the process name; its debug log is written line by line,
# and SIGUSR1 asks for a marker once the event queue has run dry (an idle
# handler of lower priority than the queue's own runs only then).
LAUNCHER = r"""
import signal
import sys
from gi.repository import GLib
from orca import debug
debug.debugLevel = debug.LEVEL_INFO
debug.eventDebugLevel = debug.LEVEL_OFF
debug.debugFile = open(sys.argv[1], "w", buffering=1)
from orca import orca
manager = orca.getSettingsManager()
manager.activate(sys.argv[2], {})
sys.path.insert(0, manager.getPrefsDir())
marks = [0]
def write_mark():
    marks[0] += 1
    debug.println(debug.LEVEL_SEVERE, "PELLORIN-MARK %d" % marks[0])
    return False
def on_signal():
    GLib.idle_add(write_mark, priority=GLib.PRIORITY_LOW)
    return True
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, on_signal)
sys.exit(orca.main())
"""

# "SPEECH OUTPUT: 'words'", and then the voice's name and settings.
SPOKEN = re.compile(r"^SPEECH OUTPUT: '(.*)'(?: voice=\w+)?(?:\s?\{.*\})?$")
MARKED = re.compile(r"^PELLORIN-MARK (\d+)$")


class SessionBus:
    """A private D-Bus session, and an accessibility bus (at-spi2-core)
    started on it, each in a process group of its own that ends with it: the
    bus daemons and the registry they start on demand go too. The
    accessibility bus announces itself on the X display as well, which is
    where Qt and pyatspi look first."""

    def __init__(self, runtime, display):
        self.groups = []
        self.log = open(Path(runtime) / "buses.log", "w")
        session = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address",
                              f"--address=unix:path={runtime}/bus"], stdout=subprocess.PIPE, text=True)
        self.address = session.stdout.readline().strip()
        # The launcher keeps whether accessibility is on in memory, not in
        # the user's settings.
        env = {**os.environ, "DBUS_SESSION_BUS_ADDRESS": self.address, "DISPLAY": display,
               "GSETTINGS_BACKEND": "memory"}
        try:
            self.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env)
            wait_until(lambda: subprocess.run(
                ["dbus-send", "--session", "--dest=org.freedesktop.DBus", "--print-reply", "/org/freedesktop/DBus",
                 "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"], env=env, capture_output=True,
                text=True).stdout.split()[-1:] == ["true"], DEADLINE, "the accessibility bus")
        except BaseException:
            self.stop()
            raise

    def spawn(self, command, **options):
        process = subprocess.Popen(command, start_new_session=True, stderr=self.log, **options)
        self.groups.append(process)
        return process

    def stop(self):
        for process in reversed(self.groups):
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            process.wait()
        self.groups = []
        self.log.close()


def speechd_config(folder, log_folder):
    """A speech-dispatcher configuration of its own: espeak-ng through
    PulseAudio, the system's modules and client settings."""
    folder.mkdir()
    (folder / "speechd.conf").write_text(
        "LogLevel 3\n"
        f'LogDir "{log_folder}"\n'
        'AudioOutputMethod "pulse"\n'
        'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n'
        'DefaultModule espeak-ng\n'
        'Include "clients/*.conf"\n')
    for part in ("modules", "clients"):
        (folder / part).symlink_to(Path("/etc/speech-dispatcher") / part)


class Orca(Server):
    def __init__(self, size="1024x768"):
        self.size = size
        self.utterances = []
        self.marks = 0
        self.read_at = 0
        self.partial = b""
        self.bus = None
        self.x11 = None
        self.pulse = None

    def start(self):
        self.x11 = X11(self.size).__enter__()
        self.pulse = Pulse().__enter__()
        self.bus = SessionBus(self.runtime, self.x11.display)
        home = self.runtime / "home"
        for folder in ("config", "data", "cache"):
            (home / folder).mkdir(parents=True)
        self.private = {"HOME": str(home), "XDG_CONFIG_HOME": str(home / "config"),
                        "XDG_DATA_HOME": str(home / "data"), "XDG_CACHE_HOME": str(home / "cache")}

        speechd_config(self.runtime / "speechd", self.runtime)
        self.speechd_socket = self.runtime / "speechd.sock"
        self.spawn(["speech-dispatcher", "--run-single", "--timeout", "0", "--communication-method",
                    "unix_socket", "--socket-path", str(self.speechd_socket), "--config-dir",
                    str(self.runtime / "speechd"), "--pid-file", str(self.runtime / "speechd.pid")],
                   env=self.pulse.env(**self.private, XDG_RUNTIME_DIR=str(self.runtime)),
                   stdout=subprocess.DEVNULL, stderr=open(self.runtime / "speechd.err", "w"))
        wait_until(self.speechd_socket.exists, DEADLINE, "speech-dispatcher's socket", self.runtime / "speechd.err")

        self.log = self.runtime / "orca-debug.log"
        prefs = self.runtime / "orca-settings"
        prefs.mkdir()
        self.orca = self.spawn(["/usr/bin/python3", "-c", LAUNCHER, str(self.log), str(prefs)],
                               env=self.env(LANG="C.UTF-8", LANGUAGE="", LC_ALL="C.UTF-8"), cwd=self.runtime,
                               stdout=open(self.runtime / "orca.out", "w"), stderr=subprocess.STDOUT)
        self.wait_spoken("Screen reader on")

    def __exit__(self, failure=None, *_):
        if failure is not None and getattr(self, "log", None) and self.log.exists():
            # Orca's whole log outlives a failed run, for whoever looks into it.
            kept = Path(tempfile.gettempdir()) / f"orca-debug-{os.getpid()}.log"
            shutil.copy(self.log, kept)
            print(f"Orca's debug log: {kept}", flush=True)
        self.stop_processes()
        if self.bus:
            self.bus.stop()
        for server in (self.pulse, self.x11):
            if server:
                server.__exit__(None, None, None)
        super().__exit__()

    def env(self, **extra):
        return {**self.x11.env(), **self.private, "DBUS_SESSION_BUS_ADDRESS": self.bus.address,
                "SPEECHD_ADDRESS": f"unix_socket:{self.speechd_socket}", **extra}

    def _read(self):
        """Takes in what Orca has logged since the last look."""
        if not self.log.exists():
            return
        with open(self.log, "rb") as log:
            log.seek(self.read_at)
            data = log.read()
        self.read_at += len(data)
        *lines, self.partial = (self.partial + data).split(b"\n")
        for raw in lines:
            line = raw.decode("utf-8", "replace")
            text = line.split(" - ", 1)[1] if re.match(r"^\d\d:\d\d:\d\d\.\d+ - ", line) else line
            if spoken := SPOKEN.match(text):
                self.utterances.append(spoken.group(1))
            elif marked := MARKED.match(text):
                self.marks = int(marked.group(1))
                self.settled_at = len(self.utterances)

    def mark(self):
        self._read()
        return len(self.utterances)

    def spoken(self, since=0):
        self._read()
        return self.utterances[since:]

    def wait_spoken(self, phrase, since=0, timeout=DEADLINE):
        matches = phrase if callable(phrase) else lambda utterance: phrase in utterance

        def found():
            return next((i for i, u in enumerate(self.spoken(since)) if matches(u)), None)

        def heard():
            if self.orca.poll() is not None:
                raise RuntimeError(f"Orca ended with status {self.orca.returncode}: "
                                   f"{(self.runtime / 'orca.out').read_text()}")
            return found() is not None
        awaited = "the awaited words" if callable(phrase) else repr(phrase)
        try:
            wait_until(heard, timeout, f"Orca saying {awaited}", interval=0.02)
        except TimeoutError:
            raise TimeoutError(f"Orca did not say {awaited} within {timeout} s; it said {self.spoken(since)}")
        return self.spoken(since)[: found() + 1]

    def settle(self, timeout=DEADLINE):
        self._read()
        wanted = self.marks + 1
        self.orca.send_signal(signal.SIGUSR1)
        wait_until(lambda: self._read() or self.marks >= wanted, timeout, "Orca's marker after its queue")
        return self.settled_at

    def key(self, *keys):
        subprocess.run(["xdotool", "key", *keys], env=self.x11.env(), check=True)

    def key_down(self, key):
        subprocess.run(["xdotool", "keydown", key], env=self.x11.env(), check=True)

    def key_up(self, key):
        subprocess.run(["xdotool", "keyup", key], env=self.x11.env(), check=True)

    def activate(self, window):
        subprocess.run(["xdotool", "windowactivate", "--sync", window], env=self.x11.env(), check=True)


if __name__ == "__main__":
    # orca.py PROGRAM [ARGS...]: the program under Orca, and what Orca says
    # until the program ends.
    with Orca() as orca:
        program = subprocess.Popen(sys.argv[1:], env=orca.env())
        seen = 0
        while program.poll() is None:
            wait_until(lambda: len(orca.spoken()) > seen or program.poll() is not None, 3600, "speech")
            for utterance in orca.spoken(seen):
                print(utterance, flush=True)
            seen = len(orca.spoken())
