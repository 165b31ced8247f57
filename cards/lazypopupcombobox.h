// Drop-down list that builds its popup when it is first needed (opened,
// searched by typing, asked for its view) instead of when it gets its font,
// and that can reckon its size hint from item text widths shared by all lists.
// A plain list builds the popup, a window of its own with a list view, scroll
// bars and scrollers, as soon as its font is set, and every control of the
// popup is then styled, shown and destroyed with the card; most lists are
// never opened. Whenever the popup is built, by this list or by Qt, it takes
// the list's font, as the plain list hands it on.
#ifndef LAZYPOPUPCOMBOBOX_H
#define LAZYPOPUPCOMBOBOX_H

#include <QComboBox>

class LazyPopupComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit LazyPopupComboBox(QWidget *parent = nullptr);

    // Whether the popup exists yet.
    bool hasPopup() const { return popupBuilt; }

    // The size hints reckoned as a plain list reckons them, with the widths of
    // the item texts from a table shared by all lists (TextWidths) instead of
    // a text layout per item and list. For lists whose items are set before
    // the hint is first asked for and not changed after: a plain list keeps
    // the hint it reckoned first until its font or style changes, this one
    // reckons it whenever asked. Lists with icons, an editor, a placeholder
    // text or a size policy other than the default reckon as a plain list.
    void setSharedTextWidths(bool on) { sharedWidths = on; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool reckonsHints() const;
    QSize reckonedHint() const;

    bool popupBuilt = false;
    bool sharedWidths = false;
    // A size hint computed before a font change must be computed anew, which
    // only the list's own handling of the change does.
    mutable bool hintComputed = false;
};

#endif // LAZYPOPUPCOMBOBOX_H
