// Ground-station transport of the main window: UDP on the local host.
#include "mainwidget.h"

void MainWidget::openGroundStation() {}
void MainWidget::closeGroundStation() {}
void MainWidget::onUdpSocketReadyRead() {}
void MainWidget::onUdpSocketStateChanged(QAbstractSocket::SocketState state) { Q_UNUSED(state) }
