// Frameless confirmation window shown before the module's settings are
// overwritten; OK emits sglOK, Cancel, Esc and close just hide it. Below its
// question and buttons it lists what the write will change. Modal to the
// window it belongs to, so nothing there changes while it is open.
#ifndef MESSAGEFORM_H
#define MESSAGEFORM_H

#include <QStringList>
#include <QWidget>

#include <memory>

class FocusRing;

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

    // The lines shown below the buttons, one per line; none hides the list.
    // The window grows to fit them, up to a limit past which the list scrolls.
    void setChanges(const QStringList &lines);

signals:
    void sglOK();

private slots:
    void on_btnClose_clicked();
    void on_btnOk_clicked();
    void on_btnCancle_clicked();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<Ui::MessageForm> ui;
    std::unique_ptr<FocusRing> focusRing;
};

#endif // MESSAGEFORM_H
