// Frameless confirmation window shown before the module's settings are
// overwritten; OK emits sglOK, Cancel and close just hide it.
#ifndef MESSAGEFORM_H
#define MESSAGEFORM_H

#include <QPoint>
#include <QWidget>

#include <memory>

namespace Ui
{
class MessageForm;
}

class MessageForm : public QWidget
{
    Q_OBJECT
public:
    explicit MessageForm(QWidget *parent = nullptr);
    ~MessageForm() override;

signals:
    void sglOK();

private slots:
    void on_btnClose_clicked();
    void on_btnOk_clicked();
    void on_btnCancle_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    std::unique_ptr<Ui::MessageForm> ui;
    bool dragging = false;
    QPoint dragOffset;
};

#endif // MESSAGEFORM_H
