#pragma once
// The program's 33 forms, created once at start-up in a fixed order: the main window first,
// so that every dialog's creation handler finds UI_Texts and the product profile filled.

// Creates the forms through Application->CreateForm; the main window becomes the main form.
void Create_Program_Forms();
// Frees the forms in the reverse order and clears their instance pointers (tests, benchmarks).
void Destroy_Program_Forms();
