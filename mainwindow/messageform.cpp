#include "messageform.h"
#include "ui_messageform.h"

#include <QMouseEvent>

MessageForm::MessageForm(QWidget *parent) : QWidget(parent), ui(new Ui::MessageForm)
{
    ui->setupUi(this);
    // Not modal: the main window stays usable while the question is open. A
    // window of its own even when the main window is its parent.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
}

MessageForm::~MessageForm() = default;

void MessageForm::on_btnClose_clicked()
{
    close();
}

void MessageForm::on_btnOk_clicked()
{
    emit sglOK();
    close();
}

void MessageForm::on_btnCancle_clicked()
{
    close();
}

// The window has no frame, so it is dragged by any point of its body.
void MessageForm::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging = true;
    dragOffset = event->globalPos() - pos();
    raise();
}

void MessageForm::mouseReleaseEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    dragging = false;
}

void MessageForm::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging)
        move(event->globalPos() - dragOffset);
}
