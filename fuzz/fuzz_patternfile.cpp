// Random bytes as a pattern file: loading never crashes, and a file that loads saves and
// loads back to the same fields and options.

#include "document/cdocument.h"
#include "support/modalhost.h"
#include "support/textfile.h"
#include "tests/document/fakeview.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

// Answers every box with its first choice and every file dialog with Cancel.
class Dismisser : public ModalHost
{
public:
    ModalAnswer run(const ModalRequest &request, const std::function<ModalAnswer()> &) override
    {
        ModalAnswer answer;
        answer.button = request.kind == ModalKind::MessageBox ? 1 : 0;
        return answer;
    }
};

QTemporaryDir *scratch = nullptr;
Dismisser *dismisser = nullptr;

struct Fields
{
    QString texts[3];
    int checks[4];
    bool operator==(const Fields &o) const
    {
        for (int i = 0; i < 3; ++i)
            if (texts[i] != o.texts[i])
                return false;
        for (int i = 0; i < 4; ++i)
            if (checks[i] != o.checks[i])
                return false;
        return true;
    }
};

Fields fieldsOf(const FakeView &view)
{
    using TextBoxId = DocumentView::TextBoxId;
    using CheckBoxId = DocumentView::CheckBoxId;
    return {{view.text(TextBoxId::txtPattern), view.text(TextBoxId::txtSourceString),
             view.text(TextBoxId::txtReplaceVar)},
            {view.checkState(CheckBoxId::chkGlobal), view.checkState(CheckBoxId::chkIgnoreCase),
             view.checkState(CheckBoxId::chkMultiline),
             view.checkState(CheckBoxId::chkIgnoreLineBreaks)}};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    dismisser = new Dismisser;
    scratch = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString path = scratch->filePath(QStringLiteral("input.RegExp"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    TextFile files;
    CDocument document(files, *dismisser);
    FakeView view(document);
    document.Init(view);
    if (!document.LoadAs(path))
        return 0;
    if (document.IsDirty())
        std::abort();
    const Fields loaded = fieldsOf(view);
    if (!document.Save())
        return 0; // refused, e.g. a text with NUL; the file is left as it was
    CDocument again(files, *dismisser);
    FakeView view2(again);
    again.Init(view2);
    if (!again.LoadAs(path) || !(fieldsOf(view2) == loaded))
        std::abort();
    return 0;
}
