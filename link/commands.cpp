// Configuration commands of the main window and the handling of their replies:
// read, write and version query, bare on the direct link or port by port
// through the flight controller.
#include "mainwidget.h"
#include "ui_mainwidget.h"

#include "messageform.h"
#include "portconfig.h"
#include "timeout.h"

namespace {

const QString kIdleStyle = QStringLiteral("background-color:#0B8DCE;color:white;border-radius: 10px;");
const QString kSuccessStyle =
    QStringLiteral("background-color:rgb(27,102,67);color:white;border-radius: 10px;");
const QString kFailureStyle =
    QStringLiteral("background-color:rgb(165,81,28);color:white;border-radius: 10px;");

quint8 currentDeviceCode()
{
    return moduleMode == 0 ? DEVICE_TOVRIN : DEVICE_R7;
}

quint8 byteAt(const QByteArray &data, int i)
{
    return i < data.size() ? static_cast<quint8>(data.at(i)) : 0;
}

} // namespace

void MainWidget::on_cbAllSet_clicked()
{
    messageForm->show();
}

void MainWidget::slt_WriteOk()
{
    lastOpIsRead = false;
    QByteArray payload;
    if (ui->chb_ConfigByFCS->isChecked()) {
        payload.append('\0');
        payload.append(cards[0]->getPortParam());
        ui->lblStatus->setText(QString());
        sendCommand(MSG_WRITE_PORT, payload, static_cast<quint8>(payload.size()));
    } else {
        for (int i = 0; i < portCount; ++i)
            payload.append(cards[static_cast<size_t>(i)]->getPortParam());
        ui->lblStatus->setText(QString());
        sendCommand(MSG_WRITE_ALL, payload, static_cast<quint8>(payload.size()));
    }
    timeOut->setReplyDone(false);
    timeOut->setWaiting(true);
}

void MainWidget::on_cbAllDownload_clicked()
{
    lastOpIsRead = true;
    readRefused = false;
    const QByteArray payload(1, '\0');
    ui->lblStatus->setText(QString());
    if (ui->chb_ConfigByFCS->isChecked())
        sendCommand(MSG_READ_PORT, payload, 1);
    else
        sendCommand(MSG_READ_ALL, payload, 1);
    timeOut->setReplyDone(false);
    timeOut->setWaiting(true);
}

void MainWidget::slt_OpenEnd()
{
    on_cbAllDownload_clicked();
}

void MainWidget::on_tbtnVersion_clicked()
{
    lastOpIsRead = true;
    sendCommand(MSG_VERSION, QByteArray(1, '\0'), 1);
    timeOut->setReplyDone(false);
    timeOut->setWaiting(true);
}

void MainWidget::COMRxCmd(tNKLinkData *NKdata)
{
    if (!NKdata)
        return;
    if (!ui->chb_ConfigByFCS->isChecked()) {
        handleReply(NKdata->id, NKdata->len, NKdata->data);
        return;
    }
    // Through the flight controller only pass-through replies for the module
    // of the current mode count; everything else is ignored.
    if (NKdata->id != MSG_FC_RETURN)
        return;
    const QByteArray &d = NKdata->data;
    if (d.size() < 3)
        return;
    const quint8 kind = byteAt(d, 0);
    if ((kind != PASSTHROUGH_KIND_SHORT && kind != PASSTHROUGH_KIND_LONG)
        || byteAt(d, 1) != PASSTHROUGH_FROM_DEVICE || byteAt(d, 2) != currentDeviceCode())
        return;
    const quint8 id = byteAt(d, 3);
    const quint8 len = byteAt(d, 4);
    handleReply(id, len, d.mid(PASSTHROUGH_HEADER_SIZE, len));
}

void MainWidget::finishRead(bool ok)
{
    timeOut->setReplyDone(true);
    ui->cbAllDownload->setStyleSheet(ok ? kSuccessStyle : kFailureStyle);
    ui->lblStatus->setText(ok ? tr("读取参数成功") : tr("读取参数失败"));
}

void MainWidget::finishWrite(bool ok)
{
    timeOut->setReplyDone(true);
    ui->cbAllSet->setStyleSheet(ok ? kSuccessStyle : kFailureStyle);
    ui->lblStatus->setText(ok ? tr("写入参数成功，重启生效") : tr("写入参数失败，请重试"));
}

// A reply whose data holds fewer bytes than its declared length is handled as
// a reply of the wrong length, so no handler reads past the bytes present.
void MainWidget::handleReply(quint8 id, quint8 len, const QByteArray &data)
{
    const bool complete = data.size() >= len;
    switch (id) {
    case MSG_VERSION: {
        if (len != 4 || !complete)
            return;
        const quint8 device = byteAt(data, 0);
        if (device == DEVICE_TOVRIN) {
            moduleMode = 0;
            portCount = 5;
            ui->rb_R7FuncMode->setChecked(false);
            ui->rb_TovrinMode->setChecked(true);
        } else if (device == DEVICE_R7) {
            moduleMode = 1;
            portCount = 6;
            ui->rb_TovrinMode->setChecked(false);
            ui->rb_R7FuncMode->setChecked(true);
        } else {
            return;
        }
        buildPortPanel();
        ui->tbtnVersion->setText(QStringLiteral("V%1.%2.%3")
                                     .arg(static_cast<qint8>(byteAt(data, 1)))
                                     .arg(static_cast<qint8>(byteAt(data, 2)))
                                     .arg(static_cast<qint8>(byteAt(data, 3))));
        emit sgl_OpenEnd();
        return;
    }
    case MSG_WRITE_ALL:
        if (len != 1 || !complete)
            return;
        finishWrite(byteAt(data, 0) == 0);
        return;
    case MSG_READ_ALL: {
        if (len != portCount * PORT_RECORD_SIZE || !complete) {
            finishRead(false);
            return;
        }
        bool allApplied = true;
        for (int i = 0; i < portCount; ++i) {
            const QByteArray record = data.mid(i * PORT_RECORD_SIZE, PORT_RECORD_SIZE);
            allApplied = cards[static_cast<size_t>(i)]->setPortParam(record) && allApplied;
        }
        // Never report success for settings the cards could not show: the
        // user would write back values the module did not send.
        finishRead(allApplied);
        return;
    }
    case MSG_READ_PORT: {
        const int index = byteAt(data, 0);
        if (len != 1 + PORT_RECORD_SIZE || !complete || index >= portCount) {
            finishRead(false);
            return;
        }
        if (!cards[static_cast<size_t>(index)]->setPortParam(data.mid(1, PORT_RECORD_SIZE)))
            readRefused = true;
        if (index == portCount - 1) {
            finishRead(!readRefused);
        } else {
            sendCommand(MSG_READ_PORT, QByteArray(1, static_cast<char>(index + 1)), 1);
            timeOut->setReplyDone(false);
        }
        return;
    }
    case MSG_WRITE_PORT: {
        if (len != 1 || !complete) {
            finishWrite(true);
            return;
        }
        const int next = (byteAt(data, 0) + 1) % 256;
        if (next < portCount) {
            QByteArray payload(1, static_cast<char>(next));
            payload.append(cards[static_cast<size_t>(next)]->getPortParam());
            sendCommand(MSG_WRITE_PORT, payload, static_cast<quint8>(payload.size()));
        } else {
            finishWrite(true);
        }
        return;
    }
    default:
        return;
    }
}

void MainWidget::slt_timeStart()
{
    ui->cbAllDownload->setStyleSheet(kIdleStyle);
    ui->cbAllSet->setStyleSheet(kIdleStyle);
    timeOut->setReplyDone(false);
}

void MainWidget::slt_failRead()
{
    if (lastOpIsRead)
        ui->cbAllDownload->setStyleSheet(kFailureStyle);
    else
        ui->cbAllSet->setStyleSheet(kFailureStyle);
}
