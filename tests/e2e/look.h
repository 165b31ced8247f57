// What the window shows for the outcome of a command: the three button looks
// and the status texts, translated the way the window translates them.
#ifndef LOOK_H
#define LOOK_H

#include <QCoreApplication>
#include <QString>

namespace Look
{

inline QString idle()
{
    return QStringLiteral("background-color:#0B8DCE;color:white;border-radius: 10px;");
}

inline QString success()
{
    return QStringLiteral("background-color:rgb(27,102,67);color:white;border-radius: 10px;");
}

inline QString failure()
{
    return QStringLiteral("background-color:rgb(165,81,28);color:white;border-radius: 10px;");
}

inline QString text(const char *source)
{
    return QCoreApplication::translate("MainWidget", source);
}

inline QString readOk()
{
    return text("读取参数成功");
}

inline QString readFailed()
{
    return text("读取参数失败");
}

inline QString writeOk()
{
    return text("写入参数成功，重启生效");
}

inline QString writeFailed()
{
    return text("写入参数失败，请重试");
}

inline QString noReply()
{
    return text("模块无应答，请检查连接、通信方式和型号");
}

} // namespace Look

#endif // LOOK_H
