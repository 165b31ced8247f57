#include "messageform.h"
#include "ui_messageform.h"

#include "focusring.h"
#include "windowdrag.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QScrollBar>

namespace
{
// The window's size as drawn, without a change list.
constexpr int kWidth = 344;
constexpr int kHeight = 166;
// Beyond these the change list scrolls (height) or its lines are cut (width).
constexpr int kMaxListHeight = 320;
constexpr int kMaxWidth = 760;
} // namespace


MessageForm::MessageForm(QWidget *parent) : QWidget(parent), ui(new Ui::MessageForm)
{
    ui->setupUi(this);
    // A window of its own even when the main window is its parent, and modal
    // to it: the cards cannot change under an open question.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    // No frame: the window is dragged by any point of its body.
    WindowDrag::attach(this);
    setWindowModality(Qt::WindowModal);
    // The keyboard answers with the two buttons only, never with the cross.
    ui->btnClose->setFocusPolicy(Qt::NoFocus);
    ui->lblChanges->setContentsMargins(20, 4, 20, 10);
    // The question keeps clear of the window's edges in every language.
    ui->horizontalLayout_3->setContentsMargins(12, 0, 12, 0);
    focusRing = std::make_unique<FocusRing>(this);
    setChanges({});
}

void MessageForm::setChanges(const QStringList &lines)
{
    ui->lblChanges->setText(lines.join(QLatin1Char('\n')));
    ui->changeArea->setVisible(!lines.isEmpty());
    if (lines.isEmpty()) {
        resize(kWidth, kHeight);
        return;
    }
    const QSize text = ui->lblChanges->sizeHint();
    const int listHeight = qMin(text.height(), kMaxListHeight);
    const int scrollBar =
        text.height() > listHeight ? ui->changeArea->verticalScrollBar()->sizeHint().width() : 0;
    ui->changeArea->setFixedHeight(listHeight);
    const int spacing = ui->widget->layout()->spacing();
    resize(qBound(kWidth, text.width() + scrollBar, kMaxWidth), kHeight + spacing + listHeight);
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

// Every question opens over the middle of its window, with "取消" focused:
// a stray Enter does not overwrite the module.
void MessageForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (QWidget *owner = parentWidget()) {
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    activateWindow();
    ui->btnCancle->setFocus(Qt::OtherFocusReason);
}

// Outside a dialog a push button ignores Enter; here Enter answers with the
// focused button and Esc with "取消".
void MessageForm::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        on_btnCancle_clicked();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *button = qobject_cast<QAbstractButton *>(focusWidget())) {
            button->click();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}
