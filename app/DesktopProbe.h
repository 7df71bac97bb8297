#pragma once
// For the desktop tests, which drive the program with real X input: with KNXGW_PROBE_FILE set,
// the program appends to that file, as JSON lines, where the controls of the window in front
// are on the screen (each time that changes) and every message box it shows.
void Start_Desktop_Probe();
