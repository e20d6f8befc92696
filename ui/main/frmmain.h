#pragma once
// The main window: the pattern, source, replacement and result boxes, the results tree, the
// options strip and the menu bar.
//
// Data flow: the controls are the only store of the work. Menu clicks reach one handler per
// menu with the item's index (mnuFile_Click, ...), which runs the action in the item's row of
// the menu table (mainmenus.cpp), and every key press is seen by Form_KeyDown before the focused
// control. The commands (frmmaincommands.cpp) read the controls and call the runner (runner/:
// RunRegExp fills tvResults and hands back the run's result, which the window shows as the
// source box's highlights and hands to the spreadsheet export; ReplaceRegExp fills txtResult;
// the code generator makes the snippet) or the document (document/: reads and writes the controls,
// the caption and the files). Dialogs, files and settings go through support/: every message box
// and file dialog through the modal host of the services start-up hands the window, which passes it
// on with the file store (document) and the opener (export, read-me). The twips and shift-state
// helpers that the help window shares sit in ui/. Panels and the status line (panelhost.h,
// statusline.h) read the work when workChanged() says it changed.

#include "support/services.h"
#include "ui/main/maincontrols.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringView>

#include <array>
#include <memory>

class CDocument;
class csTBSelectAllHook;
class LiveResults;
class PatternHighlighter;
class ReplaceOutput;
struct LiveAnswer;
struct LiveRequest;
struct RunResult;
class QTimer;
enum class RunCommand;
struct RunOptions;
enum class SnippetKind;
class DocumentView;
class ElasticGrid;
class ImageList;
class MainMenus;
class MenuArray;
class QAction;
class MatchLocator;
class PanelHost;
class QCheckBox;
class QCloseEvent;
class QFrame;
class QPushButton;
class QSessionManager;
class ResultsTreeWidget;
class SampleSet;
class StatusLine;
class StepsBinding;
class TextBox;
namespace engine {
class MatchCollection;
struct RunSteps;
} // namespace engine

class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    // services (copied; the objects they name outlive the window): the file store for the
    // document, the opener for the spreadsheet export and the read-me.
    explicit frmMain(const Services &services, QWidget *parent = nullptr);
    ~frmMain() override;

    // The controls by their names; children of the client area, owned by the window.
    MainControls controls() const;
    // The menu array named name ("mnuMain", "mnuFile", "mnuRun", "mnuOptions", "mnuHelp"; the
    // menu bar's items 0, 1, 2, 99 are the drop-downs' own actions); null for another name.
    const MenuArray *menuArray(QStringView name) const;
    // The item at index of the array named name; null where there is none.
    QAction *menuItem(QStringView name, int index) const;

    // The area below the menu bar that the measures of the controls refer to.
    QWidget *clientArea() const { return m_client; }
    // The panels (docks with their View items) and the status line under the option strip.
    PanelHost &panels() const { return *m_panels; }
    StatusLine &statusLine() const { return *m_statusLine; }

    // Places the result area, the options strip and the four buttons for the client size;
    // a step that cannot be carried out is skipped.
    void Form_Resize();
    // Fills ilTreeIcons with the 22 result icons and sets the tree's look.
    void InitResultsTree();

    // Ties the results tree to the source box.
    const MatchLocator &matchLocator() const { return *m_locator; }

    // What the window was handed at its making.
    const Services &services() const { return m_services; }
    // The window's one document, created on first use.
    CDocument &document();
    // The four option boxes' states.
    RunOptions runOptions() const;
    // The results that follow the typing.
    LiveResults &liveResults() const { return *m_live; }
    // Offers the snippet for the current pattern, replacement and options.
    void GenerateCode(SnippetKind kind);
    // The samples of the document, kept beside its pattern file and shown in the Samples panel.
    SampleSet &samples() const { return *m_samples; }
    // Offers the Sub that checks every sample with the current pattern and options.
    void GenerateSamplesCode();

Q_SIGNALS:
    // A menu item was chosen: the array's name ("mnuFile", ...) and the item's index.
    void menuItemClicked(const QString &menuName, int index);
    // The pattern, the source, the replacement or an option changed.
    void workChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Asks to save unsaved changes; the window stays open when that is cancelled or fails.
    void closeEvent(QCloseEvent *event) override;

private:
    ElasticGrid *vseContainer = nullptr;
    TextBox *txtReplaceVar = nullptr;
    TextBox *txtResult = nullptr;
    TextBox *txtSourceString = nullptr;
    TextBox *txtPattern = nullptr;
    ResultsTreeWidget *tvResults = nullptr;
    ImageList *ilTreeIcons = nullptr;
    QFrame *pnlSetting = nullptr;
    QPushButton *cmdExecuteAndOpen = nullptr;
    QPushButton *cmdReplace = nullptr;
    QPushButton *cmdTest = nullptr;
    QPushButton *cmdExecute = nullptr;
    QCheckBox *chkIgnoreCase = nullptr;
    QCheckBox *chkGlobal = nullptr;
    QCheckBox *chkIgnoreLineBreaks = nullptr;
    QCheckBox *chkMultiline = nullptr;

    // One handler per menu, with the chosen item's index: runs the item's action.
    void mnuFile_Click(int index);
    void mnuRun_Click(int index);
    void mnuOptions_Click(int index);
    void mnuHelp_Click(int index);
    // Sees every key press in the window before the focused control does. keyCode is a
    // Qt::Key, shift a sum of 1 (Shift), 2 (Ctrl) and 4 (Alt); setting keyCode to 0 keeps
    // the key from the control.
    void Form_KeyDown(int &keyCode, int shift);

    // Tahoma 9, falling back to the platform's sans serif.
    static QFont windowFont();
    void createControls();
    void createMenus();
    void setTabOrder();
    void connectCommands();
    // The Samples panel, its background check and its summary in the status line
    // (frmmainsamples.cpp).
    void createSamplesPanel();
    // The Steps panel tracing the selected match or the search from the source box's caret,
    // and the steps of each match in the tree's tooltips and the status line (frmmainsteps.cpp).
    void createStepsPanel();
    // An Execute filled the tree with matches.
    void stepsRunEnded(const engine::MatchCollection &matches);
    // The Text() offset of the source box's caret.
    int sourceCaretOffset() const;
    void showMatchSteps(const engine::RunSteps &steps);
    void menuClicked(const MenuArray &array, void (frmMain::*handler)(int), QAction *action);

    // Lifecycle.
    void Form_Load();
    void Form_QueryUnload(bool &cancel);
    void Form_Unload();
    void InitSelectAllHooks();
    void ReleaseSelectAllHooks();
    void RestoreWindowPlacement();
    void SaveWindowPlacement();
    void InitDocument();
    void sessionEnding(QSessionManager &manager);

    // The four buttons' actions.
    void cmdExecute_Click();
    void cmdExecuteAndOpen_Click();
    void cmdReplace_Click();
    void cmdTest_Click();
    void runPattern(RunCommand command);
    // Selects the character of the pattern as typed at the engine's offset, and focuses it.
    void showPatternError(int position);

    // Live results and the status line (frmmainlive.cpp).
    void connectLive(PatternHighlighter &highlighter);
    LiveRequest takeWork() const;
    void showLiveAnswer(const LiveAnswer &answer);
    // Greys the tree and the highlights, or shows them as current again.
    void setResultsOutOfDate(bool outOfDate);
    // How much of a long text has arrived in the source or the result box.
    void showArrivals();
    // What a run by command found, or that it was cancelled.
    void showRunOutcome(const RunResult &result);
    // The elapsed time of a run in the status line while it goes on.
    void startRunClock();
    void stopRunClock();
    struct RunWatch
    {
        explicit RunWatch(frmMain &window)
            : window(window)
        {
            window.startRunClock();
        }
        ~RunWatch() { window.stopRunClock(); }
        frmMain &window;
    };

    const Services m_services;
    QWidget *m_client = nullptr;
    // Owned by the window; outlives the document, which goes first.
    SampleSet *m_samples = nullptr;
    std::unique_ptr<MainMenus> m_menus;
    std::unique_ptr<DocumentView> m_documentView;
    std::unique_ptr<CDocument> m_document;
    // txtPattern, txtSourceString, txtReplaceVar, txtResult.
    std::array<std::unique_ptr<csTBSelectAllHook>, 4> m_selectAllHooks;
    bool m_unloaded = false;
    LiveResults *m_live = nullptr;
    ReplaceOutput *m_replaceOutput = nullptr;
    QTimer *m_runClock = nullptr;
    QElapsedTimer m_runStarted;
    // The positions of the last Execute: the tree's nodes select their text in the source box,
    // which highlights every match. Goes before the controls it watches.
    std::unique_ptr<MatchLocator> m_locator;
    StatusLine *m_statusLine = nullptr;
    PanelHost *m_panels = nullptr;
    StepsBinding *m_steps = nullptr;
    // The matches the tree shows, for tracing the selected one.
    std::shared_ptr<const engine::MatchCollection> m_stepsMatches;
};
