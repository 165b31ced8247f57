// A one-line label that never asks for more room than its layout gives it: a
// text that does not fit is drawn cut with "…" and shown whole in the
// tooltip. text() stays the whole text.
#ifndef ELIDINGLABEL_H
#define ELIDINGLABEL_H

#include <QLabel>

class ElidingLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget *parent = nullptr);

    // Hides QLabel::setText (not virtual) so that the tooltip follows at
    // once; set through a QLabel pointer, it follows at the next paint.
    void setText(const QString &text);

    QSize minimumSizeHint() const override;
    // Whether the text is drawn cut at the label's present width.
    bool isElided() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateToolTip();
};

#endif // ELIDINGLABEL_H
