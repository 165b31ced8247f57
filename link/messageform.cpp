#include "messageform.h"

#include <QMouseEvent>

// Placeholder until the form lands.
MessageForm::MessageForm(QWidget *parent) : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
}

MessageForm::~MessageForm() = default;

void MessageForm::on_btnClose_clicked() { close(); }

void MessageForm::on_btnOk_clicked()
{
    emit sglOK();
    close();
}

void MessageForm::on_btnCancle_clicked() { close(); }

void MessageForm::mousePressEvent(QMouseEvent *event) { QWidget::mousePressEvent(event); }
void MessageForm::mouseReleaseEvent(QMouseEvent *event) { QWidget::mouseReleaseEvent(event); }
void MessageForm::mouseMoveEvent(QMouseEvent *event) { QWidget::mouseMoveEvent(event); }
