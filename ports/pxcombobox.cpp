#include "pxcombobox.h"

PxComBoBox::PxComBoBox(QWidget *parent) : QComboBox(parent) {}

void PxComBoBox::adjustPopupWidth() {}
