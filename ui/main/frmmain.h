#pragma once
// The main window.

#include <QMainWindow>

class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
};
