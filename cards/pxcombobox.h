// Drop-down list whose popup widens to its longest item, and whose current
// text, when the box is too narrow for it, is drawn cut with "…" and shown
// whole in the tooltip.
#ifndef PXCOMBOBOX_H
#define PXCOMBOBOX_H

#include <QComboBox>
#include <QFont>

class PxComBoBox : public QComboBox
{
public:
    explicit PxComBoBox(QWidget *parent = nullptr);

    // Gives the popup list room for the widest item text beside its vertical
    // scroll bar.
    void adjustPopupWidth();

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
};

#endif // PXCOMBOBOX_H
