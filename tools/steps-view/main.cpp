// steps-view: the Steps panel beside a pattern box and a source box, for looking at it alone.
//   steps-view PATTERN SOURCE [--dark] [--step N]
// traces PATTERN over SOURCE from the start and shows step N (the first by default); --dark
// shows it in a dark palette.

#include "ui/main/livejob.h"
#include "ui/main/textbox.h"
#include "ui/steps/stepspanel.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QStyleFactory>

#include <cstdio>

namespace {

QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x35, 0x35, 0x35);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    p.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    return p;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const bool dark = arguments.removeAll(QStringLiteral("--dark")) > 0;
    qint64 step = 0;
    const qsizetype at = arguments.indexOf(QStringLiteral("--step"));
    if (at >= 0 && at + 1 < arguments.size()) {
        step = arguments[at + 1].toLongLong();
        arguments.remove(at, 2);
    }
    if (arguments.size() != 2) {
        std::fputs("usage: steps-view PATTERN SOURCE [--dark] [--step N]\n", stderr);
        return 2;
    }
    if (dark) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(darkPalette());
    }

    QMainWindow window;
    auto *central = new QWidget(&window);
    auto *layout = new QVBoxLayout(central);
    auto *pattern = new TextBox(central);
    auto *source = new TextBox(central);
    pattern->SetText(arguments[0]);
    source->SetText(arguments[1]);
    pattern->setFixedHeight(pattern->fontMetrics().height() * 2 + 8);
    layout->addWidget(new QLabel(QStringLiteral("Pattern"), central));
    layout->addWidget(pattern);
    layout->addWidget(new QLabel(QStringLiteral("Source"), central));
    layout->addWidget(source);
    auto *panel = new StepsPanel(central);
    panel->setBoxes(pattern, source);
    layout->addWidget(panel, 1);
    window.setCentralWidget(central);
    window.setWindowTitle(QStringLiteral("Steps"));
    window.resize(640, 520);
    window.show();

    StepsPanel::Request request;
    request.pattern = pattern->Text();
    request.source = source->Text();
    QObject::connect(&panel->job(), &LiveJob::finished, panel, [panel, step] {
        panel->setStep(step);
        panel->setFocus();
    });
    panel->trace(request, true);
    return QApplication::exec();
}
