#include "messageform.h"
#include "ui_messageform.h"

#include <QMouseEvent>

namespace
{

// The pointer's place on the screen: globalPos() is deprecated in Qt 6.
QPoint globalPoint(const QMouseEvent *event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->globalPosition().toPoint();
#else
    return event->globalPos();
#endif
}

} // namespace

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
    dragOffset = globalPoint(event) - pos();
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
        move(globalPoint(event) - dragOffset);
}
