#pragma once
// What the document needs of the main window: the texts of its four text boxes, the states of
// its four option check boxes, emptying the results tree, and the caption. The main window
// implements it; tests use a fake. Setting a control may fire the window's change
// notifications, which call CDocument::MakeDirty.

#include <QString>

class QWidget;

class DocumentView
{
public:
    enum class TextBoxId
    {
        txtPattern,
        txtSourceString,
        txtReplaceVar,
        txtResult
    };
    enum class CheckBoxId
    {
        chkGlobal,
        chkIgnoreCase,
        chkMultiline,
        chkIgnoreLineBreaks
    };

    virtual ~DocumentView() = default;

    virtual QString text(TextBoxId box) const = 0;
    virtual void setText(TextBoxId box, const QString &text) = 0;
    // 0 unchecked, 1 checked.
    virtual int checkState(CheckBoxId box) const = 0;
    virtual void setCheckState(CheckBoxId box, int state) = 0;
    // Removes all nodes of tvResults.
    virtual void clearResults() = 0;
    virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;
    // The window that owns the document's file dialogs; may be nullptr.
    virtual QWidget *dialogOwner() const = 0;
};
