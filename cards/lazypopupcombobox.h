// Drop-down list that builds its popup when it is first needed (opened,
// searched by typing, asked for its view) instead of when it gets its font.
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

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool popupBuilt = false;
    // A size hint computed before a font change must be computed anew, which
    // only the list's own handling of the change does.
    mutable bool hintComputed = false;
};

#endif // LAZYPOPUPCOMBOBOX_H
