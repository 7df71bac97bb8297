#pragma once
// A project folder of its own for the two dialogs of the image subsystem.
#include "tests/ProjectFolderTest.h"

class DialogTest : public ProjectFolderTest {
protected:
    DialogTest() : ProjectFolderTest("image_dialog_", "QS40511") {}
};
