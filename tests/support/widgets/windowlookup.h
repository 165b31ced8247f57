// The parts of a main window that tests look at, found the way any code
// outside the window finds them: by object name or type.
#ifndef WINDOWLOOKUP_H
#define WINDOWLOOKUP_H

#include "childwidget.h"
#include "configsession.h"
#include "mainwidget.h"
#include "messageform.h"
#include "portconfig.h"
#include "portpanel.h"

namespace WindowLookup
{

inline ConfigSession *session(QWidget *window)
{
    auto *s = window->findChild<ConfigSession *>(QStringLiteral("configSession"));
    if (!s)
        qFatal("no configuration session");
    return s;
}

inline PortPanel *panel(QWidget *window)
{
    auto *p = window->findChild<PortPanel *>(QStringLiteral("portPanel"));
    if (!p)
        qFatal("no port panel");
    return p;
}

inline MessageForm *dialog(QWidget *window)
{
    auto *d = window->findChild<MessageForm *>();
    if (!d)
        qFatal("no confirmation dialog");
    return d;
}

inline PortConfig *card(QWidget *window, int port)
{
    return panel(window)->card(port);
}

inline int portCount(QWidget *window)
{
    return panel(window)->count();
}

inline bool linkOpen(QWidget *window)
{
    return session(window)->isOpen();
}

inline ModuleModel model(QWidget *window)
{
    return session(window)->model();
}

} // namespace WindowLookup

#endif // WINDOWLOOKUP_H
