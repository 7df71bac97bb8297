#pragma once
// The settings file Velmar.xml beside the program: last project, last gateway address,
// language and the two internet flags.
#include <string>

// Path of the settings file (Program_Dir + "\Velmar.xml").
std::string Settings_File();
// Reads the five settings into the program state; each value that is missing or unreadable
// takes its default. A missing or unparsable file gives every default and clears Project_Dir.
void Read_Setting();
// Writes the five settings, replacing the file; raises the platform's file error on failure.
void Save_Setting();
