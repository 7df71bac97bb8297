"""The desktop cases, one or more per fault that only shows on a real display, and the main road
of product type 25 end to end."""
import os
import subprocess
import time

from driver import (STEP_PAUSE, CaseFailure, Program, case, check, click_at, centre,
                    double_click_at, keys, poll, type_text, windows_named, xdo, xml_rows)
import xwd

MAIN = "FVelmareFirmWare"
KNX = "FKNXAccess"
KNX_GRID = "ACG_KNX_in_Write"
REC = "FReceiveNMEA"
SEND = "FTransmitNMEA"
NMEA_GRID = "sga"

# Columns of the KNX table.
K_ENABLE, K_SOURCE, K_DEST, K_APCI, K_PRIORITY, K_FORMAT = 1, 2, 3, 4, 5, 6
K_POSITION, K_BITMODE, K_LENGTH, K_TIMEOUT = 13, 14, 15, 16


def new_project(p, name):
    p.click(MAIN, "Btn_New")
    p.form("FNew_Project")
    type_text(name)
    keys("Return")
    p.form(MAIN)
    check(os.path.isdir(os.path.join(p.folder, "PROJECTS", name)), "project %s made" % name)


def open_step(p, button, form):
    p.click(MAIN, button)
    return p.form(form)


def closes(p, form, main=MAIN, timeout=6.0, boxes_before=None):
    """The dialog form closes by what was just done (no second try), perhaps after a question
    (boxes_before: the count of boxes before), which is answered Yes."""
    def done():
        if boxes_before is not None and len(p.boxes()) > boxes_before:
            return "asked"
        f = p.latest_form()
        return "closed" if f and f["form"] == main else None
    try:
        if poll(form + " to close", done, timeout) == "asked":
            p.box(boxes_before)
            p.form(main, timeout)
    except CaseFailure:
        raise CaseFailure("%s did not close at the first click" % form)


def type_cell(p, form, grid, col, row, text, end="Return"):
    p.click_cell(form, grid, col, row)
    type_text(text)
    if end:
        keys(end)


def open_cell_list(p, form, grid, col, row):
    """Makes the list cell current, opens its editor and drops its list (Alt+Down)."""
    p.click_cell(form, grid, col, row)
    keys("F2")
    keys("alt+Down")
    return poll("the list to open", lambda: p.grid(form, grid).get("list"))


def open_list_window():
    """The open drop-down list's window (it has the program's name as its title): (x, y, w, h)."""
    def find():
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", "knxgwconfig"],
                             capture_output=True, text=True).stdout
        for wid in out.split():
            if xdo("getwindowname", wid).strip() != "knxgwconfig":
                continue
            out = xdo("getwindowgeometry", "--shell", wid)
            g = dict(line.split("=") for line in out.split())
            if int(g["WIDTH"]) > 1 and int(g["HEIGHT"]) > 1:
                return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])
        return None
    return poll("the list's window", find)


def click_list_item(index, shown):
    """Clicks item index of the open list, which shows shown items."""
    x, y, w, h = open_list_window()
    click_at(x + min(20, w // 2), y + int((index + 0.5) * h / shown))


def click_list_middle():
    """Clicks an item in the middle of the open list (another than the first)."""
    x, y, w, h = open_list_window()
    click_at(x + min(20, w // 2), y + h * 3 // 5)


def pick_in_list(p, form, grid, col, row, index, shown):
    """Opens the list of a list cell and clicks its item index with the mouse."""
    open_cell_list(p, form, grid, col, row)
    click_list_item(index, shown)


def knx_good_row(p, row, position):
    type_cell(p, KNX, KNX_GRID, K_SOURCE, row, "1.1.%d" % row)
    type_cell(p, KNX, KNX_GRID, K_DEST, row, "1/2/%d" % row)
    type_cell(p, KNX, KNX_GRID, K_APCI, row, "Write")
    pick_in_list(p, KNX, KNX_GRID, K_PRIORITY, row, 3, 4)  # Low
    type_cell(p, KNX, KNX_GRID, K_FORMAT, row, "N")  # None
    type_cell(p, KNX, KNX_GRID, K_POSITION, row, position)
    type_cell(p, KNX, KNX_GRID, K_BITMODE, row, "N")  # No
    type_cell(p, KNX, KNX_GRID, K_LENGTH, row, "2")
    type_cell(p, KNX, KNX_GRID, K_TIMEOUT, row, "0")


def ok(p, form):
    p.click(form, "Btn_OK")
    closes(p, form)


@case
def main_road_type25(d):
    p = Program(d, d.exe25, "road")
    p.start()
    new_project(p, "Road")

    f = open_step(p, "Btn_Prm_Gen", "FParGen")
    ok(p, "FParGen")
    check(os.path.exists(p.project_file("Road", "ParGen.xml")), "ParGen.xml written")

    open_step(p, "Btn_KNX_Access", KNX)
    knx_good_row(p, 1, "10")
    knx_good_row(p, 2, "20")
    ok(p, KNX)
    rows = xml_rows(p.project_file("Road", "KNX_SetAccess.xml"), "KNX_in_Write")
    check(len(rows) == 2, "two KNX rows saved: %s" % rows)
    for i, r in enumerate(rows, 1):
        want = {"Enable": "Y", "Source_Address": "1.1.%d" % i, "Destination_Address": "1/2/%d" % i,
                "APCI": "Write", "Priority": "Low", "Format": "None",
                "Position": str(10 * i), "Bit_Mode": "No", "Length": "2", "TimeOut": "0"}
        got = {k: r.get(k) for k in want}
        check(got == want, "KNX row %d: %s" % (i, got))

    open_step(p, "Btn_J1939_Rec_Frame", REC)
    # Typed along the rows with Enter and the arrows, as a user fills a table.
    p.click_cell(REC, NMEA_GRID, 1, 1)
    for k in ["127250", "Return", "Right", "5", "Return", "Down", "7", "Return", "Left",
              "130306", "Return"]:
        keys(k) if k in ("Return", "Right", "Left", "Down") else type_text(k)
    ok(p, REC)
    rows = xml_rows(p.project_file("Road", "NMEA_Rec_Frames.xml"))
    got = [(r["PGN"], r["SA"]) for r in rows]
    check(got == [("127250", "5"), ("130306", "7")], "receive rows: %s" % got)

    open_step(p, "Btn_J1939_Send_Frame", SEND)
    for col, text in [(1, "3"), (2, "130306"), (3, "1"), (5, "8")]:
        type_cell(p, SEND, NMEA_GRID, col, 1, text)
    p.click_cell(SEND, NMEA_GRID, 6, 1)  # Request ticked by a click
    ok(p, SEND)
    rows = xml_rows(p.project_file("Road", "NMEA_Send_Frames.xml"))
    check(len(rows) == 1 and rows[0]["PGN"] == "130306" and rows[0]["On_Request"] == "Y",
          "send rows: %s" % rows)

    open_step(p, "Btn_CreateBin", "FBootTCP")
    for name in ("bank1.bin", "bank2.bin"):
        check(os.path.getsize(p.project_file("Road", os.path.join("bin", name))) > 0,
              name + " written")
    # The gateway is this machine (the address of the settings file): it answers the ping.
    p.click("FBootTCP", "Btn_Ping")
    poll("the ping's answer", lambda: p.control("FBootTCP", "LPing")["caption"], 15)
    p.click("FBootTCP", "Btn_Next")
    poll("the update page", lambda: "Btn_Update" in p.form("FBootTCP")["controls"], 15)
    p.click("FBootTCP", "Btn_Update")
    args = os.path.join(p.folder, "updater-args.txt")
    poll("the updater to run", lambda: os.path.exists(args), 20)
    saw = open(os.path.join(p.folder, "updater-saw.xml")).read()
    check("bank1.bin" in saw and "127.0.0.1" in saw, "the updater's parameter file: " + saw)
    keys("alt+F4")
    p.form(MAIN)
    took = p.close_main()
    check(took < 0.5, "the process ended %.2f s after its window closed" % took)


@case
def no_click_lost_after_a_list(d):
    p = Program(d, d.exe25, "lists")
    p.start()
    new_project(p, "Lists")
    # A KNX Priority picked by mouse, then Cancel: the dialog closes at once.
    open_step(p, "Btn_KNX_Access", KNX)
    pick_in_list(p, KNX, KNX_GRID, K_PRIORITY, 1, 3, 4)
    p.click(KNX, "Btn_Cancel")
    closes(p, KNX)
    # Set Communication: a Baudrate picked by mouse, then by Down and Enter, then OK or Cancel.
    for how, button in [("mouse", "Btn_OK"), ("keys", "Btn_Cancel")]:
        f = open_step(p, "Btn_Prm_Gen", "FParGen")
        baud = next(n for n, c in f["controls"].items()
                    if n.startswith(("CB_Baud", "CAN_Baud")) or "Baud" in n and n.startswith("CB"))
        x, y, w, h = f["controls"][baud]["rect"]
        click_at(x + w // 2, y + h // 2)
        if how == "mouse":
            click_list_middle()
        else:
            keys("Down", "Return")
        boxes = len(p.boxes())
        p.click("FParGen", button)
        closes(p, "FParGen", boxes_before=boxes)


@case
def escape_from_a_cell_list_leaves_the_mouse_working(d):
    p = Program(d, d.exe25, "escape")
    p.start()
    new_project(p, "Escape")
    open_step(p, "Btn_KNX_Access", KNX)
    p.click_cell(KNX, KNX_GRID, K_FORMAT, 1)
    p.click_cell(KNX, KNX_GRID, K_FORMAT, 1)
    keys("alt+Down")
    poll("the list to open", lambda: p.grid(KNX, KNX_GRID).get("list"))
    keys("Escape")
    keys("Escape")
    p.click(KNX, "Btn_Cancel")
    closes(p, KNX)
    # And the main window answers the mouse too.
    open_step(p, "Btn_KNX_Access", KNX)
    p.click(KNX, "Btn_Cancel")
    closes(p, KNX)


@case
def arrows_keep_the_keyboard_in_the_grid(d):
    p = Program(d, d.exe25, "arrows")
    p.start()
    new_project(p, "Arrows")
    open_step(p, "Btn_J1939_Rec_Frame", REC)
    type_cell(p, REC, NMEA_GRID, 1, 1, "100")
    type_cell(p, REC, NMEA_GRID, 2, 1, "1")
    p.click_cell(REC, NMEA_GRID, 1, 2)
    for k in ["200", "Return", "Right", "2", "Return", "Down", "3", "Return", "Left", "300",
              "Return"]:
        keys(k) if k in ("Return", "Right", "Left", "Down") else type_text(k)
    ok(p, REC)
    rows = xml_rows(p.project_file("Arrows", "NMEA_Rec_Frames.xml"))
    got = [(r["PGN"], r["SA"]) for r in rows]
    check(got == [("100", "1"), ("200", "2"), ("300", "3")], "receive rows: %s" % got)

    # KNX Access: after Left or Right, and after Enter then Right.
    open_step(p, "Btn_KNX_Access", KNX)
    p.click_cell(KNX, KNX_GRID, K_SOURCE, 1)
    for k in ["1.1.1", "Return", "Right", "1/1/1", "Return", "Left", "Right", "Right", "Write",
              "Return"]:
        keys(k) if k in ("Return", "Right", "Left") else type_text(k)
    p.click_cell(KNX, KNX_GRID, K_ENABLE, 1)  # not enabled: saved without a check
    ok(p, KNX)
    rows = xml_rows(p.project_file("Arrows", "KNX_SetAccess.xml"), "KNX_in_Write")
    got = [(r["Source_Address"], r["Destination_Address"], r["APCI"]) for r in rows]
    check(got == [("1.1.1", "1/1/1", "Write")], "KNX rows: %s" % got)


@case
def list_cells_keep_what_was_typed(d):
    p = Program(d, d.exe25, "typeahead")
    p.start()
    new_project(p, "Typed")
    open_step(p, "Btn_KNX_Access", KNX)
    for row in (1, 2, 3):
        type_cell(p, KNX, KNX_GRID, K_SOURCE, row, "1.1.%d" % row)
        p.click_cell(KNX, KNX_GRID, K_ENABLE, row)  # not enabled: saved without a check
    type_cell(p, KNX, KNX_GRID, K_POSITION, 1, "814")
    type_cell(p, KNX, KNX_GRID, K_POSITION, 2, "493")
    type_cell(p, KNX, KNX_GRID, K_BITMODE, 3, "7")
    type_cell(p, KNX, KNX_GRID, K_POSITION, 3, "1000")
    ok(p, KNX)
    rows = xml_rows(p.project_file("Typed", "KNX_SetAccess.xml"), "KNX_in_Write")
    got = [(r["Position"], r["Bit_Mode"]) for r in rows]
    check(got == [("814", ""), ("493", ""), ("1000", "7")], "positions: %s" % got)


@case
def a_closed_dialog_drops_its_open_edit(d):
    p = Program(d, d.exe25, "discard")
    p.start()
    new_project(p, "Discard")
    open_step(p, "Btn_KNX_Access", KNX)
    knx_good_row(p, 1, "10")
    ok(p, KNX)
    for col, typed, attribute, kept in [(K_APCI, "7/7", "APCI", "Write"),
                                        (K_PRIORITY, "s", "Priority", "Low")]:
        open_step(p, "Btn_KNX_Access", KNX)
        type_cell(p, KNX, KNX_GRID, col, 1, typed, end=None)
        keys("alt+F4")  # the window's close box
        closes(p, KNX)
        open_step(p, "Btn_KNX_Access", KNX)
        ok(p, KNX)
        rows = xml_rows(p.project_file("Discard", "KNX_SetAccess.xml"), "KNX_in_Write")
        check(rows[0][attribute] == kept, "%s after a dropped edit: %s" % (attribute, rows[0]))


@case
def a_double_click_opens_the_cell_editor(d):
    p = Program(d, d.exe25, "dblclick")
    p.start()
    new_project(p, "Double")
    open_step(p, "Btn_J1939_Rec_Frame", REC)
    for row in (1, 2):
        double_click_at(*p.cell(REC, NMEA_GRID, 8, row))
        poll("the editor of row %d" % row, lambda: p.grid(REC, NMEA_GRID)["editing"], 2)
        keys("Escape")
    p.click(REC, "Btn_Cancel")
    closes(p, REC)


@case
def each_showing_starts_at_the_top(d):
    p = Program(d, d.exe25, "showing")
    p.start()
    new_project(p, "First")
    open_step(p, "Btn_KNX_Access", KNX)
    g = p.grid(KNX, KNX_GRID)
    laid_out = g["widths"]
    p.click_cell(KNX, KNX_GRID, K_SOURCE, 1)
    keys("Next", "Next", "Next", "Right", "Right", "Right", "Right", "Right", "Right", "Right")
    # Widen the Format column by dragging its header's right edge.
    x, y, w, h = p.form(KNX)["grids"][KNX_GRID]["cells"]["%d,0" % K_FORMAT]
    xdo("mousemove", "--sync", x + w - 1, y + h // 2)
    xdo("mousedown", 1)
    xdo("mousemove", "--sync", x + w + 60, y + h // 2)
    xdo("mouseup", 1)
    time.sleep(STEP_PAUSE)
    g = poll("the grid to scroll", lambda: (lambda g: g if g["top"] > 1 else None)(
        p.grid(KNX, KNX_GRID)))
    p.click(KNX, "Btn_Cancel")
    closes(p, KNX)
    new_project(p, "Second")
    open_step(p, "Btn_KNX_Access", KNX)
    g = p.grid(KNX, KNX_GRID)
    check((g["top"], g["left"], g["row"], g["col"]) == (1, 1, 1, 1),
          "the new showing starts at the top: %s" % g)
    check(g["widths"] == laid_out, "the columns as laid out: %s" % g["widths"])


@case
def every_header_is_fully_visible(d):
    p = Program(d, d.exe25, "headers")
    p.start()
    new_project(p, "Headers")
    for button, form in [("Btn_KNX_Access", KNX), ("Btn_J1939_Rec_Frame", REC),
                         ("Btn_J1939_Send_Frame", SEND)]:
        f = open_step(p, button, form)
        for name, g in f["grids"].items():
            check(g.get("headers"), "%s reports its headers" % name)
            cut = [h for h in g["headers"] if h[1] > h[2]]
            check(not cut, "%s: headers cut: %s" % (form, cut))
        p.click(form, "Btn_Cancel")
        closes(p, form)


@case
def a_list_is_as_wide_as_its_widest_item(d):
    p = Program(d, d.exe25, "widelist")
    p.start()
    new_project(p, "Wide")
    open_step(p, "Btn_KNX_Access", KNX)
    width, widest = open_cell_list(p, KNX, KNX_GRID, K_FORMAT, 1)
    check(width >= widest + 4, "list %d wide for an item %d wide" % (width, widest))
    keys("Escape", "Escape")
    p.click(KNX, "Btn_Cancel")
    closes(p, KNX)


# --- product type 10 --------------------------------------------------------------------------
def start_type10(d, name):
    p = Program(d, d.exe10, name)
    p.start()
    new_project(p, name.capitalize())
    return p


@case
def mbus_editor_takes_the_click_after_a_list(d):
    p = start_type10(d, "mbus")
    f = open_step(p, "Btn_MBus", "FMeter_Bus")
    x, y, w, h = f["controls"]["CB_Var_ToD"]["rect"]
    click_at(x + w // 2, y + h // 2)
    click_list_middle()
    boxes = len(p.boxes())
    p.click("FMeter_Bus", "Btn_Cancel")
    closes(p, "FMeter_Bus", boxes_before=boxes)


@case
def disabled_edits_look_disabled(d):
    p = start_type10(d, "disabled")
    # The M-Bus editor disables the ASCII unit field for a type of data without one.
    f = open_step(p, "Btn_MBus", "FMeter_Bus")
    x, y, w, h = f["controls"]["CB_Var_ToD"]["rect"]
    click_at(x + w // 2, y + h // 2)
    keys("Down", "Return")
    for button, form in [(None, "FMeter_Bus"), ("Btn_ScanDecode", "FScanDecode")]:
        if button:
            open_step(p, button, form)

        def disabled_edits():
            f = p.form(form)
            return [(n, c) for n, c in f["controls"].items()
                    if not c["enabled"] and n.startswith(("E_", "CB_"))]
        disabled = poll("a disabled edit in " + form, disabled_edits)
        time.sleep(STEP_PAUSE)
        shot = xwd.grab_root()
        for name, c in disabled:
            x, y, w, h = c["rect"]
            colour = shot.pixel(x + 4, y + 4)  # inside the frame, before any text
            check(colour != (255, 255, 255), "%s.%s paints as enabled (white)" % (form, name))
        boxes = len(p.boxes())
        keys("alt+F4")
        closes(p, form, boxes_before=boxes)


@case
def an_ampersand_between_words_is_shown(d):
    p = start_type10(d, "ampersand")
    f = p.form(MAIN)
    c = f["controls"]["Btn_ScanDecode"]
    check(c["caption"] == "Scan & Decode", "caption " + c["caption"])
    x, y, w, h = c["rect"]
    shot = xwd.grab_root()
    runs = shot.ink_runs(x + 4, y + 4, w - 8, h - 8)
    # The glyph, then "Scan", "&" and "Decode": the "&" is a narrow run of its own between two
    # words, where an underlined blank would join the last word.
    check(len(runs) == 4 and runs[2][1] - runs[2][0] <= 12,
          "the button reads glyph, Scan, &, Decode: %s" % runs)


@case
def a_failed_scan_names_where_it_looked(d):
    p = start_type10(d, "scan")
    f = open_step(p, "Btn_ScanDecode", "FScanDecode")
    for i, part in enumerate(["127", "0", "0", "1"]):
        x, y, w, h = f["controls"]["E_IP%d" % (i + 1)]["rect"]
        click_at(x + w // 2, y + h // 2)
        keys("End", *["BackSpace"] * 4)
        type_text(part)
    # The gateway is looked for on this machine only.
    f = p.form("FScanDecode")
    typed = [f["controls"]["E_IP%d" % (i + 1)]["caption"] for i in range(4)]
    check(typed == ["127", "0", "0", "1"], "the address typed: %s" % typed)
    boxes = len(p.boxes())
    p.click("FScanDecode", "Btn_StartScan")
    b = p.box(boxes, timeout=20)
    check(b["text"].startswith("Error! Device Analyzer not found"), b["text"])
    check("127.0.0.1" in b["text"] and "10000" in b["text"], "address and port: " + b["text"])
    keys("alt+F4")
    closes(p, "FScanDecode")
    # The main window takes the very next click.
    p.click(MAIN, "Btn_Info")
    p.form("FAbout", 3)


def xclip_text():
    done = subprocess.run(["xclip", "-selection", "clipboard", "-o"], capture_output=True,
                          timeout=5)
    return done.stdout.decode("utf-8", "replace") if done.returncode == 0 else None


@case
def cell_editors_share_the_desktop_clipboard(d):
    """Text copied in a cell editor reaches another program (xclip), and text another program
    copied pastes into a cell."""
    check(subprocess.run(["which", "xclip"], capture_output=True).returncode == 0,
          "xclip is installed")
    p = Program(d, d.exe25, "clipboard")
    p.start()
    new_project(p, "Clip")
    open_step(p, "Btn_KNX_Access", KNX)
    type_cell(p, KNX, KNX_GRID, K_SOURCE, 1, "1.1.7", end=None)
    keys("shift+Home")
    keys("ctrl+c")
    poll("the copied cell text in xclip", lambda: xclip_text() == "1.1.7")
    keys("Return")
    # xclip keeps the clipboard while it runs in the foreground.
    other = subprocess.Popen(["xclip", "-selection", "clipboard", "-quiet", "-i"],
                             stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    try:
        other.stdin.write(b"4.4.4")
        other.stdin.close()
        poll("xclip to own the clipboard", lambda: xclip_text() == "4.4.4")
        p.click_cell(KNX, KNX_GRID, K_SOURCE, 2)
        keys("F2")
        keys("ctrl+v")
        keys("Return")
    finally:
        other.terminate()
        other.wait(timeout=5)
    for row in (1, 2):
        p.click_cell(KNX, KNX_GRID, K_ENABLE, row)  # not enabled: saved without a check
    ok(p, KNX)
    rows = xml_rows(p.project_file("Clip", "KNX_SetAccess.xml"), "KNX_in_Write")
    got = [r["Source_Address"] for r in rows[:2]]
    check(got == ["1.1.7", "4.4.4"], "source addresses: %s" % got)
