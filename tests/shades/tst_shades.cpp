// The colours of matches, groups and marks in a light, a dark and a high-contrast palette: each
// keeps its contrast to what it is drawn on and to the text drawn over it, and the shades that
// tell neighbours apart differ.

#include "tests/support/testenvironment.h"
#include "ui/main/shades.h"

#include <QTest>

namespace {

QPalette paletteOf(const QString &name)
{
    struct Colours
    {
        const char *window, *base, *text, *highlight, *highlightedText;
    };
    const Colours colours =
        name == u"light"  ? Colours{"#efefef", "#ffffff", "#000000", "#308cc6", "#ffffff"}
        : name == u"dark" ? Colours{"#2d2d2d", "#1e1e1e", "#f5f5f5", "#2a82da", "#ffffff"}
                          : Colours{"#000000", "#000000", "#ffffff", "#ffff00", "#000000"};
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(colours.window));
    palette.setColor(QPalette::Base, QColor(colours.base));
    palette.setColor(QPalette::Text, QColor(colours.text));
    palette.setColor(QPalette::Highlight, QColor(colours.highlight));
    palette.setColor(QPalette::HighlightedText, QColor(colours.highlightedText));
    return palette;
}

const QStringList Palettes = {QStringLiteral("light"), QStringLiteral("dark"),
                              QStringLiteral("high contrast")};

} // namespace

class tst_Shades : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void luminanceAndRatio_data();
    void luminanceAndRatio();
    void contrast_data();
    void contrast();
    void neighboursDiffer_data();
    void neighboursDiffer();
};

void tst_Shades::luminanceAndRatio_data()
{
    QTest::addColumn<QColor>("a");
    QTest::addColumn<QColor>("b");
    QTest::addColumn<double>("ratio");
    QTest::newRow("black on white is 21:1") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
    QTest::newRow("a colour against itself is 1:1")
        << QColor("#308cc6") << QColor("#308cc6") << 1.0;
    // Known values of the sRGB formula.
    QTest::newRow("mid grey on white") << QColor("#767676") << QColor(Qt::white) << 4.54;
    QTest::newRow("pure red on white") << QColor(Qt::red) << QColor(Qt::white) << 4.0;
    QTest::newRow("order does not matter") << QColor(Qt::white) << QColor("#767676") << 4.54;
}

void tst_Shades::luminanceAndRatio()
{
    QFETCH(QColor, a);
    QFETCH(QColor, b);
    QFETCH(double, ratio);
    QVERIFY2(std::abs(Contrast::ratio(a, b) - ratio) < 0.01,
             qPrintable(QString::number(Contrast::ratio(a, b))));
}

void tst_Shades::contrast_data()
{
    QTest::addColumn<QColor>("shade");
    QTest::addColumn<QColor>("against");
    QTest::addColumn<double>("atLeast");

    for (const QString &name : Palettes) {
        const QPalette palette = paletteOf(name);
        const Shades s(palette);
        const auto row = [&](const QString &what, const QColor &a, const QColor &b, double min) {
            QTest::newRow(qPrintable(name + u": " + what)) << a << b << min;
        };
        using namespace Contrast;
        for (int m = 0; m < 2; ++m) {
            const QString which = m == 0 ? QStringLiteral("first") : QStringLiteral("second");
            row(which + u" match fill against the box", s.match(m), s.base(), NonText);
            row(u"text over the " + which + u" match fill", s.text(), s.match(m), Text);
            row(u"frame of the current match on the " + which + u" fill", s.current(), s.match(m),
                NonText);
        }
        for (int g = 1; g <= Shades::GroupHues; ++g)
            row(QStringLiteral("group %1 as bar and as bracket text on the box").arg(g), s.group(g),
                s.base(), Text);
        row(QStringLiteral("frame of the current match against the box"), s.current(), s.base(),
            NonText);
        row(QStringLiteral("error band against the box"), s.errorBand(), s.base(), NonText);
        row(QStringLiteral("text over the error band"), s.text(), s.errorBand(), Text);
        row(QStringLiteral("wave on the error band"), s.errorWave(), s.errorBand(), NonText);
        row(QStringLiteral("unfocused selection against the box"), s.unfocusedSelection(), s.base(),
            NonText);
        row(QStringLiteral("text of the unfocused selection"), s.unfocusedSelectedText(),
            s.unfocusedSelection(), Text);
        row(QStringLiteral("focus frame against the window"), s.focusFrame(),
            palette.color(QPalette::Window), NonText);
        row(QStringLiteral("kind colour in the pattern box"), s.onBase(140), s.base(), Text);
        row(QStringLiteral("grey of a needless backslash"), s.onBase(0, 0), s.base(), Text);
    }
}

void tst_Shades::contrast()
{
    QFETCH(QColor, shade);
    QFETCH(QColor, against);
    QFETCH(double, atLeast);
    const double ratio = Contrast::ratio(shade, against);
    QVERIFY2(ratio >= atLeast, qPrintable(QStringLiteral("%1 on %2: %3:1")
                                              .arg(shade.name(), against.name())
                                              .arg(ratio, 0, 'f', 2)));
}

void tst_Shades::neighboursDiffer_data()
{
    QTest::addColumn<QString>("palette");
    for (const QString &name : Palettes)
        QTest::newRow(qPrintable(name)) << name;
}

void tst_Shades::neighboursDiffer()
{
    QFETCH(QString, palette);
    const Shades s(paletteOf(palette));
    // Consecutive matches: hues far apart.
    const int hueGap = std::abs(s.match(0).hslHue() - s.match(1).hslHue());
    QVERIFY2(std::min(hueGap, 360 - hueGap) >= 90, qPrintable(QString::number(hueGap)));
    QCOMPARE(s.match(2), s.match(0));
    // Every group of a cycle has a colour of its own; the cycle starts again after it.
    for (int a = 1; a <= Shades::GroupHues; ++a) {
        for (int b = a + 1; b <= Shades::GroupHues; ++b)
            QVERIFY2(s.group(a) != s.group(b), qPrintable(QStringLiteral("%1 %2").arg(a).arg(b)));
    }
    QCOMPARE(s.group(Shades::GroupHues + 1), s.group(1));
    // An error is told from a match.
    QVERIFY(s.errorBand() != s.match(0) && s.errorBand() != s.match(1));
}

QTEST_MAIN(tst_Shades)
#include "tst_shades.moc"
