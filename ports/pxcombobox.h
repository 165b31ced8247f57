// Drop-down list whose popup widens to its longest item.
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

private:
    // The view's own padding around an item text, measured once on the first
    // item in paddingFont; -1 until then.
    QFont paddingFont;
    int itemPadding = -1;
};

#endif // PXCOMBOBOX_H
