#include "fonts.h"

#include <QFontDatabase>

QStringList robotoFontResources()
{
    static const char *const faces[] = {
        "Black", "BlackItalic", "Bold", "BoldCondensed", "BoldCondensedItalic", "BoldItalic",
        "Condensed", "CondensedItalic", "Italic", "Light", "LightItalic", "Medium", "MediumItalic",
        "Regular", "Thin", "ThinItalic",
    };
    QStringList paths;
    for (const char *face : faces)
        paths << QStringLiteral(":/font/roboto/Roboto-%1.ttf").arg(QLatin1String(face));
    return paths;
}

int registerRobotoFonts()
{
    int registered = 0;
    for (const QString &path : robotoFontResources()) {
        if (QFontDatabase::addApplicationFont(path) >= 0)
            ++registered;
    }
    return registered;
}
