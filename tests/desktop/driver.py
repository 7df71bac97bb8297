#!/usr/bin/env python3
"""The desktop cases: each starts the program in a program folder of its own on the X display of
run.sh and uses it through xdotool as a user does, a few keys a second, then checks the files it
saved and what its windows show (the program reports where its controls are, and the message
boxes it shows, in its probe file)."""
import argparse
import json
import os
import shutil
import subprocess
import sys
import time
import traceback
import xml.etree.ElementTree as ET

KEY_DELAY_MS = 180  # between keys typed
STEP_PAUSE = 0.25  # after a click or a key, as a user looks before the next
WAIT = 15.0  # longest wait for a window or a file (the program may be slow to draw)

MAIN = "FVelmareFirmWare"


class CaseFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CaseFailure(message)


def poll(what, test, timeout=WAIT, every=0.05):
    """Polls test until it returns something true; fails with what after timeout."""
    end = time.monotonic() + timeout
    while True:
        got = test()
        if got:
            return got
        if time.monotonic() > end:
            raise CaseFailure("timed out waiting for " + what)
        time.sleep(every)


def xdo(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True,
                          text=True).stdout


def windows_named(title):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                         capture_output=True, text=True).stdout
    return [w for w in out.split() if w]


def click_at(x, y, pause=STEP_PAUSE):
    xdo("mousemove", "--sync", x, y)
    xdo("click", 1)
    time.sleep(pause)


def double_click_at(x, y):
    xdo("mousemove", "--sync", x, y)
    xdo("click", "--repeat", 2, "--delay", 90, 1)
    time.sleep(STEP_PAUSE)


def keys(*names):
    xdo("key", "--delay", KEY_DELAY_MS, *names)
    time.sleep(STEP_PAUSE)


def type_text(text):
    xdo("type", "--delay", KEY_DELAY_MS, text)
    time.sleep(STEP_PAUSE)


def link_or_copy(source, target):
    try:
        os.link(source, target)
    except OSError:  # another file system
        shutil.copy2(source, target)


def centre(rect):
    x, y, w, h = rect
    return x + w // 2, y + h // 2


class Program:
    """One run of the program in a program folder of its own."""

    def __init__(self, driver, exe, name, project=None):
        self.driver = driver
        self.folder = os.path.join(driver.work, name)
        self.probe = os.path.join(self.folder, "probe.jsonl")
        self.read_at = 0
        self.records = []
        self.proc = None
        self.exe = exe
        if not os.path.isdir(self.folder):
            self.make_folder()

    def make_folder(self):
        os.makedirs(self.folder)
        # The program finds its folder from its own path: a hard link makes this folder its
        # folder without a copy of the (large) program.
        link_or_copy(self.exe, os.path.join(self.folder, "knxgwconfig"))
        language = os.path.join(self.driver.build, "app", "LANGUAGE")
        if os.path.isdir(language):
            shutil.copytree(language, os.path.join(self.folder, "LANGUAGE"))
        # The gateway is this machine: the device-update dialog offers its address.
        with open(os.path.join(self.folder, "Velmar.xml"), "w") as f:
            f.write("<Conf_Settings><lastproj><projectname/></lastproj><lastipadd>"
                    "<ipaddress>127.0.0.1</ipaddress></lastipadd><lastlang><language>English"
                    "</language></lastlang><lastinternet><enable_internet>0</enable_internet>"
                    "<enable_update>0</enable_update></lastinternet></Conf_Settings>")
        # The stand-in updater records its arguments and the parameter file it was given.
        updater = os.path.join(self.folder, "Ethernet_Update.exe")
        with open(updater, "w") as f:
            f.write('#!/bin/sh\ncd "$(dirname "$0")"\necho "$@" > updater-args.txt\n'
                    'cp Ethernet_Update.xml updater-saw.xml\n')
        os.chmod(updater, 0o755)

    def start(self):
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", KNXGW_PROBE_FILE=self.probe,
                   ASAN_OPTIONS="detect_leaks=0")
        self.log = open(os.path.join(self.folder, "program.log"), "a")
        self.proc = subprocess.Popen([os.path.join(self.folder, "knxgwconfig")], env=env,
                                     stdout=self.log, stderr=subprocess.STDOUT,
                                     cwd=self.folder)
        self.driver.programs.append(self)
        # The first start of a big program on a busy machine takes a while.
        return self.form(MAIN, 60)

    # --- what the program reports -------------------------------------------------------------
    def read(self):
        if os.path.exists(self.probe):
            with open(self.probe) as f:
                f.seek(self.read_at)
                data = f.read()
            complete = data[:data.rfind("\n") + 1]
            self.read_at += len(complete.encode())
            for line in complete.splitlines():
                self.records.append(json.loads(line))
        check(self.proc.poll() is None or self.proc.returncode == 0,
              "the program ended with code %s" % self.proc.returncode)
        return self.records

    def latest_form(self):
        forms = [r for r in self.read() if "form" in r]
        return forms[-1] if forms else None

    def form(self, name, timeout=WAIT):
        """Waits until the window in front is the form called name; returns its snapshot."""
        def test():
            f = self.latest_form()
            return f if f and f["form"] == name else None
        return poll("window " + name, test, timeout)

    def boxes(self):
        return [r for r in self.read() if "box" in r]

    def box(self, count_before, timeout=WAIT):
        """Waits for a message box after the first count_before ones; answers it with Enter."""
        b = poll("a message box", lambda: self.boxes()[count_before:], timeout)[0]
        poll("the box's window", lambda: windows_named("^%s$" % b["box"]))
        time.sleep(STEP_PAUSE)
        keys("Return")
        poll("the box to close", lambda: not windows_named("^%s$" % b["box"]))
        return b

    def control(self, form, name):
        c = self.form(form)["controls"].get(name)
        check(c is not None, "%s has no control %s" % (form, name))
        return c

    def click(self, form, name):
        click_at(*centre(self.control(form, name)["rect"]))

    def cell(self, form, grid, col, row):
        cells = self.form(form)["grids"][grid]["cells"]
        key = "%d,%d" % (col, row)
        check(key in cells, "cell %s of %s is not in view" % (key, grid))
        return centre(cells[key])

    def click_cell(self, form, grid, col, row):
        click_at(*self.cell(form, grid, col, row))

    def grid(self, form, name):
        return self.form(form)["grids"][name]

    def project_file(self, project, name):
        return os.path.join(self.folder, "PROJECTS", project, name)

    def close_main(self):
        """Closes the main window with its close box; returns how long the process took to end."""
        self.form(MAIN)
        keys("alt+F4")
        poll("the main window to close", lambda: not windows_named("^Morvik - Configurator"))
        t0 = time.monotonic()
        self.proc.wait(timeout=20)
        return time.monotonic() - t0


class Driver:
    def __init__(self, build, work):
        self.build = build
        self.work = work
        self.programs = []
        self.exe25 = os.path.join(build, "app", "knxgwconfig")
        self.exe10 = os.path.join(build, "tests", "desktop", "knxgwconfig_type10")

    def stop_all(self):
        for p in self.programs:
            if p.proc and p.proc.poll() is None:
                p.proc.kill()
                p.proc.wait()
        self.programs = []

    def screenshot(self, name):
        path = os.path.join(self.work, name + ".xwd")
        subprocess.run(["xwd", "-root", "-silent", "-out", path], check=False)
        return path

    def report_programs(self):
        """The end of the log of each program the failed case started."""
        for p in self.programs:
            log = os.path.join(p.folder, "program.log")
            if os.path.exists(log) and os.path.getsize(log):
                with open(log, errors="replace") as f:
                    tail = f.readlines()[-20:]
                print("  %s:\n    %s" % (log, "    ".join(tail)), flush=True)


def xml_rows(path, section=None):
    root = ET.parse(path).getroot()
    parent = root.find(section) if section else root
    return [dict(r.attrib) for r in parent]


# --- the cases ------------------------------------------------------------------------------
CASES = []


def case(fn):
    CASES.append(fn)
    return fn


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("names", nargs="*")
    args = ap.parse_args()
    # The driver and the programs it starts are one process group, which run.sh ends as one.
    os.setpgrp()
    import cases  # noqa: F401  (registers the cases)
    driver = Driver(os.path.abspath(args.build), args.work)
    chosen = [c for c in CASES if not args.names or c.__name__ in args.names]
    passed = failed = 0
    started = time.monotonic()
    for c in chosen:
        t0 = time.monotonic()
        try:
            c(driver)
            passed += 1
            print("[ PASS ] %s (%.1f s)" % (c.__name__, time.monotonic() - t0), flush=True)
        except Exception as e:  # a failed case must not stop the others
            failed += 1
            shot = driver.screenshot("failed-" + c.__name__)
            detail = str(e) if isinstance(e, CaseFailure) else traceback.format_exc()
            print("[ FAIL ] %s: %s (screen: %s)" % (c.__name__, detail, shot), flush=True)
            driver.report_programs()
        finally:
            driver.stop_all()
    print("desktop tests: %.0f s" % (time.monotonic() - started))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed or not chosen else 0


if __name__ == "__main__":
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    sys.modules.setdefault("driver", sys.modules["__main__"])
    sys.exit(main())
