// The pages of a port card's line settings, one shown at a time (UART or
// CAN). The card's form builds each page straight inside this widget, where
// the window's styles reach it once: a stacked widget in a form gets its pages
// built apart and moved in, which styles every control on them a second time
// and makes each list build its popup. The form therefore declares this class
// as a plain widget; each child widget built inside it is stacked as it is
// built, and the page the form asks for is shown once it exists.
// Pages come from the form only: a widget from elsewhere added with
// addWidget() would be stacked twice.
#ifndef CARDPAGES_H
#define CARDPAGES_H

#include <QStackedWidget>

class CardPages : public QStackedWidget
{
    Q_OBJECT
public:
    explicit CardPages(QWidget *parent = nullptr);

    // As QStackedWidget::setCurrentIndex(), and a page not built yet is shown
    // when it is: the form sets its page before it builds the pages.
    void setCurrentIndex(int index);

protected:
    bool event(QEvent *event) override;

private:
    int pendingIndex = -1;
};

#endif // CARDPAGES_H
