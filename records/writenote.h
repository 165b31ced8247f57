// What a history snapshot says about the write it was taken before: the
// device, the records sent and how the write ended. Beside the module's own
// records in the snapshot file; other readers of the format ignore it.
#ifndef WRITENOTE_H
#define WRITENOTE_H

#include "portrecord.h"

#include <QString>
#include <QVector>

struct WriteNote {
    enum class Outcome { Success, Failure, Interrupted };

    QString device;           // as named to the program: /dev/ttyUSB0, COM3, ground-station
    QVector<PortRecord> sent; // the records written, port 0 first
    // Until the write ends the snapshot says Interrupted: a program that
    // ended during the write leaves that word.
    Outcome outcome = Outcome::Interrupted;

    // "success", "failure", "interrupted": as the file and tovrinctl write it.
    static QString word(Outcome outcome)
    {
        switch (outcome) {
        case Outcome::Success:
            return QStringLiteral("success");
        case Outcome::Failure:
            return QStringLiteral("failure");
        case Outcome::Interrupted:
            break;
        }
        return QStringLiteral("interrupted");
    }
    static bool outcomeForWord(const QString &text, Outcome *outcome)
    {
        for (Outcome candidate : {Outcome::Success, Outcome::Failure, Outcome::Interrupted}) {
            if (text == word(candidate)) {
                *outcome = candidate;
                return true;
            }
        }
        return false;
    }
};

#endif // WRITENOTE_H
