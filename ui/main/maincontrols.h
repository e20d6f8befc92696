#pragma once
// The main window's controls by their names, as the window hands them to its helpers, tests and
// benchmarks: they may drive a control but cannot replace it. The window owns them all.

class ElasticGrid;
class ImageList;
class QCheckBox;
class QFrame;
class QPushButton;
class ResultsTreeWidget;
class TextBox;

struct MainControls
{
    ElasticGrid *const vseContainer;
    TextBox *const txtReplaceVar;
    TextBox *const txtResult;
    TextBox *const txtSourceString;
    TextBox *const txtPattern;
    ResultsTreeWidget *const tvResults;
    ImageList *const ilTreeIcons;
    QFrame *const pnlSetting;
    QPushButton *const cmdExecuteAndOpen;
    QPushButton *const cmdReplace;
    QPushButton *const cmdTest;
    QPushButton *const cmdExecute;
    QCheckBox *const chkIgnoreCase;
    QCheckBox *const chkGlobal;
    QCheckBox *const chkIgnoreLineBreaks;
    QCheckBox *const chkMultiline;
};
