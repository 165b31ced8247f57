#include "moduleprofile.h"

#include "linkframe.h"

int ModuleProfile::portCount(ModuleModel model)
{
    return model == ModuleModel::R7 ? 6 : 5;
}

quint8 ModuleProfile::deviceCode(ModuleModel model)
{
    return model == ModuleModel::R7 ? DEVICE_R7 : DEVICE_TOVRIN;
}

bool ModuleProfile::modelForDeviceCode(quint8 code, ModuleModel *model)
{
    if (code == DEVICE_TOVRIN)
        *model = ModuleModel::Tovrin;
    else if (code == DEVICE_R7)
        *model = ModuleModel::R7;
    else
        return false;
    return true;
}

QString ModuleProfile::name(ModuleModel model)
{
    return model == ModuleModel::R7 ? QStringLiteral("R7-Eda") : QStringLiteral("Tovrin");
}

bool ModuleProfile::modelForName(const QString &name, ModuleModel *model)
{
    if (name == QLatin1String("Tovrin"))
        *model = ModuleModel::Tovrin;
    else if (name == QLatin1String("R7-Eda"))
        *model = ModuleModel::R7;
    else
        return false;
    return true;
}

PortTraits ModuleProfile::port(ModuleModel model, int index)
{
    PortTraits traits;
    if (model == ModuleModel::Tovrin) {
        traits.title = QStringLiteral("Port") + QString::number(index + 1);
        traits.canOffered = index == 2 || index == 4;
        traits.uartLocked = index == 3;
        return traits;
    }
    traits.levelShown = true;
    if (index < 5) {
        traits.title = QStringLiteral("Uart") + QString::number(index + 2);
    } else {
        traits.title = QStringLiteral("CAN2");
        traits.uartOffered = false;
        traits.canOffered = true;
    }
    return traits;
}
