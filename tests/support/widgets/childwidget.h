// A widget below a parent found by object name, as code outside the parent
// finds it; a test cannot go on without it.
#ifndef CHILDWIDGET_H
#define CHILDWIDGET_H

#include <QObject>
#include <QString>
#include <QWidget>

template <class T> T *child(const QObject *parent, const QString &name)
{
    T *w = parent->findChild<T *>(name);
    if (!w)
        qFatal("no child widget %s", qPrintable(name));
    return w;
}

template <class T> T *child(const QObject *parent, const char *name)
{
    return child<T>(parent, QString::fromLatin1(name));
}

template <class T> T *child(const QWidget &parent, const char *name)
{
    return child<T>(&parent, QString::fromLatin1(name));
}

#endif // CHILDWIDGET_H
