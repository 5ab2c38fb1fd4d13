#include "fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QResource>
#include <QSet>

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

namespace {
bool registerFace(const QString &path)
{
    // The faces are stored uncompressed in the program: the font database
    // reads them where they lie, without a copy of each on the heap.
    QByteArray data;
    const QResource resource(path);
    if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression) {
        data = QByteArray::fromRawData(reinterpret_cast<const char *>(resource.data()), int(resource.size()));
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        data = file.readAll();
    }
    return QFontDatabase::addApplicationFontFromData(data) >= 0;
}
} // namespace

int registerRobotoFonts(RobotoFaces faces)
{
    static QSet<QString> registered;
    QStringList paths = robotoFontResources();
    if (faces == RobotoFaces::Screens)
        paths = QStringList{QStringLiteral(":/font/roboto/Roboto-Regular.ttf"), QStringLiteral(":/font/roboto/Roboto-Bold.ttf")};
    int count = 0;
    for (const QString &path : paths) {
        if (registered.contains(path) || !registerFace(path))
            continue;
        registered.insert(path);
        ++count;
    }
    if (!registered.isEmpty() && QGuiApplication::font().family() != QLatin1String("Roboto")) {
        QFont font = QGuiApplication::font();
        font.setFamily(QStringLiteral("Roboto"));
        QGuiApplication::setFont(font);
    }
    return count;
}
