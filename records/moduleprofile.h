// What differs between the two modules the program configures: the Tovrin
// engine (five ports) and the R7-Eda device (six). The port count, the device
// code of pass-through headers, the port titles and which port offers which
// choices, as plain values for the session, the panel and the file format.
#ifndef MODULEPROFILE_H
#define MODULEPROFILE_H

#include <QString>
#include <QtGlobal>

enum class ModuleModel { Tovrin, R7 };

struct PortTraits {
    QString title;        // "Port1" … "Port5"; "Uart2" … "Uart6", "CAN2"
    bool uartOffered = true;
    bool canOffered = false;
    bool levelShown = false;
    bool uartLocked = false;
};

namespace ModuleProfile
{
constexpr int MaxPorts = 6;

int portCount(ModuleModel model);
quint8 deviceCode(ModuleModel model);
// The model a device code names; false for any other code.
bool modelForDeviceCode(quint8 code, ModuleModel *model);
// "Tovrin" or "R7-Eda", as files and the command line name the model.
QString name(ModuleModel model);
bool modelForName(const QString &name, ModuleModel *model);
PortTraits port(ModuleModel model, int index);
} // namespace ModuleProfile

#endif // MODULEPROFILE_H
