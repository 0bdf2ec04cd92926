"""A private X server and the game running in it, driven the way a person would: the
real-window tests (tests/e2e), tools/measure-program and tools/take-screenshots use it.

Xvfb picks the first free display number itself (-displayfd). xdotool sends keys and
pointer moves through the XTEST extension; everything else (finding the window, its
geometry and hints, focus, captures, close requests) goes through a connection of the
harness's own (python3-xlib), and Pillow turns captures into pixels and PNG files. Each
server ends the games started on it, by their ids, when it stops, and the kernel ends
every child should the harness die first.
"""

import contextlib
import ctypes
import ctypes.util
import io
import os
import select
import signal
import subprocess
import sys
import tempfile
import time

import Xlib.display
import Xlib.error
import Xlib.protocol.event
from PIL import Image
from Xlib import X, Xutil


class Failure(Exception):
    """Something the game, or the machinery around it, did not do."""


def expect(condition, message):
    if not condition:
        raise Failure(message)


def poll(check, timeout, what):
    """Calls check until it returns something true, and returns that; fails after timeout
    seconds, naming what it waited for."""
    end = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > end:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.05)


def die_with_parent():
    """Runs in each child before it starts its program: the kernel sends it SIGKILL should
    the harness itself end, even by SIGKILL."""
    libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
    libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def stop_process(process, name):
    """Ends one child by its id: SIGTERM first, SIGKILL if it has not gone in 5 s. Never
    raises, so that every other child still gets stopped."""
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=5)
        return
    except subprocess.TimeoutExpired:
        print(f"{name} (pid {process.pid}) still runs 5 s after SIGTERM; killing it", file=sys.stderr)
    process.kill()
    try:
        process.wait(timeout=30)
    except subprocess.TimeoutExpired:
        print(f"{name} (pid {process.pid}) still runs 30 s after SIGKILL", file=sys.stderr)


class XServer:
    """Xvfb with one screen, 800×600 at depth 24 unless asked otherwise. Unless asked for,
    no window manager runs, so the game's window sits centred, at (80, 60) on the usual
    screen; the pointer starts parked at (0, 0). stop() ends the games started on it."""

    def __init__(self, workdir, depth=24, size=(800, 600), window_manager=False):
        """window_manager runs evilwm, a small one that honours full-screen requests."""
        self.process = self.window_manager = self.connection = None
        self.games = []
        reader, writer = os.pipe()
        self.log_path = os.path.join(workdir, "xvfb.log")
        with open(self.log_path, "wb") as log:
            try:
                self.process = subprocess.Popen(
                    ["Xvfb", "-displayfd", str(writer), "-screen", "0", f"{size[0]}x{size[1]}x{depth}",
                     "-nolisten", "tcp", "-noreset"],
                    pass_fds=(writer,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                    preexec_fn=die_with_parent)
            except OSError as error:
                raise Failure(f"the X server could not start: {error}") from error
            finally:
                os.close(writer)
        # The server writes its display number, then a newline, once it takes connections;
        # the pipe stays open until both have come, or the server fails on the second write.
        number = b""
        end = time.monotonic() + 20
        try:
            while not number.endswith(b"\n") and time.monotonic() < end:
                ready, _, _ = select.select([reader], [], [], max(0.0, end - time.monotonic()))
                chunk = os.read(reader, 64) if ready else b""
                if ready and not chunk:
                    break
                number += chunk
        finally:
            os.close(reader)
        if not number.strip().isdigit():
            stop_process(self.process, "Xvfb")
            with open(self.log_path, errors="replace") as log:
                raise Failure(f"the X server did not start (status {self.process.returncode}):\n"
                              f"{log.read()[-2000:]}")
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="dummy")
        try:
            self.connection = Xlib.display.Display(self.display)
        except Xlib.error.DisplayError as error:
            self.stop()
            raise Failure(f"cannot connect to the X server on {self.display}: {error}") from error
        # A request on a window that is gone or not mapped yet only means "not yet"; the
        # replies that matter raise, and the rest need no report.
        self.connection.set_error_handler(lambda error, request: None)
        self.root = self.connection.screen().root
        self.run("xdotool", "mousemove", "0", "0")
        if window_manager:
            with open(os.path.join(workdir, "evilwm.log"), "wb") as log:
                self.window_manager = subprocess.Popen(["evilwm", "-fn", "fixed"], env=self.env,
                                                       stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                                       preexec_fn=die_with_parent)
            check = self.connection.intern_atom("_NET_SUPPORTING_WM_CHECK")
            poll(lambda: self.root.get_full_property(check, X.AnyPropertyType), 10, "the window manager to start")

    def run(self, *command, timeout=10):
        """Runs an X client to completion and returns its output; fails on an error."""
        try:
            done = subprocess.run(command, env=self.env, capture_output=True, timeout=timeout)
        except subprocess.TimeoutExpired as error:
            raise Failure(f"{' '.join(command)} did not finish in {timeout} s") from error
        if done.returncode != 0:
            raise Failure(f"{' '.join(command)} failed ({done.returncode}): "
                          f"{done.stderr.decode(errors='replace').strip()}")
        return done.stdout

    def find_window(self, name="Ravela", parent=None, depth=3):
        """The window with this name among the top-level windows and the frames a window
        manager puts them in, or None."""
        try:
            children = (parent or self.root).query_tree().children
        except Xlib.error.XError:
            return None  # gone meanwhile
        for child in children:
            try:
                if child.get_wm_name() == name:
                    return child
            except Xlib.error.XError:
                continue
            found = self.find_window(name, child, depth - 1) if depth > 1 else None
            if found:
                return found
        return None

    def read_area(self, window, area):
        """The raw pixels of an area (x, y, width, height) of the window, as the server
        keeps them, or None while they cannot be read."""
        try:
            return window.get_image(*area, X.ZPixmap, 0xFFFFFFFF).data
        except Xlib.error.XError:
            return None

    def capture(self, window, width, height):
        """The window's pixels as a Capture. A DirectColor window (SDL asks for one) shows
        each channel through its colour map, which is read along with the pixels."""
        try:
            # In one request, which the server answers between two of the game's: a
            # picture read in parts could mix two frames.
            data = window.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF).data
            attributes = window.get_attributes()
        except Xlib.error.XError as error:
            raise Failure(f"the window cannot be read: {error}") from error
        visual = self.visual(attributes.visual)
        formats = {f.depth: f.bits_per_pixel for f in self.connection.display.info.pixmap_formats}
        expect(formats.get(visual[0]) == 32, f"the window has {formats.get(visual[0])} bits per pixel; "
               "captures read 32")
        # Where each channel's byte lies in a pixel, in address order.
        order = ["X"] * 4
        for letter, mask in zip("RGB", visual[2:]):
            shift = (mask & -mask).bit_length() - 1
            expect(mask >> shift == 0xFF and shift % 8 == 0, f"a channel mask of {mask:#x}; captures read 8 bits")
            byte = shift // 8
            order[byte if self.connection.display.info.image_byte_order == X.LSBFirst else 3 - byte] = letter
        image = Image.frombuffer("RGB", (width, height), data, "raw", "".join(order), 4 * width, 1)
        if visual[1] == X.DirectColor:
            spread = [sum(i << ((mask & -mask).bit_length() - 1) for mask in visual[2:]) for i in range(256)]
            entries = attributes.colormap.query_colors(spread)
            image = image.point([entry[channel] >> 8 for channel in ("red", "green", "blue") for entry in entries])
        return Capture.from_image(image)

    def visual(self, visual_id):
        """(depth, class, red mask, green mask, blue mask) of a visual of the screen."""
        for depth in self.connection.screen().allowed_depths:
            for visual in depth.visuals:
                if visual.visual_id == visual_id:
                    return depth.depth, visual.visual_class, visual.red_mask, visual.green_mask, visual.blue_mask
        raise Failure(f"the screen has no visual {visual_id:#x}")

    def stop(self):
        """Ends every game started here, then the window manager and the server. The
        harness's own connection simply ends with them."""
        for game in self.games:
            game.stop()
        if self.connection:
            with contextlib.suppress(Exception):
                self.connection.close()
            self.connection = None
        stop_process(self.window_manager, "evilwm")
        stop_process(self.process, "Xvfb")


class Game:
    """One run of ravela on the X server, its console output kept in files."""

    def __init__(self, xserver, program, workdir, arguments=(), stdout=None, env=None, wait=True, pass_fds=()):
        """stdout, when given, replaces the file that keeps the console output: "closed"
        starts the game with its standard output closed, anything else is a file object.
        env adds to the game's environment (a value of None takes the variable out); the
        game inherits the descriptors in pass_fds. Without wait, wait_window is the caller's."""
        self.x = xserver
        self.out_path = os.path.join(workdir, "stdout")
        self.err_path = os.path.join(workdir, "stderr")

        def start_child():
            die_with_parent()
            if stdout == "closed":
                os.close(1)

        with open(self.out_path, "wb") as out, open(self.err_path, "wb") as err:
            self.started = time.monotonic()
            environment = {name: value for name, value in dict(xserver.env, **(env or {})).items()
                           if value is not None}
            self.process = subprocess.Popen([program, *arguments], env=environment, pass_fds=pass_fds,
                                            stdin=subprocess.DEVNULL, stderr=err,
                                            stdout=out if stdout in (None, "closed") else stdout,
                                            preexec_fn=start_child)
        xserver.games.append(self)
        if wait:
            self.wait_window()

    def wait_window(self):
        self.window = poll(self.find_window, 30, "a window titled \"Ravela\"")
        self.left, self.top, self.width, self.height = poll(self.viewable_geometry, 10, "the window to show")
        self.scale, self.origin = picture_place(self.width, self.height)
        self.focus()

    def focus(self):
        """Without a window manager nobody hands out the keyboard, so the harness does."""
        connection = self.x.connection

        def focused():
            self.window.set_input_focus(X.RevertToParent, X.CurrentTime)
            return connection.get_input_focus().focus == self.window

        poll(focused, 10, "the window to take the keyboard focus")

    def find_window(self):
        self.expect_running()
        return self.x.find_window()

    def viewable_geometry(self):
        """(left, top, width, height) of the window on the screen once it shows, else None."""
        try:
            if self.window.get_attributes().map_state != X.IsViewable:
                return None
            geometry = self.window.get_geometry()
            corner = self.x.root.translate_coords(self.window, 0, 0)
        except Xlib.error.XError:
            return None
        return corner.x, corner.y, geometry.width, geometry.height

    def expect_running(self):
        status = self.process.poll()
        if status is not None:
            raise Failure(f"ravela ended early with status {status}; its errors:\n"
                          f"{self.stderr().decode(errors='replace')}")

    def stdout(self):
        with open(self.out_path, "rb") as out:
            return out.read()

    def stderr(self):
        with open(self.err_path, "rb") as err:
            return err.read()

    def hide_and_show(self, hidden_for=0.0):
        """Unmaps the window and maps it again, as minimising and restoring it does; the X
        server keeps nothing of what it showed. The keyboard comes back to the window."""
        state = lambda: self.window.get_attributes().map_state
        self.window.unmap()
        poll(lambda: state() == X.IsUnmapped, 10, "the window to go")
        time.sleep(hidden_for)
        self.window.map()
        poll(lambda: state() == X.IsViewable, 10, "the window to come back")
        self.focus()

    def name(self):
        return self.window.get_wm_name()

    def maximum_size(self):
        """The largest size the window's WM_NORMAL_HINTS allow, or None if they set none."""
        hints = self.window.get_wm_normal_hints()
        if hints is None or not hints.flags & Xutil.PMaxSize:
            return None
        return hints.max_width, hints.max_height

    def key(self, *names, delay=40):
        """Presses and releases keys in order, delay milliseconds apart. SDL takes a press
        that comes within 2 ms of the release of the same key for a key repeat, which the
        game never sees; so the same key twice must go in two calls, each after the game
        has shown its effect."""
        expect(all(a != b for a, b in zip(names, names[1:])), f"the same key twice in a row: {names}")
        self.expect_running()
        self.x.run("xdotool", "key", "--delay", str(delay), *names)

    def press(self, keys, problem, what, delay=40):
        """Presses one key, or a tuple of keys, and waits for what it must bring (see wait_for)."""
        self.key(*((keys,) if isinstance(keys, str) else keys), delay=delay)
        return self.wait_for(problem, what)

    def point(self, x, y):
        """Moves the pointer to game pixel (x, y), whatever the picture's scale."""
        self.expect_running()
        self.x.run("xdotool", "mousemove", str(self.left + self.origin[0] + self.scale * x),
                   str(self.top + self.origin[1] + self.scale * y))

    def click(self):
        self.expect_running()
        self.x.run("xdotool", "click", "1")

    def window_capture(self):
        """The whole window as it shows."""
        self.expect_running()
        return self.x.capture(self.window, self.width, self.height)

    def capture(self):
        """The game's 640×480 picture, read back from the window at any scale."""
        return self.window_capture().picture(self.scale, *self.origin)

    def wait_for(self, problem, what, timeout=15):
        """Captures until problem(capture) finds nothing wrong (returns None) and returns
        that capture. On a timeout the failure tells what was still wrong, and the last
        capture is saved in the working directory for a look."""
        last = []

        def attempt():
            capture = self.capture()
            last[:] = [capture, problem(capture)]
            return last[1] is None

        try:
            poll(attempt, timeout, what)
        except Failure as failure:
            if not last:
                raise
            path = os.path.abspath(f"e2e-failure-{os.getpid()}.png")
            last[0].save_png(path)
            raise Failure(f"{failure}: {last[1]}; last capture saved as {path}") from failure
        return last[0]

    def request_close(self):
        """A WM_PROTOCOLS client message carrying WM_DELETE_WINDOW, as a window manager's
        close button sends, which SDL turns into a quit event. (xdotool's windowclose
        destroys the window instead, and windowkill cuts the program's connection; SDL
        reports neither as a quit.)"""
        connection = self.x.connection
        protocols = connection.intern_atom("WM_PROTOCOLS")
        delete = connection.intern_atom("WM_DELETE_WINDOW")
        event = Xlib.protocol.event.ClientMessage(window=self.window, client_type=protocols,
                                                  data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        self.window.send_event(event)
        connection.flush()

    def wait_exit(self, timeout=10):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired as error:
            raise Failure(f"ravela did not exit within {timeout} s") from error

    def stop(self):
        stop_process(self.process, "ravela")


@contextlib.contextmanager
def x_session(prefix, **server):
    """A working directory and an X server in it (XServer's options), for the body of the
    with statement; after it the server and every game started on it are ended."""
    with tempfile.TemporaryDirectory(prefix=prefix) as workdir:
        x = XServer(workdir, **server)
        try:
            yield x, workdir
        finally:
            x.stop()


def picture_place(width, height):
    """Where the game's picture lies in a window (or screen) of that size: the whole
    number n by which it is enlarged, and its top-left corner, centred."""
    n = max(1, min(width // 640, height // 480))
    return n, ((width - 640 * n) // 2, (height - 480 * n) // 2)


class Capture:
    """One picture of the game window: width × height pixels of packed RGB."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @staticmethod
    def from_image(image):
        """A capture of a Pillow image, or of a picture file's bytes."""
        if isinstance(image, bytes):
            image = Image.open(io.BytesIO(image))
        image = image.convert("RGB")
        return Capture(image.width, image.height, image.tobytes())

    def image(self):
        return Image.frombytes("RGB", (self.width, self.height), self.rgb)

    def picture(self, n, left, top):
        """The 640×480 game picture shown n times as large from (left, top) of this
        capture; fails unless every n×n block of it is one colour, as sharp pixels are."""
        if (n, left, top, self.width, self.height) == (1, 0, 0, 640, 480):
            return self
        expect(left + 640 * n <= self.width and top + 480 * n <= self.height,
               f"a {self.width}×{self.height} capture holds no {640 * n}×{480 * n} picture at ({left}, {top})")
        shown = self.image().crop((left, top, left + 640 * n, top + 480 * n))
        picture = shown.resize((640, 480), Image.NEAREST)
        if n > 1:
            sharp = picture.resize(shown.size, Image.NEAREST).tobytes()
            seen = shown.tobytes()
            if sharp != seen:
                row = next(y for y in range(480 * n) if sharp[y * 3 * 640 * n:(y + 1) * 3 * 640 * n]
                           != seen[y * 3 * 640 * n:(y + 1) * 3 * 640 * n])
                raise Failure(f"game row {row // n} is not shown in sharp {n}×{n} blocks: a blend")
        return Capture.from_image(picture)

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def area(self, x, y, width, height):
        """The packed RGB bytes of a rectangle, row after row."""
        return b"".join(self.rgb[3 * ((y + j) * self.width + x):3 * ((y + j) * self.width + x + width)]
                        for j in range(height))

    def count(self, rect, test):
        """How many pixels of the rectangle pass test(r, g, b)."""
        pixels = self.area(*rect)
        return sum(1 for i in range(0, len(pixels), 3) if test(pixels[i], pixels[i + 1], pixels[i + 2]))

    def save_png(self, path):
        self.image().save(path, "PNG")
