#include "ui/main/frmmain.h"

#include "document/cdocument.h"
#include "runner/codegenerator.h"
#include "samples/sampleset.h"
#include "support/appinfo.h"
#include "support/appservices.h"
#include "support/suresources.h"
#include "support/suwindow.h"
#include "ui/help/frmpatternhelp.h"
#include "ui/help/frmreadme.h"
#include "ui/hooks/cstbselectallhook.h"
#include "ui/main/designedgeometry.h"
#include "ui/main/elasticgrid.h"
#include "ui/main/imagelist.h"
#include "ui/main/mainlayout.h"
#include "ui/main/matchlocator.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/sourcetextbox.h"
#include "ui/main/textbox.h"
#include "ui/shiftstate.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <span>

namespace {

// A menu item: its index in the menu's array, caption, key and what choosing it does (none for
// a separator).
struct MenuItemSpec
{
    int index;
    QStringView caption;
    QKeyCombination shortcut = {};
    void (*action)(frmMain &window) = nullptr;
};

constexpr QKeyCombination key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return QKeyCombination(modifiers, k);
}

// The name text the About box is handed: the object whose dialect the program runs.
constexpr QStringView AboutNameText = u"RegExp";

void push(QPushButton *button)
{
    AppServices::instance().PushButton(button);
}

void toggle(QCheckBox *box)
{
    box->setChecked(!box->isChecked());
}

constexpr MenuItemSpec FileItems[] = {
    {0, u"&New", key(Qt::Key_N, Qt::ControlModifier), [](frmMain &w) { w.document().Clear(); }},
    {1, u"-"},
    {10, u"&Open...", key(Qt::Key_F3), [](frmMain &w) { w.document().Load(); }},
    {11, u"&Save", key(Qt::Key_F2), [](frmMain &w) { w.document().Save(); }},
    {12, u"Save &as...", key(Qt::Key_F2, Qt::ShiftModifier),
     [](frmMain &w) { w.document().SaveAs(); }},
    {13, u"-"},
    {99, u"&Exit", {}, [](frmMain &w) { suUnloadForm(&w); }},
};

constexpr MenuItemSpec RunItems[] = {
    {0, u"&Execute", key(Qt::Key_F5), [](frmMain &w) { push(w.cmdExecute); }},
    {1, u"Execute and open in E&xcel", key(Qt::Key_F5, Qt::ControlModifier),
     [](frmMain &w) { push(w.cmdExecuteAndOpen); }},
    {2, u"&Replace", key(Qt::Key_F6), [](frmMain &w) { push(w.cmdReplace); }},
    {3, u"&Test", key(Qt::Key_F7), [](frmMain &w) { push(w.cmdTest); }},
    {4, u"-"},
    {10, u"Generate code for Execute...", key(Qt::Key_F5, Qt::ShiftModifier),
     [](frmMain &w) { w.GenerateCode(SnippetKind::Execute); }},
    {11, u"Generate code for Replace...", key(Qt::Key_F6, Qt::ShiftModifier),
     [](frmMain &w) { w.GenerateCode(SnippetKind::Replace); }},
    {12, u"Generate code for Test...", key(Qt::Key_F7, Qt::ShiftModifier),
     [](frmMain &w) { w.GenerateCode(SnippetKind::Test); }},
    {13, u"Generate code for Samples...", key(Qt::Key_F9, Qt::ShiftModifier),
     [](frmMain &w) { w.GenerateSamplesCode(); }},
};

constexpr MenuItemSpec OptionsItems[] = {
    {0, u"Global", key(Qt::Key_G, Qt::ControlModifier), [](frmMain &w) { toggle(w.chkGlobal); }},
    {1, u"Ignore case", key(Qt::Key_I, Qt::ControlModifier),
     [](frmMain &w) { toggle(w.chkIgnoreCase); }},
    {2, u"Multiline", key(Qt::Key_M, Qt::ControlModifier),
     [](frmMain &w) { toggle(w.chkMultiline); }},
    {3, u"-"},
    {10, u"Ignore line breaks", key(Qt::Key_B, Qt::ControlModifier),
     [](frmMain &w) { toggle(w.chkIgnoreLineBreaks); }},
};

constexpr MenuItemSpec HelpItems[] = {
    {0, u"&Contents...", key(Qt::Key_F1, Qt::ControlModifier),
     [](frmMain &w) { ShowReadMe(&w, w.services().opener); }},
    {1, u"Regular expression help...", key(Qt::Key_F1), [](frmMain &w) { ShowPatternHelp(&w); }},
    {2, u"-"},
    {3, u"&About...", key(Qt::Key_F1, Qt::ShiftModifier),
     [](frmMain &w) {
         AppServices::instance().ShowAbout(w.services().modal, &w, ApplicationInfo::current(),
                                           QString(), QIcon(), AboutNameText.toString());
     }},
};

// Carries out the item at index of a menu; an index without an action does nothing.
void runItem(std::span<const MenuItemSpec> items, frmMain &window, int index)
{
    for (const MenuItemSpec &item : items) {
        if (item.index == index && item.action)
            item.action(window);
    }
}

// Creates a control of the client area's tree at its designed place.
template<class Control, class... Args>
Control *createControl(QWidget *parent, const QString &name, Args &&...args)
{
    auto *control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    control->setGeometry(designedPixels(name));
    return control;
}

QPushButton *createButton(QWidget *parent, const QString &name, const QString &caption,
                          const QString &toolTip)
{
    auto *button = createControl<QPushButton>(parent, name, caption);
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    return button;
}

// The selection of a box without the focus shows dimmed, as desktop editors show it.
void dimUnfocusedSelection(QWidget *box)
{
    QPalette palette = box->palette();
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const auto mix = [](int a, int b) { return (a * 2 + b * 3) / 5; };
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     QColor(mix(highlight.red(), base.red()), mix(highlight.green(), base.green()),
                            mix(highlight.blue(), base.blue())));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::Text));
    box->setPalette(palette);
}

QFont windowFont()
{
    QFont font(QStringLiteral("Tahoma"), 9);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

frmMain::frmMain(const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_samples(new SampleSet(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Sievewright"));
    setFont(windowFont());

    createControls();
    createMenus();
    setTabOrder();
    // The first box of the tab order has the focus when the window first becomes active.
    txtPattern->setFocus();

    // The client area at its designed size, laid out once before the window is shown.
    layout()->activate();
    const QSize chrome = size() - m_client->size();
    resize(designedClientPixels() + chrome);
    layout()->activate();
    Form_Resize();

    connectCommands();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &frmMain::sessionEnding);
    Form_Load();
}

void frmMain::createControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    // Children in the order in which they are created, each at its designed place.
    vseContainer = createControl<ElasticGrid>(m_client, QStringLiteral("vseContainer"), 2, 3);
    vseContainer->setFont(windowFont());
    txtReplaceVar = createControl<TextBox>(vseContainer, QStringLiteral("txtReplaceVar"));
    txtResult = createControl<TextBox>(vseContainer, QStringLiteral("txtResult"));
    auto *source = createControl<SourceTextBox>(vseContainer, QStringLiteral("txtSourceString"));
    txtSourceString = source;
    txtPattern = createControl<TextBox>(vseContainer, QStringLiteral("txtPattern"));
    tvResults = createControl<ResultsTreeWidget>(vseContainer, QStringLiteral("tvResults"));
    m_locator = std::make_unique<MatchLocator>(tvResults, source);

    // What each box is for, shown while it is empty; never part of its text.
    const std::pair<TextBox *, QString> placeholders[] = {
        {txtPattern, QStringLiteral("Pattern")},
        {txtSourceString, QStringLiteral("Source text")},
        {txtReplaceVar, QStringLiteral("Replacement")},
        {txtResult, QStringLiteral("Result of Replace")}};
    for (const auto &[box, text] : placeholders) {
        box->setPlaceholderText(text);
        dimUnfocusedSelection(box);
    }
    tvResults->setEmptyHint(QStringLiteral("Execute (F5) lists the matches here."));

    vseContainer->setCells(txtPattern, {0, 0});
    vseContainer->setCells(txtSourceString, {1, 0});
    vseContainer->setCells(tvResults, {0, 1, 2, 1});
    vseContainer->setCells(txtReplaceVar, {0, 2});
    vseContainer->setCells(txtResult, {1, 2});

    ilTreeIcons = new ImageList(this);
    ilTreeIcons->setObjectName(QStringLiteral("ilTreeIcons"));

    pnlSetting = createControl<QFrame>(m_client, QStringLiteral("pnlSetting"));
    pnlSetting->setFrameShape(QFrame::NoFrame);
    pnlSetting->setFocusPolicy(Qt::NoFocus);
    cmdExecuteAndOpen =
        createButton(pnlSetting, QStringLiteral("cmdExecuteAndOpen"), QStringLiteral("Excel"),
                     QStringLiteral(" Execute regular expression and open results in Excel "
                                    "(Ctrl+F5) "));
    cmdReplace = createButton(pnlSetting, QStringLiteral("cmdReplace"), QStringLiteral("Replace"),
                              QStringLiteral(" Replace text using pattern (F6) "));
    cmdTest = createButton(pnlSetting, QStringLiteral("cmdTest"), QStringLiteral("Test"),
                           QStringLiteral(" Show if source string match regular expression (F7) "));
    cmdExecute = createButton(pnlSetting, QStringLiteral("cmdExecute"), QStringLiteral("Execute"),
                              QStringLiteral(" Execute regular expression and show results (F5) "));
    chkIgnoreCase = createControl<QCheckBox>(pnlSetting, QStringLiteral("chkIgnoreCase"),
                                             QStringLiteral("Ignore case"));
    chkGlobal =
        createControl<QCheckBox>(pnlSetting, QStringLiteral("chkGlobal"), QStringLiteral("Global"));
    chkIgnoreLineBreaks = createControl<QCheckBox>(
        pnlSetting, QStringLiteral("chkIgnoreLineBreaks"), QStringLiteral("Ignore line breaks"));
    chkMultiline = createControl<QCheckBox>(pnlSetting, QStringLiteral("chkMultiline"),
                                            QStringLiteral("Multiline"));
    // A check box is as large as its caption needs in the font in use, at least its designed
    // size; as the buttons may lie over the caption, it is the tooltip as well.
    for (QCheckBox *box : {chkGlobal, chkIgnoreCase, chkMultiline, chkIgnoreLineBreaks}) {
        box->resize(box->size().expandedTo(box->sizeHint()));
        box->setToolTip(box->text());
    }
    // Where the strip is too narrow for both, the buttons lie over the check boxes.
    for (QPushButton *button : {cmdExecute, cmdExecuteAndOpen, cmdReplace, cmdTest})
        button->raise();
}

void frmMain::setTabOrder()
{
    // Test comes before Replace although it stands to its right; Ignore line breaks is last.
    const QList<QWidget *> order = {
        txtPattern, txtSourceString, tvResults,          txtReplaceVar, txtResult,
        chkGlobal,  chkIgnoreCase,   chkMultiline,       cmdExecute,    cmdExecuteAndOpen,
        cmdTest,    cmdReplace,      chkIgnoreLineBreaks};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    for (QWidget *control : order) {
        control->setFocusPolicy(Qt::StrongFocus);
        control->installEventFilter(this);
    }
}

void frmMain::createMenus()
{
    struct MenuSpec
    {
        int barIndex;
        QStringView caption;
        QStringView objectName;
        MenuArray frmMain::*array;
        void (frmMain::*handler)(int);
        std::span<const MenuItemSpec> items;
    };
    const MenuSpec menus[] = {
        {0, u"&File", u"mnuFile", &frmMain::mnuFile, &frmMain::mnuFile_Click, FileItems},
        {1, u"&Run", u"mnuRun", &frmMain::mnuRun, &frmMain::mnuRun_Click, RunItems},
        {2, u"&Options", u"mnuOptions", &frmMain::mnuOptions, &frmMain::mnuOptions_Click,
         OptionsItems},
        {99, u"&Help", u"mnuHelp", &frmMain::mnuHelp, &frmMain::mnuHelp_Click, HelpItems},
    };

    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("mnuMain"));
    // Menus keep the platform's menu font.
    bar->setFont(QApplication::font(bar));
    for (const MenuSpec &spec : menus) {
        MenuArray &array = this->*spec.array;
        QMenu *menu = bar->addMenu(spec.caption.toString());
        menu->setObjectName(spec.objectName.toString());
        array.setMenu(menu);
        mnuMain.add(spec.barIndex, menu->menuAction());
        for (const MenuItemSpec &item : spec.items) {
            auto *action = new QAction(menu);
            // A separator keeps no caption: styles would draw it as a section title.
            if (item.caption == u"-")
                action->setSeparator(true);
            else
                action->setText(item.caption.toString());
            // An item without a key has an empty combination, which Qt 6 reads as Key_unknown.
            if (item.shortcut.key() != Qt::Key_unknown)
                action->setShortcut(QKeySequence(item.shortcut));
            menu->addAction(action);
            array.add(item.index, action);
        }
        const auto handler = spec.handler;
        connect(menu, &QMenu::triggered, this,
                [this, &array, handler](QAction *action) { menuClicked(array, handler, action); });
    }
}

void frmMain::mnuFile_Click(int index)
{
    runItem(FileItems, *this, index);
}

void frmMain::mnuRun_Click(int index)
{
    runItem(RunItems, *this, index);
}

void frmMain::mnuOptions_Click(int index)
{
    runItem(OptionsItems, *this, index);
}

void frmMain::mnuHelp_Click(int index)
{
    runItem(HelpItems, *this, index);
}

void frmMain::menuClicked(MenuArray &array, void (frmMain::*handler)(int), QAction *action)
{
    const int index = array.indexOf(action);
    if (index < 0)
        return;
    Q_EMIT menuItemClicked(array.name(), index);
    (this->*handler)(index);
}

QStringList frmMain::resultIconKeys()
{
    QStringList keys;
    for (QStringView group : {u"IDI_MATCH", u"IDI_SUBMATCH"}) {
        keys.append(group.toString());
        for (int digit = 1; digit <= 9; ++digit)
            keys.append(group.toString() + u'_' + QString::number(digit));
    }
    keys << QStringLiteral("IDI_INFO") << QStringLiteral("IDI_WARNING");
    return keys;
}

void frmMain::InitResultsTree()
{
    ilTreeIcons->clear();
    for (const QString &key : resultIconKeys())
        ilTreeIcons->add(key, suLoadResIconSmall(key, devicePixelRatio()));

    tvResults->setImageList(ilTreeIcons);
    tvResults->setIconSize(QSize(16, 16));
    tvResults->setFrameShape(QFrame::NoFrame);
    // Keeps the selected node marked while the focus is elsewhere.
    QPalette palette = tvResults->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setBrush(QPalette::Inactive, role, palette.brush(QPalette::Active, role));
    tvResults->setPalette(palette);
    tvResults->setIndentation(Twips::toPixels(300));
    tvResults->setRootIsDecorated(true);
    tvResults->showTreeLines();
    tvResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Long labels are shown whole, with a horizontal scroll bar, rather than cut short.
    tvResults->setTextElideMode(Qt::ElideNone);
    tvResults->header()->setStretchLastSection(false);
    tvResults->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}

void frmMain::Form_Resize()
{
    MainLayoutInput in;
    in.clientWidth = Twips::fromPixels(m_client->width());
    in.clientHeight = Twips::fromPixels(m_client->height());
    in.panelHeight = Twips::fromPixels(pnlSetting->height());
    in.containerHeight = Twips::fromPixels(vseContainer->height());
    in.buttonWidth = Twips::fromPixels(cmdExecute->width());
    in.buttonTop = Twips::fromPixels(cmdExecute->y());
    const MainLayout out = computeMainLayout(in);

    auto pixels = [](const TwipsRect &r) {
        return QRect(Twips::toPixels(r.left), Twips::toPixels(r.top), Twips::toPixels(r.width),
                     Twips::toPixels(r.height));
    };
    if (out.container) {
        vseContainer->setGeometry(pixels(*out.container));
        // A hidden window gets its resize events only when shown; place the children now.
        vseContainer->arrange();
    }
    if (out.panel)
        pnlSetting->setGeometry(pixels(*out.panel));
    QPushButton *const buttons[] = {cmdExecute, cmdExecuteAndOpen, cmdReplace, cmdTest};
    for (int i = 0; i < 4; ++i) {
        if (out.buttonLefts[i])
            buttons[i]->move(Twips::toPixels(*out.buttonLefts[i]), buttons[i]->y());
    }
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize) {
        Form_Resize();
        return false;
    }
    if (event->type() == QEvent::KeyPress && watched == QApplication::focusWidget()) {
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        int keyCode = keyEvent->key();
        Form_KeyDown(keyCode, shiftState(keyEvent->modifiers()));
        if (keyCode == 0) {
            keyEvent->accept();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
