// Port panel assembly: an operation of the main window.
#include "mainwidget.h"
#include "ui_mainwidget.h"

#include "portconfig.h"

void MainWidget::buildPortPanel()
{
    const bool r7 = moduleMode != 0;
    ui->wdgPort6->setVisible(r7);

    QWidget *const holders[] = {ui->wdgPort1, ui->wdgPort2, ui->wdgPort3,
                                ui->wdgPort4, ui->wdgPort5, ui->wdgPort6};
    const int holderCount = r7 ? 6 : 5;
    const int count = qBound(0, int(portCount), holderCount);

    // Nothing refers to the previous cards any more, and this never runs
    // inside one of their own slots, so they can go at once.
    for (PortConfig *&card : cards) {
        delete card;
        card = nullptr;
    }

    for (int i = 0; i < count; ++i) {
        // Built straight into its placeholder: a card built without a parent
        // and moved there afterwards is styled twice, once for the window's
        // style sheet, which doubles the cost of every rebuild.
        auto *card = new PortConfig(holders[i]);
        cards[i] = card;
        card->setGeometry(0, 0, 648, 89);
        card->setId(i + 1);
        if (!r7)
            card->setPortTitle(QStringLiteral("Port") + QString::number(i + 1));
        else if (i < count - 1)
            card->setPortTitle(QStringLiteral("Uart") + QString::number(i + 2));
        else
            card->setPortTitle(QStringLiteral("CAN") + QStringLiteral("2"));
        connect(card, &PortConfig::sglSend, this, &MainWidget::sltSend);
        connect(card, &PortConfig::sglAccept, this, &MainWidget::sltAccept);
    }

    if (!r7) {
        if (count == 5) {
            cards[3]->lockUartSettings();
            for (int i : {0, 1, 3})
                cards[i]->setUartOnly();
            for (int i = 0; i < 5; ++i)
                cards[i]->hideLevel();
        }
    } else if (count == 6) {
        for (int i = 0; i < 5; ++i)
            cards[i]->setUartOnly();
        cards[5]->setCanOnly();
    }

    // Shown once restricted, so a visible window lays each card out once.
    for (int i = 0; i < count; ++i)
        cards[i]->show();
}
