#include "focusring.h"

#include <QApplication>
#include <QFocusFrame>

FocusRing::FocusRing(QWidget *window) : window(window)
{
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { follow(now); });
    follow(QApplication::focusWidget());
}

FocusRing::~FocusRing()
{
    delete ring;
}

void FocusRing::follow(QWidget *focused)
{
    if (!focused || focused->window() != window) {
        if (ring)
            ring->setWidget(nullptr);
        return;
    }
    if (!ring) {
        ring = new QFocusFrame(window);
        ring->setObjectName(QStringLiteral("focusRing"));
        ring->setStyleSheet(
            QStringLiteral("QFocusFrame{border:2px solid rgb(255, 255, 255);border-radius:4px;}"));
    }
    ring->setWidget(focused);
}
