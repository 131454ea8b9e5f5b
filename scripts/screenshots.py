"""Drives the running program through one class and writes a PNG of each window.

Run by scripts/screenshots.sh with Debian's /usr/bin/python3 (for PIL) on a display that
already has a window manager:  screenshots.py BINARY OUTPUT_DIR

Every click is given in the client coordinates of the program's own window layouts, so the
shots keep working when only the look of the frame changes. The restart button of the
deductions window and the contact button of the main window are never touched.
"""

import os
import re
import subprocess
import sys
import time

from PIL import ImageGrab

DISPLAY = os.environ["DISPLAY"]
TIMEOUT = 15.0

MAIN = "体育卫生检查系统"
CHECKLIST = "卫生检查统计系统"  # the deductions window has the same caption
SORT = "数字排序"
MESSAGE = "信息："

# Client sizes: outer sizes of the layouts less the 3-pixel border and the 20-pixel title bar.
CHECKLIST_CLIENT = (951 - 6, 605 - 26)
DEDUCTIONS_CLIENT = (493 - 6, 374 - 26)


class Failure(Exception):
    pass


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def xdotool(*args):
    return run("xdotool", *map(str, args))


def visible_windows(name):
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                            capture_output=True, text=True)
    return [int(w) for w in result.stdout.split()]


def client_geometry(window):
    info = run("xwininfo", "-id", str(window))
    value = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))
    return (value("Absolute upper-left X"), value("Absolute upper-left Y"),
            value("Width"), value("Height"))


def frame_extents(window):
    # left, right, top, bottom, as the window manager reports them for its frame
    out = run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS")
    numbers = [int(n) for n in re.findall(r"\d+", out.split("=", 1)[-1])]
    return tuple(numbers) if len(numbers) == 4 else (0, 0, 0, 0)


def frame_box(window):
    x, y, w, h = client_geometry(window)
    left, right, top, bottom = frame_extents(window)
    return (x - left, y - top, x + w + right, y + h + bottom)


def wait_for(name, program, client_size=None, exclude=()):
    """The window of that caption (and client size) once it is mapped and has stopped moving."""
    deadline = time.monotonic() + TIMEOUT
    last = None
    while time.monotonic() < deadline:
        if program.poll() is not None:
            raise Failure(f"the program ended (exit code {program.returncode}) "
                          f"while waiting for 「{name}」")
        for window in visible_windows(name):
            if window in exclude:
                continue
            try:
                geometry = client_geometry(window), frame_extents(window)
            except (subprocess.CalledProcessError, AttributeError):
                continue
            if client_size and geometry[0][2:] != client_size:
                continue
            # The program centres a window again once the frame is known: wait until the
            # frame is there and two looks agree.
            if geometry[1] != (0, 0, 0, 0) and last == (window, geometry):
                time.sleep(0.4)  # let the first paint finish
                return window
            last = (window, geometry)
        time.sleep(0.15)
    raise Failure(f"window 「{name}」 did not appear")


def wait_gone(window, program):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        if program.poll() is not None:
            raise Failure(f"the program ended (exit code {program.returncode})")
        if subprocess.run(["xwininfo", "-id", str(window)], capture_output=True).returncode != 0:
            return
        if "IsViewable" not in run("xwininfo", "-id", str(window)):
            return
        time.sleep(0.1)
    raise Failure(f"window {window} did not close")


def click(window, x, y):
    xdotool("mousemove", "--window", window, x, y)
    xdotool("click", "1")
    time.sleep(0.12)


def click_control(window, left, top, width, height):
    click(window, left + width // 2, top + height // 2)


def click_radio(window, box_left, box_top, left, top, height=16):
    # on the circle, which sits at the left of the radio button, vertically centred
    click(window, box_left + left + 7, box_top + top + height // 2)


def activate(window):
    subprocess.run(["xdotool", "windowactivate", "--sync", str(window)], capture_output=True)
    time.sleep(0.15)


def key(window, name):
    activate(window)
    xdotool("key", name)
    time.sleep(0.2)


def type_text(text):
    xdotool("type", "--delay", "40", "--", text)


def park_pointer():
    # out of every window, so no hover highlight or tooltip lands in a shot
    xdotool("mousemove", 1275, 1019)
    time.sleep(0.3)


def shoot(path, *windows):
    park_pointer()
    boxes = [frame_box(w) for w in windows]
    box = (min(b[0] for b in boxes), min(b[1] for b in boxes),
           max(b[2] for b in boxes), max(b[3] for b in boxes))
    ImageGrab.grab(xdisplay=DISPLAY).crop(box).save(path)
    print(path)


def message_box(program):
    return wait_for(MESSAGE, program)


def main():
    binary, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    env = dict(os.environ,
               QT_QPA_PLATFORM="xcb",
               # Nothing the program asks of logind or the desktop may reach this machine.
               DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent",
               DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent",
               LANG="C.UTF-8", LC_ALL="C.UTF-8")
    program = subprocess.Popen([binary], env=env, stdin=subprocess.DEVNULL)
    try:
        drive(program, out)
    except (Failure, subprocess.CalledProcessError) as failure:
        print(f"screenshots: {failure}", file=sys.stderr)
        if program.poll() is None:
            program.kill()
        return 1
    try:
        program.wait(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        program.kill()
        print("screenshots: the program did not end after its main window closed",
              file=sys.stderr)
        return 1
    if program.returncode != 0:
        print(f"screenshots: the program ended with exit code {program.returncode}",
              file=sys.stderr)
        return 1
    return 0


def drive(program, out):
    # 1. The main window, once the clock has replaced its loading text.
    main_window = wait_for(MAIN, program)
    time.sleep(2.2)
    shoot(f"{out}/main.png", main_window)

    # 2. 计算 opens the checklist; mark every item, with all three answers in use.
    click_control(main_window, 315, 2, 88, 24)
    checklist = wait_for(CHECKLIST, program, CHECKLIST_CLIENT)
    marks = [
        (496, 61, 8, 8),      # 1 达成 (单选框1)
        (744, 88, 2, 11),     # 2 达成 (单选框4)
        (120, 112, 112, 8),   # 3 一半 (单选框30)
        (304, 144, 8, 8),     # 4 达成 (单选框3)
        (72, 168, 80, 8),     # 5 未达成 (单选框5)
        (648, 264, 8, 8),     # 6 达成 (单选框9)
        (112, 272, 144, 16),  # 7 一半 (单选框33)
        (0, 0, 72, 320),      # 8 达成 (单选框26, on the window itself)
        (304, 393, 8, 8),     # 9 达成 (单选框15)
        (504, 422, 136, 8),   # 10 一半 (单选框36)
        (288, 453, 72, 8),    # 11 未达成 (单选框18)
        (224, 486, 8, 8),     # 12 达成 (单选框23)
    ]
    for mark in marks:
        click_radio(checklist, *mark)
    shoot(f"{out}/checklist.png", checklist)

    # 3. 提交: the confirmation, then the deductions window over the checklist.
    click_control(checklist, 40, 522, 864, 48)
    confirmation = message_box(program)
    key(confirmation, "Return")
    wait_gone(confirmation, program)
    deductions = wait_for(CHECKLIST, program, DEDUCTIONS_CLIENT, exclude=(checklist,))
    click_radio(deductions, 0, 0, 152, 8)        # 1 是 (单选框1, on the window itself)
    click_radio(deductions, 272, 30, 48, 8)      # 2 否 (单选框2)
    click_radio(deductions, 96, 56, 8, 8)        # 3 是 (单选框5)
    click_radio(deductions, 320, 80, 48, 8)      # 4 否 (单选框6)
    click_radio(deductions, 288, 120, 40, 8)     # 5 否 (单选框8)
    click_radio(deductions, 184, 152, 8, 8)      # 6 是 (单选框11): a deduction of one's own
    click_radio(deductions, 144, 240, 8, 8, 24)  # 7 是 (单选框13): a bonus
    click_control(deductions, 144, 280, 72, 24)  # 显示
    click_control(deductions, 88, 184, 152, 24)  # the deduction box
    type_text("3")
    click_control(deductions, 88, 216, 152, 24)  # the bonus box
    type_text("2")
    time.sleep(0.3)
    shoot(f"{out}/deductions.png", deductions)

    # The deductions must be submitted; then Esc closes it, and Esc closes the checklist.
    click_control(deductions, 16, 272, 104, 48)  # 提交
    key(deductions, "Escape")
    wait_gone(deductions, program)
    key(checklist, "Escape")
    wait_gone(checklist, program)

    # 4. The compute goes on: the first of its two score messages over the main window.
    score = message_box(program)
    time.sleep(0.3)
    shoot(f"{out}/score.png", main_window, score)
    key(score, "Return")
    wait_gone(score, program)
    second = message_box(program)
    key(second, "Return")
    wait_gone(second, program)

    # 5. 进入分数排序, a few numbers typed into the grid, then 排序.
    click_control(main_window, 8, 168, 232, 24)
    sort = wait_for(SORT, program)
    numbers = {(0, 0): "85", (40, 0): "92", (80, 0): "78", (120, 0): "-3", (160, 0): "100",
               (200, 0): "67", (0, 24): "92", (40, 24): "88", (80, 24): "71", (120, 24): "5"}
    for (left, top), number in numbers.items():
        click_control(sort, left, top, 32, 16)
        type_text(number)
    click_control(sort, 40, 66, 192, 24)         # 排序
    time.sleep(0.3)
    shoot(f"{out}/sort.png", sort)

    key(sort, "Escape")
    wait_gone(sort, program)
    key(main_window, "Escape")


if __name__ == "__main__":
    sys.exit(main())
