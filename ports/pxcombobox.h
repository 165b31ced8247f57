// Drop-down list whose popup widens to its longest item.
#ifndef PXCOMBOBOX_H
#define PXCOMBOBOX_H

#include <QComboBox>

class PxComBoBox : public QComboBox
{
public:
    explicit PxComBoBox(QWidget *parent = nullptr);

    void adjustPopupWidth();
};

#endif // PXCOMBOBOX_H
