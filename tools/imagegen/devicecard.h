// One device picture: a dark card with a pictogram of the device kind and
// the protocol's display name, shown in the information panel.
#ifndef DEVICECARD_H
#define DEVICECARD_H

#include <QImage>
#include <QString>

enum class DeviceKind {
    Disabled,
    Gimbal,
    Mppt,
    Radar,
    DataLink,
    VisionLanding,
    CanBus,
    Standard,
    Generic
};

namespace DeviceCard
{

DeviceKind classify(const QString &name);
QString caption(DeviceKind kind, const QString &locale);

// "<name>-<locale>.png", the name the main window looks for.
QString fileName(const QString &name, const QString &locale);
// Why no file can carry this name (empty if it can): characters that Linux
// or Windows refuse in file names, an empty name, an over-long name.
QString fileNameProblem(const QString &name, const QString &locale);

QImage render(const QString &name, const QString &locale);

} // namespace DeviceCard

#endif // DEVICECARD_H
