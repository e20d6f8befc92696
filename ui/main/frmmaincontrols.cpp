// The main window's controls: made in the order of the designed form, each at its designed
// place, with their captions, tooltips, placeholders and tab order.

#include "ui/main/designedgeometry.h"
#include "ui/main/elasticgrid.h"
#include "ui/main/frmmain.h"
#include "ui/main/imagelist.h"
#include "ui/main/matchlocator.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/sourcetextbox.h"
#include "ui/main/textbox.h"

#include <QCheckBox>
#include <QFrame>
#include <QPushButton>

namespace {

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

} // namespace

QFont frmMain::windowFont()
{
    QFont font(QStringLiteral("Tahoma"), 9);
    font.setStyleHint(QFont::SansSerif);
    return font;
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
    for (const auto &[box, text] : placeholders)
        box->setPlaceholderText(text);
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
