// Drop-down list whose popup widens to its longest item.
#ifndef PXCOMBOBOX_H
#define PXCOMBOBOX_H

#include <QComboBox>
#include <QFont>
#include <QHash>

class PxComBoBox : public QComboBox
{
public:
    explicit PxComBoBox(QWidget *parent = nullptr);

    // Gives the popup list room for the widest item text beside its vertical
    // scroll bar.
    void adjustPopupWidth();

private:
    // Text widths and item padding measured with measuredFont; the loader
    // calls adjustPopupWidth after every item, so each text is measured once.
    QFont measuredFont;
    QHash<QString, int> textWidths;
    int itemPadding = -1;
};

#endif // PXCOMBOBOX_H
