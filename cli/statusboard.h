// Progress on stderr, one status line per device: on a terminal the lines
// are drawn once and rewritten in place; otherwise every change is a plain
// line of its own.
#ifndef STATUSBOARD_H
#define STATUSBOARD_H

#include <QString>
#include <QStringList>

#include <cstdio>

class StatusBoard
{
public:
    explicit StatusBoard(bool terminal, std::FILE *out = stderr);

    static bool stderrIsTerminal();
    static bool stdinIsTerminal();

    // A new line for a device; returns its number.
    int add(const QString &device);
    void set(int line, const QString &status);
    // Draws the lines anew below whatever else was printed meanwhile.
    void reprint();

private:
    void draw(int line);

    bool m_terminal;
    std::FILE *m_out;
    QStringList m_devices;
    QStringList m_status;
};

#endif // STATUSBOARD_H
