// A check box whose text gives way when its row is short of room: it is drawn
// cut with "…" and shown whole in the tooltip. text() stays the whole text.
#ifndef ELIDINGCHECKBOX_H
#define ELIDINGCHECKBOX_H

#include <QCheckBox>

class ElidingCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit ElidingCheckBox(QWidget *parent = nullptr);

    // The box and a few characters; the size hint still asks for the whole text.
    QSize minimumSizeHint() const override;
    bool isElided() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int textRoom() const;
    void updateToolTip();
};

#endif // ELIDINGCHECKBOX_H
