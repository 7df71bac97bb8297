// The main of GoogleTest programs that use controls and forms.
#include "platform/qt/QtBackend.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
class ResetListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { uitest::resetBetweenTests(); }
};
} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    InitQtBackend(argc, argv);
    uitest::installTestServices();
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetListener);
    int rc = RUN_ALL_TESTS();
    Application->DestroyComponents();
    DoneQtBackend();
    return rc;
}
