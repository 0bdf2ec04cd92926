"""A private X server and the game running in it, driven the way a person would: the
real-window tests (tests/e2e), tools/measure-program and tools/take-screenshots use it.

Xvfb picks the first free display number itself (-displayfd). xdotool sends keys and
pointer moves through the XTEST extension, xwd captures the game window, and a close
request goes to the window as a window manager would send it. Every child process is
ended by its own id, and the kernel ends it too should the driver die first.
"""

import contextlib
import ctypes
import ctypes.util
import os
import select
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib


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
    the driver itself end, even by SIGKILL."""
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
    screen; the pointer starts parked at (0, 0)."""

    def __init__(self, workdir, depth=24, size=(800, 600), window_manager=False):
        """window_manager runs evilwm, a small one that honours full-screen requests."""
        self.process = self.window_manager = None
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
        self.run("xdotool", "mousemove", "0", "0")
        if window_manager:
            with open(os.path.join(workdir, "evilwm.log"), "wb") as log:
                self.window_manager = subprocess.Popen(["evilwm", "-fn", "fixed"], env=self.env,
                                                       stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                                       preexec_fn=die_with_parent)
            poll(lambda: b"window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), 10,
                 "the window manager to start")

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

    def stop(self):
        stop_process(self.window_manager, "evilwm")
        stop_process(self.process, "Xvfb")


# Every game started, so that the driver can end them all by their ids however it stops.
GAMES = []


class Game:
    """One run of ravela on the X server, its console output kept in files."""

    def __init__(self, xserver, program, workdir, arguments=(), stdout=None, env=None, wait=True):
        """stdout, when given, replaces the file that keeps the console output: "closed"
        starts the game with its standard output closed, anything else is a file object.
        env adds to the game's environment. Without wait, wait_window is the caller's."""
        self.x = xserver
        self.out_path = os.path.join(workdir, "stdout")
        self.err_path = os.path.join(workdir, "stderr")

        def start_child():
            die_with_parent()
            if stdout == "closed":
                os.close(1)

        with open(self.out_path, "wb") as out, open(self.err_path, "wb") as err:
            self.started = time.monotonic()
            self.process = subprocess.Popen([program, *arguments], env=dict(xserver.env, **(env or {})),
                                            stdin=subprocess.DEVNULL, stderr=err,
                                            stdout=out if stdout in (None, "closed") else stdout,
                                            preexec_fn=start_child)
        GAMES.append(self)
        if wait:
            self.wait_window()

    def wait_window(self):
        self.window = poll(self.find_window, 30, "a window titled \"Ravela\"")
        self.left, self.top, self.width, self.height = poll(self.viewable_geometry, 10, "the window to show")
        self.scale, self.origin = picture_place(self.width, self.height)
        self.focus()

    def focus(self):
        """Without a window manager nobody hands out the keyboard, so the driver does."""
        self.x.run("xdotool", "windowfocus", self.window)
        poll(lambda: self.x.run("xdotool", "getwindowfocus").strip() == self.window.encode(), 10,
             "the window to take the keyboard focus")

    def find_window(self):
        self.expect_running()
        done = subprocess.run(["xdotool", "search", "--name", "^Ravela$"], env=self.x.env,
                              capture_output=True, timeout=10)
        ids = done.stdout.split()
        return ids[0].decode() if ids else None

    def viewable_geometry(self):
        info = self.x.run("xwininfo", "-id", self.window).decode()
        fields = dict(line.strip().split(": ", 1) for line in info.splitlines() if ": " in line)
        if fields.get("Map State") != "IsViewable":
            return None
        return tuple(int(fields[name]) for name in
                     ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

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
        self.x.run("xdotool", "windowunmap", "--sync", self.window)
        time.sleep(hidden_for)
        self.x.run("xdotool", "windowmap", "--sync", self.window)
        self.focus()

    def name(self):
        return self.x.run("xdotool", "getwindowname", self.window).decode().rstrip("\n")

    def size_hints(self):
        """The window's WM_NORMAL_HINTS as xprop prints them."""
        return self.x.run("xprop", "-id", self.window, "WM_NORMAL_HINTS").decode()

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
        try:
            return Capture.from_xwd(self.x.run("xwd", "-silent", "-id", self.window))
        except ValueError as error:
            raise Failure(str(error)) from error

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
        """Asks the window to close as a window manager's close button does (see Xlib)."""
        xlib = Xlib(self.x.display)
        try:
            xlib.request_close(int(self.window))
        finally:
            xlib.close()

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
    with statement; after it every game started and the server are ended."""
    with tempfile.TemporaryDirectory(prefix=prefix) as workdir:
        x = None
        try:
            x = XServer(workdir, **server)
            yield x, workdir
        finally:
            for game in GAMES:
                game.stop()
            if x:
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
    def from_xwd(data):
        """Reads the output of xwd: a big-endian header, the window name, a colour map, then
        the pixels, here 32 bits each with their channel masks in the header."""
        fields = struct.unpack(">25I", data[:100])
        header_size, width, height = fields[0], fields[4], fields[5]
        byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
        visual_class, masks, colours = fields[13], fields[14:17], fields[19]
        if bits_per_pixel != 32:
            raise ValueError(f"xwd gave {bits_per_pixel} bits per pixel; this reader wants 32")
        colourmap = data[header_size:header_size + 12 * colours]
        pixels = data[header_size + 12 * colours:]
        rows = b"".join(pixels[y * bytes_per_line:y * bytes_per_line + 4 * width] for y in range(height))
        rgb = bytearray(3 * width * height)
        for channel, mask in enumerate(masks):
            shift = (mask & -mask).bit_length() - 1
            values = rows[shift // 8 if byte_order == 0 else 3 - shift // 8::4]
            if visual_class == 5 and colours == 256:
                # A DirectColor window (SDL asks for one) shows each channel through the map.
                entries = [struct.unpack_from(">IHHHBB", colourmap, 12 * i) for i in range(256)]
                values = values.translate(bytes(entry[1 + channel] >> 8 for entry in entries))
            rgb[channel::3] = values
        return Capture(width, height, bytes(rgb))

    def picture(self, n, left, top):
        """The 640×480 game picture shown n times as large from (left, top) of this
        capture; fails unless every n×n block of it is one colour, as sharp pixels are."""
        if (n, left, top, self.width, self.height) == (1, 0, 0, 640, 480):
            return self
        expect(left + 640 * n <= self.width and top + 480 * n <= self.height,
               f"a {self.width}×{self.height} capture holds no {640 * n}×{480 * n} picture at ({left}, {top})")
        rows = []
        for y in range(480):
            lines = [self.area(left, top + n * y + k, 640 * n, 1) for k in range(n)]
            expect(all(line == lines[0] for line in lines), f"the rows of game row {y} differ: a blend")
            row = bytearray(3 * 640)
            for c in range(3):
                lanes = [lines[0][3 * k + c::3 * n] for k in range(n)]
                expect(all(lane == lanes[0] for lane in lanes), f"the columns of game row {y} differ: a blend")
                row[c::3] = lanes[0]
            rows.append(bytes(row))
        return Capture(640, 480, b"".join(rows))

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

    def to_png(self):
        raw = b"".join(b"\0" + self.rgb[3 * self.width * y:3 * self.width * (y + 1)] for y in range(self.height))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
                + chunk(b"IEND", b""))

    def save_png(self, path):
        with open(path, "wb") as picture:
            picture.write(self.to_png())


class XImage(ctypes.Structure):
    # Only the leading fields of Xlib's XImage that are read here.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


# Reading a window that is not mapped yet is an X error; it only means "not yet". The
# handler is the whole process's, so it lives as long as the process.
IGNORE_ERRORS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda _display, _event: 0)
POINTER_ULONG = ctypes.POINTER(ctypes.c_ulong)


class Xlib:
    """A connection of our own to the X server, through libX11: finds a top-level window by
    name and reads its pixels at once (faster than xdotool and xwd, for timing), and sends
    close requests. Close it before the server goes away: libX11 ends the process that
    still holds a connection to a lost server."""

    def __init__(self, display_name):
        path = ctypes.util.find_library("X11")
        expect(path, "libX11 is needed to talk to the X server")
        x = self.x = ctypes.CDLL(path)
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, POINTER_ULONG, POINTER_ULONG,
                                 ctypes.POINTER(POINTER_ULONG), ctypes.POINTER(ctypes.c_uint)]
        x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XGetImage.restype = ctypes.POINTER(XImage)
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                 ctypes.POINTER(XEvent)]
        x.XFlush.argtypes = [ctypes.c_void_p]
        x.XSetErrorHandler.argtypes = [type(IGNORE_ERRORS)]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x.XSetErrorHandler(IGNORE_ERRORS)
        self.display = x.XOpenDisplay(display_name.encode())
        expect(self.display, f"cannot open display {display_name}")
        self.root = x.XDefaultRootWindow(self.display)

    def find_window(self, name=b"Ravela", parent_window=None, depth=2):
        """The top-level window with this name, or None; also one that a window manager
        has put in a frame of its own."""
        root, parent, children, count = ctypes.c_ulong(), ctypes.c_ulong(), POINTER_ULONG(), ctypes.c_uint()
        if not self.x.XQueryTree(self.display, parent_window or self.root, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(children), ctypes.byref(count)):
            return None
        found = None
        for i in range(count.value):
            title = ctypes.c_char_p()
            if self.x.XFetchName(self.display, children[i], ctypes.byref(title)) and title.value:
                found = children[i] if title.value == name else None
                self.x.XFree(title)
            elif depth > 1:
                found = self.find_window(name, children[i], depth - 1)
            if found:
                break
        if children:
            self.x.XFree(children)
        return found

    def image(self, window, area):
        """The raw pixels of an area (x, y, width, height) of the window, or None while it
        cannot be read."""
        image = self.x.XGetImage(self.display, window, *area, 0xFFFFFFFFFFFFFFFF, 2)  # all planes, ZPixmap
        if not image:
            return None
        data = ctypes.string_at(image.contents.data, image.contents.bytes_per_line * image.contents.height)
        self.x.XDestroyImage(image)
        return data

    def request_close(self, window):
        """A WM_PROTOCOLS client message carrying WM_DELETE_WINDOW, as a window manager's
        close button sends, which SDL turns into a quit event. (xdotool's windowclose
        destroys the window instead, and windowkill cuts the program's connection; SDL
        reports neither as a quit.)"""
        event = XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = self.x.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = self.x.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        expect(self.x.XSendEvent(self.display, window, 0, 0, ctypes.byref(event)), "XSendEvent failed")
        self.x.XFlush(self.display)

    def close(self):
        if self.display:
            self.x.XCloseDisplay(self.display)
            self.display = None
