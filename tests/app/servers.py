"""Real servers for tests, each started on private sockets in a folder of its
own and stopped again: a headless weston, a Wayland proxy in front of it, an
Xvfb display with a window manager, and a PulseAudio server with a null sink
whose monitor can be recorded. Nothing here installs anything."""

import os
import random
import shutil
import signal
import subprocess
import tempfile
import threading
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent


def wait_until(condition, timeout, what, log=None, interval=0.01):
    """Polls the condition until it holds; past the timeout, which only a hang
    should reach, raises TimeoutError."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(interval)
    told = f"; its log:\n{Path(log).read_text()}" if log and Path(log).exists() else ""
    raise TimeoutError(f"{what} within {timeout} s{told}")


def eventually(condition, timeout):
    """Whether the condition comes true within the timeout."""
    try:
        wait_until(condition, timeout, "")
        return True
    except TimeoutError:
        return False


# Whole stacks and our suppressions for a sanitized program, unless the test
# run names its own.
LSAN_OPTIONS = f"suppressions={HERE / 'lsan.supp'}:print_suppressions=0:fast_unwind_on_malloc=0"


def end(process, timeout=5):
    """Asks a process to end, and kills it when it has not by the deadline."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def program_env(env):
    """The environment for running the game: the given one, with LeakSanitizer's
    options unless it names them."""
    return {"LSAN_OPTIONS": os.environ.get("LSAN_OPTIONS", LSAN_OPTIONS), **env}


class Server:
    """A process started in a private runtime folder; a context manager."""

    def __enter__(self):
        self.runtime = Path(tempfile.mkdtemp(prefix="pellorin-"))
        self.runtime.chmod(0o700)
        try:
            self.start()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *_):
        self.stop_processes()
        shutil.rmtree(self.runtime, ignore_errors=True)

    def stop_processes(self):
        for process in reversed(getattr(self, "processes", [])):
            end(process)
        self.processes = []

    def spawn(self, command, **options):
        self.processes = getattr(self, "processes", [])
        process = subprocess.Popen(command, **options)
        self.processes.append(process)
        return process


class Weston(Server):
    """A headless weston with the desktop shell, drawing with pixman."""

    def __init__(self, screenshots=False):
        self.screenshots = screenshots

    def start(self):
        self.socket = "wayland-pellorin"
        command = ["weston", "--backend=headless-backend.so", "--use-pixman", "--no-config", "--idle-time=0",
                   f"--socket={self.socket}", "--width=1024", "--height=768"]
        if self.screenshots:
            command.append("--debug")  # lets weston-screenshooter in
        self.log = open(self.runtime / "weston.log", "w")
        self.spawn(command, env=self.env(), stdout=self.log, stderr=subprocess.STDOUT, cwd=self.runtime)
        wait_until(lambda: (self.runtime / self.socket).exists(), 10, "weston's socket")

    def env(self, **extra):
        """The environment of a client that sees this compositor and no other display."""
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY")}
        env.update(XDG_RUNTIME_DIR=str(self.runtime), WAYLAND_DISPLAY=self.socket, **extra)
        return env

    def screenshot(self, destination):
        before = set(self.runtime.glob("wayland-screenshot*.png"))
        subprocess.run(["weston-screenshooter"], env=self.env(), cwd=self.runtime, check=True, timeout=10)
        taken = (set(self.runtime.glob("wayland-screenshot*.png")) - before).pop()
        shutil.move(taken, destination)


class WaylandProxy:
    """tests/app/wlproxy.py between the game and a weston: what the game asks
    of its window is in lines(), and close() and maximize() play the
    compositor's part."""

    def __init__(self, weston):
        self.weston = weston
        self.socket = "wayland-proxy"
        self.log = weston.runtime / "proxy.log"
        self.process = weston.spawn(["python3", str(HERE / "wlproxy.py"), str(weston.runtime / self.socket),
                                     str(weston.runtime / weston.socket), str(self.log)])
        wait_until(lambda: self.log.exists() and "listening" in self.log.read_text(), 10, "the proxy")

    def env(self, **extra):
        return {**self.weston.env(**extra), "WAYLAND_DISPLAY": self.socket}

    def lines(self):
        return self.log.read_text().splitlines()

    def mark(self):
        """The log's length now, to look only at what comes after."""
        return len(self.lines())

    def since(self, mark):
        return self.lines()[mark:]

    def close(self):
        self.process.send_signal(signal.SIGUSR1)

    def maximize(self):
        self.process.send_signal(signal.SIGUSR2)

    def round_trip(self):
        """Returns once the client has handled everything sent to it so far."""
        mark = self.mark()
        self.process.send_signal(signal.SIGHUP)
        wait_until(lambda: "pong" in self.since(mark), 20, "the client's answer to a ping")


class X11(Server):
    """An Xvfb display with metacity managing its windows.

    The display number is drawn at random from far above the ones that other
    X servers on the machine count up from (0 for -displayfd, 99 for
    xvfb-run), because /tmp/.X11-unix may be shared with servers that this
    one cannot see: in another container, their lock files look stale and
    their sockets can be taken over. A start that fails anyway is tried again
    on another number, with a new server."""

    ATTEMPTS = 3

    def __init__(self, size="1024x768"):
        self.size = size

    def start(self):
        for attempt in range(1, self.ATTEMPTS + 1):
            try:
                self.start_once(attempt)
                return
            except (RuntimeError, TimeoutError):
                self.stop_processes()
                if attempt == self.ATTEMPTS:
                    raise

    def start_once(self, attempt):
        number = random.randrange(1000, 30000)
        server_log = self.runtime / f"xvfb-{attempt}.log"
        read, write = os.pipe()
        xvfb = self.spawn(["Xvfb", f":{number}", "-displayfd", str(write), "-screen", "0", f"{self.size}x24",
                           "-nolisten", "tcp", "-auth", "/dev/null"],
                          pass_fds=[write], stdout=subprocess.DEVNULL, stderr=open(server_log, "w"))
        os.close(write)
        with os.fdopen(read) as pipe:
            told = pipe.readline().strip()
        if told != str(number):
            raise RuntimeError(f"Xvfb did not start on :{number}; its log:\n{server_log.read_text()}")
        self.display = f":{number}"
        wait_until(lambda: self.answers(xvfb), 10, f"Xvfb answering on {self.display}", server_log)
        wm_log = self.runtime / f"metacity-{attempt}.log"
        metacity = self.spawn(["metacity", "--replace", "--sm-disable"], env=self.env(), stdout=subprocess.DEVNULL,
                              stderr=open(wm_log, "w"))

        def managed():
            if metacity.poll() is not None or xvfb.poll() is not None:
                raise RuntimeError(f"the window manager on {self.display} ended; its log:\n{wm_log.read_text()}"
                                   f"\nXvfb's log:\n{server_log.read_text()}")
            return "_NET_SUPPORTING_WM_CHECK" in self.root_properties()
        wait_until(managed, 30, "the window manager", wm_log)

    def answers(self, xvfb):
        if xvfb.poll() is not None:
            raise RuntimeError(f"Xvfb on {self.display} ended with status {xvfb.returncode}")
        return subprocess.run(["xprop", "-root", "-len", "0"], env=self.env(), capture_output=True).returncode == 0

    def env(self, **extra):
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env.update(DISPLAY=self.display, XDG_RUNTIME_DIR=str(self.runtime), **extra)
        return env

    def root_properties(self):
        return subprocess.run(["xprop", "-root"], env=self.env(), capture_output=True, text=True).stdout

    def root_properties_of(self, *names):
        return subprocess.run(["xprop", "-root", *names], env=self.env(), capture_output=True, text=True).stdout

    def properties(self, window, *names):
        return subprocess.run(["xprop", "-id", window, *names], env=self.env(), capture_output=True, text=True).stdout

    def windows(self, title):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], env=self.env(),
                               capture_output=True, text=True).stdout
        return found.split()

    def screenshot(self, destination):
        subprocess.run(["import", "-window", "root", str(destination)], env=self.env(), check=True, timeout=20)


class Pulse(Server):
    """A PulseAudio server whose only sink is a null sink; what is played to
    it can be recorded from its monitor with record()."""

    RATE = 48000

    def start(self):
        self.address = f"unix:{self.runtime}/native"
        config = self.runtime / "server.pa"
        config.write_text(
            f"load-module module-native-protocol-unix socket={self.runtime}/native auth-anonymous=1\n"
            f"load-module module-null-sink sink_name=speaker rate={self.RATE} channels=2\n"
            "set-default-sink speaker\n")
        env = {**os.environ, "HOME": str(self.runtime), "XDG_RUNTIME_DIR": str(self.runtime),
               "XDG_CONFIG_HOME": str(self.runtime)}
        self.spawn(["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "-n",
                    "--use-pid-file=no", "--log-target=stderr", "--log-level=error", "-F", str(config)],
                   env=env, stderr=subprocess.DEVNULL)
        wait_until(lambda: subprocess.run(["pactl", "info"], env=self.env(), capture_output=True).returncode == 0,
                   10, "PulseAudio")

    def env(self, **extra):
        return {**os.environ, "PULSE_SERVER": self.address, **extra}

    def streams(self):
        """How many playback streams are open now."""
        listing = subprocess.run(["pactl", "list", "short", "sink-inputs"], env=self.env(),
                                 capture_output=True, text=True).stdout
        return len(listing.splitlines())

    def record(self):
        return Recording(self)


class Recording:
    """The null sink's monitor, read as it comes: stereo 16-bit samples, each
    block stamped with the monotonic clock on arrival, so that a sample's
    time can be told (see moment())."""

    def __init__(self, pulse):
        self.process = subprocess.Popen(
            ["parec", "--device=speaker.monitor", "--raw", "--format=s16le", f"--rate={Pulse.RATE}", "--channels=2",
             "--latency-msec=2"], env=pulse.env(), stdout=subprocess.PIPE)
        self.data = bytearray()
        self.arrivals = []  # (monotonic seconds, bytes received by then)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        wait_until(lambda: len(self.data) > 0, 10, "the first recorded samples")

    def _read(self):
        while chunk := self.process.stdout.read1(65536):
            self.data += chunk
            self.arrivals.append((time.monotonic(), len(self.data)))

    def stop(self):
        self.process.terminate()
        self.process.wait()
        self.reader.join()

    def frames(self):
        """How many frames have been recorded so far."""
        return len(self.data) // 4

    def frame_at(self, moment):
        """The frame of the recording played at a monotonic time."""
        offset = min(at - received / 4 / Pulse.RATE for at, received in self.arrivals)
        return max(0, round((moment - offset) * Pulse.RATE))

    def left(self, start=0, end=None):
        """The left channel from frame start to frame end, scaled to [-1, 1]."""
        import array
        stop = len(self.data) // 4 if end is None else min(end, len(self.data) // 4)
        values = array.array("h", bytes(self.data[start * 4: stop * 4]))
        return [v / 32768.0 for v in values[::2]]

    def samples(self):
        """The recording as (left, right) sample pairs scaled to [-1, 1]."""
        import array
        values = array.array("h", bytes(self.data[: len(self.data) // 4 * 4]))
        return [(values[i] / 32768.0, values[i + 1] / 32768.0) for i in range(0, len(values), 2)]

    def moment(self, frame):
        """The monotonic time at which a frame of the recording was played:
        the earliest any block could have been, less what came after it."""
        offset = min(at - received / 4 / Pulse.RATE for at, received in self.arrivals)
        return offset + frame / Pulse.RATE


class Wine:
    """A Wine prefix of its own: the one named by WINEPREFIX when the test
    run prepared one, or else a new one in a temporary folder, made with
    wineboot and removed again. Mono and Gecko are never asked for."""

    def __enter__(self):
        self.own = "WINEPREFIX" not in os.environ
        self.prefix = Path(tempfile.mkdtemp(prefix="pellorin-wine-")) / "prefix" if self.own \
            else Path(os.environ["WINEPREFIX"])
        if self.own:
            started = time.monotonic()
            subprocess.run(["wineboot", "-i"], env=self.env(os.environ), check=True, timeout=300,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # wineboot returns before the prefix is written; the server ends
            # once it is.
            subprocess.run(["wineserver", "-w"], env=self.env(os.environ), timeout=300)
            print(f"Wine prefix made in {time.monotonic() - started:.1f} s")
        # A new prefix says Windows 7; the programs need Windows 10, whatever
        # ran in the prefix before.
        self.set_version("win10")
        return self

    def __exit__(self, *_):
        subprocess.run(["wineserver", "-k"], env=self.env(os.environ), stderr=subprocess.DEVNULL)
        if self.own:
            shutil.rmtree(self.prefix.parent, ignore_errors=True)

    def env(self, base):
        return {**base, "WINEPREFIX": str(self.prefix), "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}

    def stop_server(self):
        """Ends the prefix's server and every program of it, and waits until
        it has saved the registry and gone."""
        subprocess.run(["wineserver", "-k"], env=self.env(os.environ), stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env(os.environ), timeout=60)

    def set_dpi(self, dpi):
        """The DPI that programs started from now on see: Wine's desktop reads
        it as its server starts, so the server is started anew around it."""
        self.stop_server()
        subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", str(dpi), "/f"], env=self.env(os.environ), check=True, capture_output=True)
        self.stop_server()

    def set_version(self, version):
        """The Windows version (win81, win10...) that programs started from now
        on see, with the registry's version keys to match, as winecfg sets it."""
        subprocess.run(["wine", "winecfg", "-v", version], env=self.env(os.environ), check=True, capture_output=True)
        subprocess.run(["wineserver", "-w"], env=self.env(os.environ), timeout=60)
