#!/usr/bin/env python3
"""Runs the real program under the X server in DISPLAY with the simulated controller, in a fresh
working directory, and drives it as a person would: mouse clicks and keys through xdotool (XTEST),
the window manager's close request, screenshots read back as pixels.

  app_e2e_test.py --program EXE --sim-dir DIR --beep FILE [--build-dir DIR] [--shots DIR] CASE...

Each CASE is one of the functions named case_*; "all" runs every one. Every case has a folder and
an XDG_RUNTIME_DIR of its own, and every start of the program there its own HOME, so that nothing
of the user's, of another run or of another program reaches it. Screenshots are kept in --shots,
or in ORVO_SCREENSHOT_DIR when that is set. Exit status 0 when all pass, 77 when every case was
skipped.
"""

import argparse
import ctypes
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# Template geometry in dialog units, turned into pixels as the program does (x * 6 / 4,
# y * 13 / 8), then moved as the start-up layout moves them.
DLU_X = 6 / 4
DLU_Y = 13 / 8
TEMPLATE_WIDTH_PX = 763 * DLU_X
CUT_PX = int(0.25 * TEMPLATE_WIDTH_PX)
SHIFT_PX = int(0.122 * TEMPLATE_WIDTH_PX)


def rect(x, y, w, h, moved=False):
    left = x * DLU_X - (CUT_PX if moved else 0)
    return (int(left), int(y * DLU_Y), int(w * DLU_X), int(h * DLU_Y))


SEND = rect(666, 351, 90, 24, moved=True)
GET = rect(570, 351, 90, 24, moved=True)
LANGUAGE = rect(642, 30, 54, 18, moved=True)
EXIT = rect(699, 30, 54, 18, moved=True)
STATUS_LABEL = rect(594, 10, 138, 18, moved=True)
STATUS_ICON = rect(732, 6, 20, 20, moved=True)
BACKUP = rect(9, 351, 66, 24)
RESTORE = rect(78, 351, 66, 24)
ASSIGN = rect(189, 351, 90, 24)
PAGE = (int(15 * DLU_X) + SHIFT_PX, int(64 * DLU_Y), int(351 * DLU_X), int(276 * DLU_Y))
CAPTIONED = {"send": SEND, "get": GET, "language": LANGUAGE, "exit": EXIT,
             "status label": STATUS_LABEL, "backup": BACKUP, "restore": RESTORE,
             "assign": ASSIGN, "throttle page": PAGE}
# The throttle page's "+" of its upper dead zone, in pixels from the page's corner.
PAGE_UPPER_PLUS = (PAGE[0] + 473, PAGE[1] + 43)
# The throttle page's Preset B button, at the right end of its row.
PAGE_PRESET_B = (PAGE[0] + int(311 * DLU_X), PAGE[1] + int(231 * DLU_Y))

SPANISH_TITLE = "Orvo Zantor Pedals - Utilidad de Calibración Kavo Edition 1.1.10"
ENGLISH_TITLE = "Orvo Zantor Pedals - Calibration Utility Kavo Edition 1.1.10"


class Failure(Exception):
    pass


class Skip(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def wait_for(predicate, timeout, what):
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.05)


def xdotool(*args):
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True)
    return result.stdout.strip()


def find_windows(pid, name, visible=True):
    args = ["search", "--all"] + (["--onlyvisible"] if visible else []) + ["--pid", pid, "--name", name]
    return [int(w) for w in xdotool(*args).split()]


def geometry(window):
    out = xdotool("getwindowgeometry", "--shell", window)
    values = dict(line.split("=") for line in out.splitlines() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def is_viewable(window):
    out = subprocess.run(["xwininfo", "-id", str(window)], capture_output=True, text=True).stdout
    return "IsViewable" in out


def click(window, x, y, button=1):
    xdotool("mousemove", "--window", window, int(x), int(y))
    time.sleep(0.05)
    xdotool("click", button)


def click_centre(window, r):
    click(window, r[0] + r[2] / 2, r[1] + r[3] / 2)


def key(*names):
    for name in names:
        xdotool("key", name)
        time.sleep(0.15)


def grab(window, path=None):
    """The window's pixels as (width, height, bytes of RGB)."""
    png = subprocess.run(["import", "-window", str(window), "png:-"], capture_output=True,
                         check=True).stdout
    if path:
        with open(path, "wb") as f:
            f.write(png)
    size = subprocess.run(["convert", "png:-", "-format", "%w %h", "info:"], input=png,
                          capture_output=True, check=True).stdout.split()
    rgb = subprocess.run(["convert", "png:-", "-depth", "8", "rgb:-"], input=png,
                         capture_output=True, check=True).stdout
    return int(size[0]), int(size[1]), rgb


def crop(image, r, margin=2):
    width, _, rgb = image
    x, y, w, h = r[0] + margin, r[1] + margin, r[2] - 2 * margin, r[3] - 2 * margin
    rows = [rgb[((y + j) * width + x) * 3:((y + j) * width + x + w) * 3] for j in range(h)]
    return b"".join(rows)


def mean_rgb(pixels):
    n = len(pixels) // 3
    return tuple(sum(pixels[c::3]) / n for c in range(3))


def icon_state(window):
    r, g, _ = mean_rgb(crop(grab(window), STATUS_ICON, margin=4))
    return "connected" if g > r else "disconnected"


# ---- Sending the close box's request, as a window manager would ----

class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def send_close_request(window):
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(XEvent)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    check(display, "cannot open the display")
    event = XEvent()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    event.xclient.data[1] = 0  # CurrentTime
    x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x11.XFlush(display)
    x11.XCloseDisplay(display)


# ---- The program and the simulation ----

def private_environment(ctx, run_dir):
    """The environment of one start of the program: a HOME of its own, no XDG folders of the
    user's, and the case's XDG_RUNTIME_DIR. The single-instance lock lives there, so the copies
    one case starts see each other, and no other run's."""
    env = dict(os.environ)
    for name in ("XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"):
        env.pop(name, None)
    env["HOME"] = os.path.join(run_dir, "home")
    env["XDG_RUNTIME_DIR"] = os.path.join(ctx.case_folder, "runtime")
    os.makedirs(env["HOME"])
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    return env


class Program:
    def __init__(self, ctx, workdir, controller="0.3", values="still:32768,16384,0",
                 simulated=True):
        self.ctx = ctx
        self.workdir = workdir
        run_dir = ctx.run_dir()
        env = private_environment(ctx, run_dir)
        env["ORVO_SIM_CONTROLLER"] = controller
        env["ORVO_SIM_VALUES"] = values
        env["ORVO_SIM_LOG"] = os.path.join(workdir, "sim.log")
        env["ORVO_SIM_STATE"] = ""
        if simulated:
            env["LD_LIBRARY_PATH"] = ctx.sim_dir
        else:
            env.pop("LD_LIBRARY_PATH", None)
        self.stderr_path = os.path.join(run_dir, "stderr")
        with open(self.stderr_path, "wb") as stderr:
            self.process = subprocess.Popen([ctx.program], cwd=workdir, env=env,
                                            stdout=subprocess.DEVNULL, stderr=stderr)
        self.pid = self.process.pid
        self.window = None

    def stderr(self):
        with open(self.stderr_path, errors="replace") as f:
            return f.read()

    def wait_main_window(self, timeout=10):
        found = wait_for(lambda: find_windows(self.pid, "^Orvo Zantor Pedals - "), timeout,
                         "the main window")
        self.window = found[0]
        time.sleep(0.3)  # first paint
        return self.window

    def alive(self):
        return self.process.poll() is None

    def wait_end(self, timeout=5):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end")

    def log_lines(self):
        try:
            with open(os.path.join(self.workdir, "sim.log")) as f:
                return [line for line in f.read().splitlines() if " controller " in line]
        except FileNotFoundError:
            return []

    def title(self):
        return xdotool("getwindowname", self.window)

    def question_box(self, timeout=3):
        return wait_for(lambda: find_windows(self.pid, "^Orvo Pedals$"), timeout,
                        "the unsaved-changes question")[0]

    def answer(self, choice):
        """Clicks No or Yes in the question box (No on the left, Yes on the right)."""
        box = self.question_box()
        _, _, w, h = geometry(box)
        click(box, w * (0.25 if choice == "No" else 0.75), h - 14)
        wait_for(lambda: not find_windows(self.pid, "^Orvo Pedals$"), 3, "the question to close")

    def make_dirty(self):
        click(self.window, *PAGE_UPPER_PLUS)
        time.sleep(0.2)

    def stop(self):
        if self.alive():
            self.process.kill()
            self.process.wait()


def report_bytes(line):
    hexes = line.split(" controller ", 1)[1].split(" -> ")[0].split()
    return [int(h, 16) for h in hexes]


def xor(values):
    result = 0
    for v in values:
        result ^= v
    return result


def check_send_pair(lines, store):
    check(len(lines) == 2, "two output reports, got %d" % len(lines))
    curve, settings = report_bytes(lines[0]), report_bytes(lines[1])
    check(curve[1] == 0x17, "the throttle curve report comes first")
    check(settings[1] == 0x07, "the pedal settings report comes second")
    check(curve[22] == xor(curve[2:22]), "check byte of the 0x17 report")
    check(settings[43] == xor(settings[2:43]), "check byte of the 0x07 report")
    check(settings[42] == (1 if store else 0), "store flag %d" % store)
    check("applied throttle curve" in lines[0], "the controller took the curve")
    want = "applied pedal settings, stored" if store else "applied pedal settings"
    check(lines[1].endswith(want), "the controller took the settings: " + lines[1])


def connect(program):
    program.wait_main_window()
    wait_for(lambda: icon_state(program.window) == "connected", 5, "the connected icon")
    wait_for(lambda: len(program.log_lines()) >= 2, 3, "the live apply after connecting")
    time.sleep(0.2)


# ---- Cases ----

def case_send_config(ctx, workdir):
    """The icon turns connected when the controller is plugged; Send Config stores the
    configuration with valid check bytes and writes the preset to presets.ini."""
    p = ctx.start(workdir, controller="1.5")
    p.wait_main_window()
    check(icon_state(p.window) == "disconnected", "disconnected icon before the plug")
    click_centre(p.window, SEND)  # disabled: nothing may go out
    time.sleep(0.3)
    check(not p.log_lines(), "nothing sent before the controller is plugged")
    connect(p)
    grab(p.window, ctx.shot("main-spanish.png"))
    # The live apply of the connection: the same pair without the store flag.
    check_send_pair(p.log_lines()[:2], store=False)
    before = len(p.log_lines())
    click_centre(p.window, SEND)
    wait_for(lambda: len(p.log_lines()) >= before + 2, 3, "Send Config's reports")
    check_send_pair(p.log_lines()[before:], store=True)
    ini_path = os.path.join(workdir, "presets.ini")

    def preset_keys():
        ini = read_ini(ini_path) if os.path.exists(ini_path) else ""
        return re.findall(r"^(\w+)=", ini.split("[PRESET_0]", 1)[1], re.M) if "[PRESET_0]" in ini else []

    # Written key by key after the reports went out: complete once axis_mode, the last, is there.
    keys = wait_for(lambda: [k for k in [preset_keys()] if "axis_mode" in k], 5,
                    "the preset section")[0]
    check(len(keys) >= 24 and "band_100" in keys, "the preset's 24 keys are written")
    p.stop()


def case_unplug(ctx, workdir):
    """Unplugging turns the icon to disconnected and disables Send Config and Get Config."""
    p = ctx.start(workdir, controller="0.3-3")
    connect(p)
    wait_for(lambda: icon_state(p.window) == "disconnected", 6, "the disconnected icon")
    before = len(p.log_lines())
    click_centre(p.window, SEND)
    click_centre(p.window, GET)
    time.sleep(0.5)
    check(len(p.log_lines()) == before, "disabled buttons send nothing")
    check(not find_windows(p.pid, "^Orvo Pedals$"), "no question from a disabled button")
    p.stop()


def case_get_config(ctx, workdir):
    """Get Config loads and applies live at once when clean; with unsent changes it asks, and
    only Yes goes on."""
    p = ctx.start(workdir)
    connect(p)
    before = len(p.log_lines())
    click_centre(p.window, GET)
    wait_for(lambda: len(p.log_lines()) >= before + 2, 3, "Get Config's live apply")
    check_send_pair(p.log_lines()[before:], store=False)
    p.make_dirty()
    before = len(p.log_lines())
    click_centre(p.window, GET)
    p.answer("No")
    time.sleep(0.3)
    check(len(p.log_lines()) == before, "No leaves everything as it is")
    click_centre(p.window, GET)
    p.answer("Yes")
    wait_for(lambda: len(p.log_lines()) >= before + 2, 3, "the live apply after Yes")
    p.stop()


def case_exit_clean(ctx, workdir):
    """Exit without unsent changes ends the program at once."""
    p = ctx.start(workdir)
    connect(p)
    click_centre(p.window, EXIT)
    check(p.wait_end() == 0, "exit status 0")


def case_exit_with_unsent_changes(ctx, workdir):
    """Exit with unsent changes asks; No and a closed box keep the program, Yes ends it."""
    p = ctx.start(workdir)
    connect(p)
    p.make_dirty()
    click_centre(p.window, EXIT)
    p.answer("No")
    time.sleep(0.3)
    check(p.alive(), "No keeps the program running")
    # Esc on the box closes it without an answer: not a Yes.
    key("Escape")  # on the main window: the same exit
    box = p.question_box()
    _, _, w, h = geometry(box)
    xdotool("mousemove", "--window", box, w // 2, h // 3)
    key("Escape")
    wait_for(lambda: not find_windows(p.pid, "^Orvo Pedals$"), 3, "the box to close")
    time.sleep(0.3)
    check(p.alive(), "closing the question keeps the program running")
    click_centre(p.window, EXIT)
    p.answer("Yes")
    check(p.wait_end() == 0, "Yes ends the program")


def case_language(ctx, workdir):
    """The language button switches every caption to English and back."""
    p = ctx.start(workdir, controller="none")
    p.wait_main_window()
    check(p.title() == SPANISH_TITLE, "Spanish title at start: " + p.title())

    def toggled(title, shot=None):
        click_centre(p.window, LANGUAGE)
        wait_for(lambda: p.title() == title, 3, "the title " + title)
        xdotool("mousemove", "--window", p.window, 5, 5)  # no hover highlight in the grab
        time.sleep(0.3)
        return grab(p.window, shot)

    xdotool("mousemove", "--window", p.window, 5, 5)
    time.sleep(0.2)
    spanish = grab(p.window)
    english = toggled(ENGLISH_TITLE, ctx.shot("main-english.png"))
    back = toggled(SPANISH_TITLE, ctx.shot("main-spanish-again.png"))
    for name, r in CAPTIONED.items():
        check(crop(spanish, r) != crop(english, r), name + " changes its caption")
        check(crop(back, r) != crop(english, r), name + " changes back")
        # The language button now has the keyboard focus, which draws its own ring.
        if r != LANGUAGE:
            check(crop(spanish, r) == crop(back, r), name + " is as it was")
    p.stop()


def case_second_copy(ctx, workdir):
    """A second copy shows the already-running message and ends; the first runs on."""
    first = ctx.start(workdir, controller="none")
    first.wait_main_window()
    second = ctx.start(workdir, controller="none")
    box = wait_for(lambda: find_windows(second.pid, "^Orvo Zantor Pedals$"), 10,
                   "the already-running message")[0]
    time.sleep(0.3)
    grab(box, ctx.shot("already-running.png"))
    check(not find_windows(second.pid, "^Orvo Zantor Pedals - "), "no second main window")
    _, _, w, h = geometry(box)
    click(box, w / 2, h - 14)  # OK
    # A refused start ends as the toolkit ends a start refused (status 255), and what the
    # program made before the check is gone before the toolkit's clean-up: no signal, no report.
    check(second.wait_end() == 255, "the second copy ends refused, not by a signal or a report")
    late = [line for line in second.stderr().splitlines()
            if "CRITICAL" in line or "AddressSanitizer" in line]
    check(not late, "the second copy's end complains: " + "; ".join(late[:3]))
    check(first.alive() and is_viewable(first.window), "the first copy runs on")
    first.stop()


def tray_icon_window(ctx, pid):
    """The program's icon window embedded in the tray host."""
    def find():
        for w in xdotool("search", "--all", "--pid", pid, "--name", "orvo-pedals").split():
            x, y, width, height = geometry(int(w))
            if 16 <= width <= 64 and 16 <= height <= 64 and is_viewable(int(w)):
                return int(w)
        return None
    return wait_for(find, 5, "the tray icon")


def start_tray_host():
    """A notification area at the top right of the screen, for the program's icon."""
    tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--widthtype",
                             "request", "--height", "32", "--transparent", "false"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(0.8)
    return tray


def open_tray_menu(icon):
    """Opens the icon's menu; returns the menu's window."""
    pid = xdotool("getwindowpid", icon)
    shown = set(find_windows(pid, ""))
    _, _, w, h = geometry(icon)
    click(icon, w / 2, h / 2, button=3)

    def menu():
        for window in find_windows(pid, ""):
            _, _, width, height = geometry(window)
            if window not in shown and 50 <= width <= 400 and 30 <= height <= 200:
                return window
        return None
    found = wait_for(menu, 3, "the tray menu")
    time.sleep(0.3)  # drawn
    return found


def close_tray_menu(menu):
    check(is_viewable(menu), "the tray menu is still open")  # Escape is meant for it
    key("Escape")
    wait_for(lambda: not is_viewable(menu), 3, "the tray menu to close")
    # Off the icon, where no tip comes up to cover the next menu.
    xdotool("mousemove", 5, 1015)


def tray_menu_items_usable(menu):
    """Whether "Abrir" (the upper half) and "Salir" (the lower half) show in usable, dark text;
    disabled items are drawn in grey."""
    width, height, rgb = grab(menu)

    def dark(top, bottom):
        return any(max(rgb[i:i + 3]) < 100
                   for i in range(top * width * 3, bottom * width * 3, 3))
    return dark(0, height // 2), dark(height // 2, height)


def case_tray(ctx, workdir):
    """The close box hides the window into the tray; the tray menu opens it again, follows the
    language, and exits."""
    tray = start_tray_host()
    try:
        p = ctx.start(workdir, controller="none")
        p.wait_main_window()
        icon = tray_icon_window(ctx, p.pid)
        send_close_request(p.window)
        wait_for(lambda: not is_viewable(p.window), 3, "the window to hide")
        check(p.alive(), "the close box does not end the program")
        open_tray_menu(icon)
        menu_spanish = grab_root_near(icon)
        key("Down", "Return")  # Abrir
        wait_for(lambda: is_viewable(p.window), 3, "Abrir to show the window")
        time.sleep(0.3)
        click_centre(p.window, LANGUAGE)
        wait_for(lambda: p.title() == ENGLISH_TITLE, 3, "the English title")
        open_tray_menu(icon)
        menu_english = grab_root_near(icon, ctx.shot("tray-menu-english.png"))
        check(menu_spanish != menu_english, "the tray menu speaks English")
        key("Down", "Down", "Return")  # Exit
        check(p.wait_end() == 0, "the tray's exit ends the program")
    finally:
        tray.terminate()
        tray.wait()


def open_get_config_question(p):
    click_centre(p.window, GET)
    return p.question_box()


def open_preset_question(p):
    click(p.window, *PAGE_PRESET_B)
    return p.question_box()


def open_backup_dialog(p):
    click_centre(p.window, BACKUP)
    return file_dialog(p)


def open_assignment_dialog(p):
    click_centre(p.window, ASSIGN)
    return assignment_dialog(p)


def answer_no(p, dialog):
    p.answer("No")


def cancel_file_dialog(p, dialog):
    focus(dialog)
    key("Escape")


def close_assignment_dialog(p, dialog):
    send_close_request(dialog)


# The program's modal windows over unsent changes: how each opens, how it is answered, and
# whether the edit is still unsent afterwards (the preset question loads the other preset).
TRAY_EXIT_DIALOGS = [
    ("get-config-question", open_get_config_question, answer_no, True),
    ("preset-question", open_preset_question, answer_no, False),
    ("backup-file-dialog", open_backup_dialog, cancel_file_dialog, True),
    ("assignment-dialog", open_assignment_dialog, close_assignment_dialog, True),
]


def case_tray_exit_under_dialogs(ctx, workdir):
    """While one of the program's windows is open over unsent changes, the tray menu shows its
    items disabled and choosing Exit neither ends the program nor asks: the window stays and
    can be answered. Once it has ended, Exit asks the unsaved-changes question as always."""
    tray = start_tray_host()
    try:
        p = ctx.start(workdir)
        connect(p)
        icon = tray_icon_window(ctx, p.pid)
        menu = open_tray_menu(icon)
        check(tray_menu_items_usable(menu) == (True, True), "the menu's items are usable")
        close_tray_menu(menu)
        p.make_dirty()
        for name, open_dialog, answer, keeps_edit in TRAY_EXIT_DIALOGS:
            dialog = open_dialog(p)
            questions = find_windows(p.pid, "^Orvo Pedals$")
            menu = open_tray_menu(icon)
            grab("root", ctx.shot("tray-menu-under-%s.png" % name))
            check(tray_menu_items_usable(menu) == (False, False),
                  name + ": the menu's items show disabled")
            key("Down", "Down", "Return")  # Salir, as far as a disabled item can be chosen
            close_tray_menu(menu)
            time.sleep(0.3)  # an exit would have begun by now
            check(p.alive(), name + ": the program runs on")
            check(is_viewable(dialog), name + ": the window stays open")
            check(find_windows(p.pid, "^Orvo Pedals$") == questions, name + ": no question")
            answer(p, dialog)
            wait_for(lambda: not is_viewable(dialog), 5, name + ": the window to close")
            if not keeps_edit:
                p.make_dirty()
            menu = open_tray_menu(icon)
            check(tray_menu_items_usable(menu) == (True, True), name + ": usable again")
            key("Down", "Down", "Return")  # Salir
            p.answer("No")
            time.sleep(0.3)
            check(p.alive(), name + ": No keeps the program running")
        open_tray_menu(icon)
        key("Down", "Down", "Return")
        p.answer("Yes")
        check(p.wait_end() == 0, "Yes ends the program")
    finally:
        tray.terminate()
        tray.wait()


def grab_root_near(icon, path=None):
    x, y, _, _ = geometry(icon)
    region = "%dx%d+%d+%d" % (260, 120, max(0, x - 200), max(0, y))
    png = subprocess.run(["import", "-window", "root", "-crop", region, "png:-"],
                         capture_output=True, check=True).stdout
    if path:
        with open(path, "wb") as f:
            f.write(png)
    return png


def case_close_without_tray(ctx, workdir):
    """Without a notification area the close box must not hide the window for good: it asks
    for a minimise, which leaves the window reachable."""
    p = ctx.start(workdir, controller="none")
    p.wait_main_window()
    send_close_request(p.window)
    time.sleep(0.8)
    check(p.alive(), "the close box does not end the program")
    check(is_viewable(p.window), "the window is still reachable (minimised, not hidden)")
    p.stop()


def case_library_beside_program(ctx, workdir):
    """Without LD_LIBRARY_PATH the program loads the libmcHID.so that lies beside it."""
    p = ctx.start(workdir, controller="none", simulated=False)
    p.wait_main_window()
    beside = os.path.join(os.path.dirname(os.path.realpath(ctx.program)), "libmcHID.so")
    with open("/proc/%d/maps" % p.pid) as f:
        maps = f.read()
    check(beside in maps, "loaded " + beside)
    p.stop()


FILE_DIALOG_TITLE = "^Select a file$"
# The assignment dialog's capture button of throttle preset B, in its dialog units.
ASSIGN_THROTTLE_B = (int((138 + 48) * DLU_X), int((93 + 9) * DLU_Y))


def focus(window):
    """Without a window manager nothing gives a window the keyboard: the test does."""
    xdotool("windowfocus", "--sync", window)
    time.sleep(0.2)


def type_text(text):
    xdotool("type", "--delay", 15, text)
    time.sleep(0.3)


def file_dialog(p):
    found = wait_for(lambda: find_windows(p.pid, FILE_DIALOG_TITLE), 5, "the file dialog")[0]
    time.sleep(0.8)  # the chooser fills its lists
    return found


def read_ini(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def ini_value(text, section, name):
    body = re.split(r"^\[" + re.escape(section) + r"\]\s*$", text, maxsplit=1, flags=re.M)
    if len(body) < 2:
        return None
    body = re.split(r"^\[", body[1], maxsplit=1, flags=re.M)[0]
    found = re.search(r"^" + re.escape(name) + r"=(.*?)\s*$", body, re.M)
    return found.group(1) if found else None


def write_settings(workdir, text):
    with open(os.path.join(workdir, "presets.ini"), "w", encoding="utf-8") as f:
        f.write(text)


def describe(path):
    """What stands at path, to tell that nothing changed it."""
    if os.path.islink(path):
        return "link to %s%s" % (os.readlink(path), "" if os.path.exists(path) else " (nothing)")
    if os.path.isdir(path):
        return "folder of %s" % sorted(os.listdir(path))
    if os.path.isfile(path):
        with open(path, "rb") as f:
            return "file %r, mode %o" % (f.read(), os.stat(path).st_mode & 0o7777)
    return "nothing"


def frozen_file(path):
    with open(path, "w") as f:
        f.write("[CNF]\npreset=0\n")
    os.chmod(path, 0o444)


# Refusals a test can make as root, who passes every permission check: (name, how, language).
SETTINGS_REFUSALS = (
    ("read-only", frozen_file, "spanish"),
    ("folder", os.mkdir, "english"),
    ("link to nothing", lambda path: os.symlink("nowhere.ini", path), "spanish"),
)


def case_settings_not_saved(ctx, workdir):
    """With a presets.ini that may not be written (read-only, a folder or a link to nothing in
    its place) the program leaves it as it is, and the first save that fails says so in a box of
    its own, in the language showing; later saves say nothing."""
    for name, make, language in SETTINGS_REFUSALS:
        where = name + ": "
        folder = os.path.join(ctx.case_folder, name.replace(" ", "-"))
        os.makedirs(folder)
        shutil.copy(ctx.beep, os.path.join(folder, "beep.mp3"))
        settings = os.path.join(folder, "presets.ini")
        make(settings)
        before = describe(settings)
        p = ctx.start(folder)
        connect(p)
        check(not find_windows(p.pid, "^Orvo Pedals$"), where + "no box at start")
        if language == "english":
            click_centre(p.window, LANGUAGE)
            wait_for(lambda: p.title() == ENGLISH_TITLE, 3, where + "the English title")

        def send_and_wait():
            count = len(p.log_lines())
            click_centre(p.window, SEND)
            wait_for(lambda: len(p.log_lines()) >= count + 2, 3, where + "Send Config's reports")

        # Send Config stores the preset in presets.ini as well.
        send_and_wait()
        box = wait_for(lambda: find_windows(p.pid, "^Orvo Pedals$"), 5,
                       where + "the settings-not-saved box")[0]
        time.sleep(0.3)  # first paint
        grab(box, ctx.shot("settings-not-saved-%s-%s.png" % (language, name.replace(" ", "-"))))
        focus(box)
        key("Return")
        wait_for(lambda: not find_windows(p.pid, "^Orvo Pedals$"), 3, where + "the box to close")

        send_and_wait()
        # A box that was going to come has come by the time a question asked later has been
        # answered: Get Config with unsent changes asks, and only its Yes applies live.
        p.make_dirty()
        count = len(p.log_lines())
        click_centre(p.window, GET)
        p.answer("Yes")
        wait_for(lambda: len(p.log_lines()) >= count + 2, 3, where + "Get Config's live apply")
        check(not find_windows(p.pid, "^Orvo Pedals$"), where + "no second box")
        check(describe(settings) == before, where + "presets.ini as it was: " + describe(settings))
        p.stop()


def case_backup_restore(ctx, workdir):
    """Save Preset writes the presets as presets.ini holds them into the file typed into the save
    dialog; Load Preset of that file (its preset changed to C) selects C, writes [CNF] preset and
    applies live twice without the store flag."""
    write_settings(workdir, "[CNF]\npreset=0\n[PRESET_2]\ndz_0=17\n")
    p = ctx.start(workdir)
    connect(p)
    backup = os.path.join(workdir, "my backup.txt")
    before = len(p.log_lines())
    click_centre(p.window, BACKUP)
    dialog = file_dialog(p)
    grab(dialog, ctx.shot("backup-save-dialog.png"))
    focus(dialog)
    key("ctrl+a")
    type_text(backup)
    key("Return")
    wait_for(lambda: os.path.exists(backup) and not find_windows(p.pid, FILE_DIALOG_TITLE), 5,
             "the backup file")
    saved = read_ini(backup)
    check(ini_value(saved, "THROTTLE", "actual_preset") == "0", "the selected preset is saved")
    check(ini_value(saved, "THROTTLE_2", "dz_0") == "17", "preset C as presets.ini holds it")
    check(len(re.findall(r"^\w+=", saved, re.M)) == 73, "73 keys: no brake or clutch section")
    check(len(p.log_lines()) == before, "a backup sends nothing")

    with open(backup, "w", encoding="utf-8") as f:
        f.write(saved.replace("actual_preset=0", "actual_preset=2").replace("dz_0=17", "dz_0=23"))
    click_centre(p.window, RESTORE)
    dialog = file_dialog(p)
    focus(dialog)
    key("ctrl+l")
    type_text(backup)
    key("Return")
    wait_for(lambda: len(p.log_lines()) >= before + 4, 5, "the restore's two live applies")
    time.sleep(0.3)
    lines = p.log_lines()[before:]
    check(len(lines) == 4, "two live applies, got %d reports" % len(lines))
    check_send_pair(lines[:2], store=False)
    check_send_pair(lines[2:], store=False)
    settings = read_ini(os.path.join(workdir, "presets.ini"))
    check(ini_value(settings, "CNF", "preset") == "2", "the restored preset is selected")
    check(ini_value(settings, "PRESET_2", "dz_0") == "23", "the presets are restored")
    check(ini_value(settings, "BRAKE", "max_force") is None,
          "a file without a brake section leaves the brake's stored force alone")
    p.stop()


def case_hot_key_preset(ctx, workdir):
    """A keyboard key assigned to throttle preset B acts while the window is hidden: preset B is
    loaded, written as selected and applied live; pressing it again does nothing."""
    write_settings(workdir, "[CNF]\npreset=0\n[JOY]\nthrottle_B_joy=-1\nthrottle_B_but=66\n")
    tray = start_tray_host()
    try:
        p = ctx.start(workdir)
        connect(p)
        tray_icon_window(ctx, p.pid)
        send_close_request(p.window)
        wait_for(lambda: not is_viewable(p.window), 3, "the window to hide")
        before = len(p.log_lines())

        def press_b():
            xdotool("keydown", "b")
            time.sleep(0.15)
            xdotool("keyup", "b")
            time.sleep(0.3)

        press_b()
        wait_for(lambda: len(p.log_lines()) >= before + 2, 3, "the hot key's live apply")
        time.sleep(0.3)
        check_send_pair(p.log_lines()[before:], store=False)
        settings = read_ini(os.path.join(workdir, "presets.ini"))
        check(ini_value(settings, "CNF", "preset") == "1", "preset B written as selected")
        press_b()
        time.sleep(0.3)
        check(len(p.log_lines()) == before + 2, "the current preset's key does nothing")
        p.stop()
    finally:
        tray.terminate()
        tray.wait()


def monitor_window(p):
    """The monitor pop-up: the program's visible 152 x 102 window."""
    def find():
        for w in find_windows(p.pid, "^$"):
            if geometry(w)[2:] == (152, 102):
                return w
        return None
    return find()


def stored_monitor_position(workdir):
    settings = read_ini(os.path.join(workdir, "presets.ini"))
    x, y = ini_value(settings, "MONITOR", "x"), ini_value(settings, "MONITOR", "y")
    return (int(x), int(y)) if x is not None and y is not None else None


def case_monitor_position(ctx, workdir):
    """Under a window manager, start after start: the monitor pop-up comes up where it was
    stored and leaves MONITOR x/y alone, and a drag stores where the window really is.
    ORVO_MONITOR_STARTS sets the number of starts (default 3)."""
    starts = int(os.environ.get("ORVO_MONITOR_STARTS", "3"))
    write_settings(workdir, "[MONITOR]\nenable_window=1\nx=450\ny=300\n"
                            "[CNF]\npreset=0\n[JOY]\nthrottle_B_joy=-1\nthrottle_B_but=66\n"
                            "throttle_A_joy=-1\nthrottle_A_but=65\n")
    state = tempfile.mkdtemp(prefix="openbox-", dir=workdir)
    env = dict(os.environ, XDG_CONFIG_HOME=state, XDG_CACHE_HOME=state, XDG_DATA_HOME=state)
    manager = subprocess.Popen(["openbox", "--sm-disable"], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    stored = (450, 300)
    try:
        wait_for(lambda: "window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True,
            text=True).stdout and manager.poll() is None, 10, "openbox")
        for start in range(starts):
            where = "start %d: " % start
            # Plugged from the start: the connection's live apply pops the monitor up while the
            # program is still coming up.
            p = ctx.start(workdir, controller="0")
            connect(p)
            # The hot key for the preset not selected pops the monitor up.
            key_name = "b" if start % 2 == 0 else "a"
            xdotool("keydown", key_name)
            time.sleep(0.15)
            xdotool("keyup", key_name)
            window = wait_for(lambda: monitor_window(p), 3, where + "the monitor pop-up")
            wait_for(lambda: geometry(window)[:2] == stored, 2,
                     where + "the pop-up at its stored place %s, not %s"
                     % (stored, geometry(window)[:2]))
            time.sleep(0.3)  # the move reports of the first showing
            check(stored_monitor_position(workdir) == stored,
                  where + "MONITOR x/y kept, not %s" % (stored_monitor_position(workdir),))
            if start % 3 == 1:
                by = (50, 20) if start % 2 == 1 else (-50, -20)
                x, y = stored[0] + 30, stored[1] + 20
                xdotool("mousemove", x, y)
                time.sleep(0.05)
                xdotool("mousedown", 1)
                for step in range(1, 6):
                    time.sleep(0.03)
                    xdotool("mousemove", x + by[0] * step // 5, y + by[1] * step // 5)
                time.sleep(0.05)
                xdotool("mouseup", 1)
                moved = (stored[0] + by[0], stored[1] + by[1])
                wait_for(lambda: geometry(window)[:2] == moved, 2,
                         where + "the drag to %s, not %s" % (moved, geometry(window)[:2]))
                wait_for(lambda: stored_monitor_position(workdir) == moved, 2,
                         where + "the dragged place stored, not %s"
                         % (stored_monitor_position(workdir),))
                stored = moved
            p.stop()
            check(stored_monitor_position(workdir) == stored, where + "MONITOR x/y after the end")
    finally:
        manager.terminate()
        manager.wait()
        # openbox leaves its check window's id on the root, which GLFW then takes for a
        # running window manager.
        for name in ("_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED"):
            subprocess.run(["xprop", "-root", "-remove", name], capture_output=True)


def assignment_dialog(p):
    """The assignment dialog: the program's visible window with an empty title."""
    def find():
        for w in find_windows(p.pid, "^$"):
            _, _, width, height = geometry(w)
            if width > 300 and height > 250:
                return w
        return None
    return wait_for(find, 5, "the assignment dialog")


def case_assign_buttons(ctx, workdir):
    """Assign Buttons opens the dialog; a key captured for preset B shows as KEYB and, once the
    dialog is closed, is stored in [JOY] and acts as a hot key."""
    p = ctx.start(workdir)
    connect(p)
    click_centre(p.window, ASSIGN)
    dialog = assignment_dialog(p)
    time.sleep(0.5)
    grab(dialog, ctx.shot("assign-buttons.png"))
    before_capture = grab(dialog)
    click(dialog, *ASSIGN_THROTTLE_B)
    wait_for(lambda: [w for w in find_windows(p.pid, "^$") if w != dialog], 3, "the wait box")
    waiting = [w for w in find_windows(p.pid, "^$") if w != dialog][0]
    time.sleep(0.3)
    grab(waiting, ctx.shot("press-button.png"))
    focus(waiting)
    key("c")
    wait_for(lambda: not is_viewable(waiting), 3, "the wait box to close")
    time.sleep(0.3)
    after_capture = grab(dialog, ctx.shot("assign-buttons-captured.png"))
    check(before_capture != after_capture, "the capture button shows the key")
    before = len(p.log_lines())
    time.sleep(0.3)
    check(len(p.log_lines()) == before, "nothing is sent while the dialog is open")
    send_close_request(dialog)
    wait_for(lambda: not is_viewable(dialog), 3, "the assignment dialog to close")
    ini = os.path.join(workdir, "presets.ini")
    # The assignments are written once the dialog's modal loop has returned.
    settings = wait_for(lambda: os.path.exists(ini) and "throttle_C_but" in read_ini(ini)
                        and read_ini(ini), 3, "the [JOY] keys")
    check(ini_value(settings, "JOY", "throttle_B_joy") == "-1", "the keyboard is stored")
    check(ini_value(settings, "JOY", "throttle_B_but") == "67", "the key's code is stored")
    check(ini_value(settings, "JOY", "throttle_A_joy") == "0", "every slot is stored")
    check(p.alive(), "the program runs on")
    focus(p.window)
    before = len(p.log_lines())
    xdotool("keydown", "c")
    time.sleep(0.15)
    xdotool("keyup", "c")
    wait_for(lambda: len(p.log_lines()) >= before + 2, 3, "the new hot key's live apply")
    check(ini_value(read_ini(os.path.join(workdir, "presets.ini")), "CNF", "preset") == "1",
          "the new hot key selects preset B")
    p.stop()


STANDARD_NAMES = ("orvo-pedals-calibration", "orvo-pedals-calibrationd")


def processes():
    """(pid, executable) of every process, the executable from its exe link or, where that is
    closed to us, from argv[0], as the program's single-instance check reads them."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            exe = os.readlink("/proc/%s/exe" % entry).removesuffix(" (deleted)")
        except OSError:
            try:
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    exe = f.read().split(b"\0")[0].decode(errors="replace")
            except OSError:
                continue
        yield int(entry), exe


def running_standard_copies():
    """Pids of processes under the program's own names."""
    return [pid for pid, exe in processes() if os.path.basename(exe) in STANDARD_NAMES]


def private_process_list():
    """The command prefix that runs a program with a process list of its own (a new PID
    namespace), or None where the system allows none without privileges."""
    probe = ["unshare", "--user", "--map-root-user", "--pid", "--fork", "--kill-child",
             "--mount-proc", "true"]
    try:
        ok = subprocess.run(probe, capture_output=True, timeout=10).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        ok = False
    return probe[:-1] if ok else None


def elf_runpaths(path):
    out = subprocess.run(["readelf", "-d", path], capture_output=True, text=True).stdout
    found = re.search(r"\((?:RUNPATH|RPATH)\)\s+Library (?:runpath|rpath): \[(.*)\]", out)
    return found.group(1).split(":") if found else []


def case_installed(ctx, workdir):
    """cmake --install into a fresh prefix lays out the program, its libraries, beep.mp3, the udev
    rule, the icon and the menu entry, none of them pointing into the build tree; the menu entry's
    command starts the installed program with the simulated controller in its working directory
    $HOME/.local/share/orvo-pedals (HOME being the run's own), made with beep.mp3, where it
    connects, shows its window and keeps presets.ini."""
    check(ctx.build_dir, "--build-dir names the build to install")
    prefix = os.path.join(ctx.case_folder, "installed prefix")
    result = subprocess.run(["cmake", "--install", ctx.build_dir, "--prefix", prefix],
                            capture_output=True, text=True)
    check(result.returncode == 0, "cmake --install: " + result.stdout + result.stderr)
    libdir = os.path.join(prefix, "lib", "orvo-pedals")
    programs = [f for f in os.listdir(libdir) if f in STANDARD_NAMES]
    check(len(programs) == 1, "one program in lib/orvo-pedals: %s" % os.listdir(libdir))
    program = os.path.join(libdir, programs[0])
    for relative in ("bin/orvo-pedals-calibration", "lib/orvo-pedals/libmcHID.so",
                     "lib/orvo-pedals/liborvo_platform.so",
                     "lib/orvo-pedals/simulated/libmcHID.so", "share/orvo-pedals/beep.mp3",
                     "share/applications/orvo-pedals-calibration.desktop",
                     "share/icons/hicolor/64x64/apps/orvo-pedals-calibration.png",
                     "lib/udev/rules.d/70-orvo-pedals.rules"):
        check(os.path.isfile(os.path.join(prefix, relative)), relative + " is installed")
    for elf in (program, os.path.join(libdir, "libmcHID.so"),
                os.path.join(libdir, "simulated", "libmcHID.so")):
        runpaths = elf_runpaths(elf)
        check(runpaths and all(r.startswith("$ORIGIN") for r in runpaths),
              "%s finds its libraries relative to itself: %s" % (elf, runpaths))

    with open(os.path.join(prefix, "share/applications/orvo-pedals-calibration.desktop")) as f:
        entry = f.read()
    exec_line = re.search(r"^Exec=(.*)$", entry, re.M)
    check(exec_line, "the menu entry has an Exec line")
    command = shlex.split(exec_line.group(1))
    check(command == [os.path.join(prefix, "bin", "orvo-pedals-calibration")],
          "the menu entry starts the launcher: %s" % command)
    check(re.search(r"^Icon=orvo-pedals-calibration$", entry, re.M), "the menu entry's icon")

    # The installed program keeps its own name, so its single-instance check counts every other
    # copy on the machine: it runs with a process list of its own, or the case is skipped while
    # another copy runs (it would rightly refuse to start).
    isolate = private_process_list()
    if isolate is None and running_standard_copies():
        raise Skip("another copy of the program runs on this machine, and no private process "
                   "list is allowed here")
    run_dir = ctx.run_dir()
    env = private_environment(ctx, run_dir)
    env.pop("LD_LIBRARY_PATH", None)
    env.pop("ORVO_RUN_DIR", None)
    env["ORVO_SIM_CONTROLLER"] = "0.3"
    env["ORVO_SIM_VALUES"] = "still:32768,16384,0"
    env["ORVO_SIM_STATE"] = ""
    stderr_path = os.path.join(run_dir, "stderr")
    with open(stderr_path, "wb") as stderr:
        process = subprocess.Popen((isolate or []) + command + ["--simulated"], cwd=run_dir,
                                   env=env, stdout=subprocess.DEVNULL, stderr=stderr)
    try:
        # Inside a private process list the window carries another pid: found by title.
        window = int(wait_for(lambda: xdotool("search", "--onlyvisible", "--name",
                                              "^Orvo Zantor Pedals - ").split(), 20,
                              "the installed program's window")[0])
        wait_for(lambda: icon_state(window) == "connected", 10, "the connected icon")
        grab(window, ctx.shot("installed.png"))
        home_workdir = os.path.join(env["HOME"], ".local", "share", "orvo-pedals")
        check(os.path.isfile(os.path.join(home_workdir, "beep.mp3")),
              "the working directory is made with beep.mp3")
        pids = [pid for pid, exe in processes() if exe == os.path.realpath(program)]
        check(pids, "the installed program runs")
        check(os.path.realpath(os.readlink("/proc/%d/cwd" % pids[0])) ==
              os.path.realpath(home_workdir), "it runs in $HOME/.local/share/orvo-pedals")
        click_centre(window, SEND)
        wait_for(lambda: os.path.exists(os.path.join(home_workdir, "presets.ini")), 5,
                 "presets.ini in the working directory")
        log = os.path.join(home_workdir, "simulated-devices.log")
        check(os.path.exists(log) and " controller " in open(log).read(),
              "the simulated controller took the configuration")
    finally:
        process.kill()
        process.wait()
    with open(stderr_path, errors="replace") as f:
        check_quiet_stderr(f.read())


def check_quiet_stderr(text):
    """No sound card here: the program stays silent about it."""
    noise = [line for line in text.splitlines() if line.startswith("ALSA lib")]
    check(not noise, "ALSA noise on stderr: " + "; ".join(noise[:3]))


# ---- Runner ----

class Context:
    def __init__(self, args):
        self.program = os.path.abspath(args.program)
        self.sim_dir = os.path.abspath(args.sim_dir)
        self.beep = os.path.abspath(args.beep)
        self.build_dir = os.path.abspath(args.build_dir) if args.build_dir else None
        self.shots = args.shots or os.environ.get("ORVO_SCREENSHOT_DIR") or None
        self.programs = []
        self.case_folder = None
        self.runs = 0

    def start(self, workdir, **kwargs):
        p = Program(self, workdir, **kwargs)
        self.programs.append(p)
        return p

    def run_dir(self):
        """A fresh folder in the case's own for one start of a program."""
        self.runs += 1
        path = os.path.join(self.case_folder, "run-%d" % self.runs)
        os.makedirs(path)
        return path

    def shot(self, name):
        if not self.shots:
            return None
        os.makedirs(self.shots, exist_ok=True)
        return os.path.join(self.shots, name)

    def stop_all(self):
        for p in self.programs:
            p.stop()
        self.programs = []


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--sim-dir", required=True)
    parser.add_argument("--beep", required=True)
    parser.add_argument("--build-dir")
    parser.add_argument("--shots")
    parser.add_argument("cases", nargs="+")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        print("app_e2e_test: DISPLAY is not set", file=sys.stderr)
        return 2
    cases = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}
    chosen = list(cases) if args.cases == ["all"] else args.cases
    ctx = Context(args)
    failed = []
    skipped = []
    for name in chosen:
        ctx.case_folder = tempfile.mkdtemp(prefix="orvo-e2e-")
        workdir = os.path.join(ctx.case_folder, "work")
        os.makedirs(workdir)
        shutil.copy(ctx.beep, os.path.join(workdir, "beep.mp3"))
        start = time.monotonic()
        try:
            try:
                cases[name](ctx, workdir)
            finally:
                programs = ctx.programs
                ctx.stop_all()
            for p in programs:
                check_quiet_stderr(p.stderr())
            print("PASS %s (%.1f s)" % (name, time.monotonic() - start))
        except Skip as reason:
            skipped.append(name)
            print("SKIP %s: %s" % (name, reason))
        except Failure as error:
            failed.append(name)
            print("FAIL %s: %s" % (name, error))
        finally:
            shutil.rmtree(ctx.case_folder, ignore_errors=True)
    if failed:
        return 1
    return 77 if skipped and len(skipped) == len(chosen) else 0


if __name__ == "__main__":
    sys.exit(main())
