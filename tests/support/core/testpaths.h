// Paths and helper processes shared by the tests.
#ifndef TESTPATHS_H
#define TESTPATHS_H

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace TestPaths {
QString sourceDir();         // the repository
QString programDir();        // build/bin, laid out like an installed program
QString program();           // build/bin/TovrinVazodivuveTool
QString simulator();         // build/bin/tovrin-sim
} // namespace TestPaths

// A connected pair of pseudo-terminals made by socat; ended with the object.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    bool start(int timeoutMs = 5000);
    QString first() const { return m_first; }   // e.g. for the program
    QString second() const { return m_second; } // e.g. for the peer

private:
    QTemporaryDir m_dir;
    QProcess m_socat;
    QString m_first;
    QString m_second;
};

#endif // TESTPATHS_H
