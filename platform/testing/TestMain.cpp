// The main of GoogleTest programs that use controls and forms.
#include "platform/qt/QtBackend.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <QString>
#include <QtGlobal>

#include <cstdlib>

namespace {
// The offscreen platform reports each window operation it lacks; nothing to see for tests.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& msg) {
    if (msg.startsWith(QLatin1String("This plugin does not support"))) return;
    if (type != QtDebugMsg) fprintf(stderr, "%s\n", qPrintable(msg));
}

class ResetListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { uitest::resetBetweenTests(); }
};
} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    qInstallMessageHandler(quietMessages);
    InitQtBackend(argc, argv);
    uitest::installTestServices();
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetListener);
    int rc = RUN_ALL_TESTS();
    Application->DestroyComponents();
    DoneQtBackend();
    return rc;
}
