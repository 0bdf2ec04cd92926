"""A private Wayland compositor and the game running on it natively, driven as a person
would: the real-window tests (tests/e2e) and tools/measure-program use it.

sway runs headless with its software renderer, one output and no window borders, so the
game's window fills the output. sway refuses to run as root: under root it runs as the
unprivileged user 65534, with a runtime directory of its own. grim captures the output
and wtype types keys; the game gets only WAYLAND_DISPLAY, no DISPLAY and no
SDL_VIDEODRIVER, so SDL chooses Wayland as it would on a desktop.
"""

import os
import shutil
import socket
import subprocess
import tempfile

from .xsession import Capture, Failure, Game, die_with_parent, expect, picture_place, poll, stop_process

UNPRIVILEGED = 65534


class Sway:
    """sway with one headless output of the given size."""

    def __init__(self, workdir, size=(1920, 1080)):
        self.size = size
        self.process = None
        self.games = []
        self.runtime = tempfile.mkdtemp(prefix="ravela-wayland-")
        as_root = os.geteuid() == 0
        if as_root:
            os.chown(self.runtime, UNPRIVILEGED, UNPRIVILEGED)
        config = os.path.join(self.runtime, "config")
        with open(config, "w") as out:
            out.write(f"output HEADLESS-1 resolution {size[0]}x{size[1]}\ndefault_border none\n")
        os.chmod(config, 0o644)
        base = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "XDG_RUNTIME_DIR": self.runtime}
        sway_env = dict(base, HOME=self.runtime, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                        WLR_RENDERER="pixman")
        command = ["sway", "-c", config]
        if as_root:
            command = ["setpriv", f"--reuid={UNPRIVILEGED}", f"--regid={UNPRIVILEGED}", "--clear-groups", *command]
        self.log_path = os.path.join(workdir, "sway.log")
        with open(self.log_path, "wb") as log:
            try:
                self.process = subprocess.Popen(command, env=sway_env, stdin=subprocess.DEVNULL, stdout=log,
                                                stderr=log, preexec_fn=die_with_parent)
            except OSError as error:
                self.stop()
                raise Failure(f"sway could not start: {error}") from error
        try:
            self.display = poll(self.find_socket, 20, "sway's Wayland socket")
        except Failure:
            self.stop()
            with open(self.log_path, errors="replace") as log:
                raise Failure(f"sway did not start:\n{log.read()[-2000:]}") from None
        self.env = {name: value for name, value in os.environ.items()
                    if name not in ("DISPLAY", "SDL_VIDEODRIVER", "WAYLAND_DISPLAY")}
        self.env.update(base, WAYLAND_DISPLAY=self.display, SDL_AUDIODRIVER="dummy")

    def find_socket(self):
        if self.process.poll() is not None:
            raise Failure(f"sway ended with status {self.process.returncode}")
        names = [name for name in os.listdir(self.runtime) if name.startswith("wayland-")
                 and not name.endswith(".lock")]
        return names[0] if names else None

    def run(self, *command, timeout=15):
        """Runs a Wayland client to completion and returns its output; fails on an error."""
        try:
            done = subprocess.run(command, env=self.env, capture_output=True, timeout=timeout)
        except subprocess.TimeoutExpired as error:
            raise Failure(f"{' '.join(command)} did not finish in {timeout} s") from error
        expect(done.returncode == 0, f"{' '.join(command)} failed ({done.returncode}): "
               f"{done.stderr.decode(errors='replace').strip()}")
        return done.stdout

    def capture(self):
        """The whole output, through grim's PPM."""
        return Capture.from_image(self.run("grim", "-t", "ppm", "-"))

    def connection(self):
        """A new connection to the compositor, as a descriptor that a child may inherit."""
        client = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        client.connect(os.path.join(self.runtime, self.display))
        fd = client.detach()
        os.set_inheritable(fd, True)
        return fd

    def kill(self):
        """The compositor dies at once, as in a crash."""
        self.process.kill()
        self.process.wait()

    def stop(self):
        """Ends every game started here, then the compositor."""
        for game in self.games:
            game.stop()
        stop_process(self.process, "sway")
        shutil.rmtree(self.runtime, ignore_errors=True)


class WaylandGame(Game):
    """ravela on sway. Its window fills the output, and the picture lies centred in it at a
    whole-number scale. Every key goes through a wtype of its own, whose keyboard exists
    only while it runs: the window loses the keyboard focus after each."""

    def __init__(self, sway, program, workdir, env=None, pass_fds=()):
        super().__init__(sway, program, workdir, env=env, wait=False, pass_fds=pass_fds)
        self.scale, self.origin = picture_place(*sway.size)

    def capture(self):
        self.expect_running()
        return self.x.capture().picture(self.scale, *self.origin)

    def key_and_stay(self, name, seconds):
        """Types a key through a wtype that keeps its keyboard, and so the window its focus,
        for that many seconds more; returns the running wtype."""
        return subprocess.Popen(["wtype", "-s", "500", "-k", name, "-s", str(int(seconds * 1000))], env=self.x.env,
                                preexec_fn=die_with_parent)

    def key(self, *names, delay=40):
        self.expect_running()
        words = [word for name in names for word in ("-k", name, "-s", str(delay))]
        self.x.run("wtype", "-s", "500", *words)

