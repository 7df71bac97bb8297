#include "app/MainWindow.h"

TFMainWindow::TFMainWindow(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("knxgwconfig");
    SetBorderStyle(bsSingle);
    SetClientSize(640, 480);
    SetPosition(poScreenCenter);
}
