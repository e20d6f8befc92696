#include "ui/main/frmmain.h"

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Sievewright - [Untitled]"));
    resize(640, 480);
}
