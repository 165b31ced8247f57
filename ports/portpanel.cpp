// Port panel assembly: an operation of the main window.
#include "mainwidget.h"

void MainWidget::buildPortPanel() {}
