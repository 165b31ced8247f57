// Serial transport of the main window: port list, open/close, received bytes.
#include "mainwidget.h"
#include "ui_mainwidget.h"

void MainWidget::searchPorts() {}
bool MainWidget::openSerialPort() { return false; }
void MainWidget::closeSerialPort() {}
void MainWidget::on_btnOpenSerialPort_clicked() {}
void MainWidget::on_btnSearchSerialPort_clicked() { searchPorts(); }
void MainWidget::onSerialReadyRead() {}
void MainWidget::onSerialBytesWritten(qint64 size) { Q_UNUSED(size) }
