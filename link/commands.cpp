// Configuration commands of the main window and the handling of their replies.
#include "mainwidget.h"
#include "ui_mainwidget.h"

#include "messageform.h"
#include "timeout.h"

void MainWidget::on_cbAllSet_clicked() { messageForm->show(); }

void MainWidget::slt_WriteOk() {}

void MainWidget::on_cbAllDownload_clicked() {}

void MainWidget::slt_OpenEnd() { on_cbAllDownload_clicked(); }

void MainWidget::on_tbtnVersion_clicked()
{
    lastOpIsRead = true;
    sendCommand(MSG_VERSION, QByteArray(1, '\0'), 1);
    timeOut->setReplyDone(false);
    timeOut->setWaiting(true);
}

void MainWidget::COMRxCmd(tNKLinkData *NKdata) { Q_UNUSED(NKdata) }

void MainWidget::handleReply(quint8 id, quint8 len, const QByteArray &data)
{
    Q_UNUSED(id)
    Q_UNUSED(len)
    Q_UNUSED(data)
}

void MainWidget::slt_timeStart() {}
void MainWidget::slt_failRead() {}
