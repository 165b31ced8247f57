// Drop-down list whose popup widens to its longest item, and whose current
// text, when the box is too narrow for it, is drawn cut with "…" and shown
// whole in the tooltip.
#ifndef PXCOMBOBOX_H
#define PXCOMBOBOX_H

#include "lazypopupcombobox.h"

#include <QFont>

class PxComBoBox : public LazyPopupComboBox
{
public:
    explicit PxComBoBox(QWidget *parent = nullptr);

    // Gives the popup list room for the widest item text beside its vertical
    // scroll bar, now (building the popup if need be).
    void adjustPopupWidth();
    // From now on the popup is given that room whenever it opens, and is not
    // built before.
    void adjustPopupWidthOnOpen() { widthOnOpen = true; }

    void showPopup() override;

    // Whether the current text is drawn cut at the box's present width.
    bool isElided() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int textRoom() const;
    void updateToolTip();

    // The view's own padding around an item text, measured once on the first
    // item in paddingFont; -1 until then.
    QFont paddingFont;
    int itemPadding = -1;
    bool widthOnOpen = false;
};

#endif // PXCOMBOBOX_H
