#include "fontpick.h"

#include <QFontDatabase>
#include <QStringList>

QString FontPick::cjkFamily()
{
    static const QString chosen = [] {
        const QFontDatabase db;
        const QStringList installed = db.families();
        const QStringList preferred = {
            QStringLiteral("微软雅黑"), QStringLiteral("WenQuanYi Micro Hei"),
            QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC")};
        for (const QString &family : preferred) {
            if (installed.contains(family))
                return family;
        }
        const QStringList chinese = db.families(QFontDatabase::SimplifiedChinese);
        if (!chinese.isEmpty())
            return chinese.first();
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return chosen;
}
