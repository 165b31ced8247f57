// Draws one picture per protocol name and catalogue locale.
#ifndef DEVICEPICTURES_H
#define DEVICEPICTURES_H

#include <QString>
#include <QTextStream>

namespace DevicePictures
{

struct Result {
    int written = 0;
    int skipped = 0;
    bool ok = true; // false when a catalogue or a picture could not be read or written
};

Result generate(const QString &catalogueFolder, const QString &outputFolder, QTextStream &log);

} // namespace DevicePictures

#endif // DEVICEPICTURES_H
