#include "samplemaps.h"

#include "jsonvariant.h"

QVariantMap sampleMap(const QString &name, const QByteArray &overrides)
{
    QVariantMap map;
    QString error;
    if (!readJsonParameterFile(QStringLiteral(TRESSIL_TEST_DATA_DIR "/") + name, &map, &error))
        qFatal("%s: %s", qPrintable(name), qPrintable(error));
    QVariantMap extra;
    if (!overrides.isEmpty() && !parseJsonParameterMap(overrides, &extra, &error))
        qFatal("%s: %s", overrides.constData(), qPrintable(error));
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        map.insert(it.key(), it.value());
    const QString mask = map.value(QStringLiteral("mask_file_path")).toString();
    if (!mask.isEmpty())
        map.insert(QStringLiteral("mask_file_path"), QStringLiteral(TRESSIL_TEST_DATA_DIR "/") + mask);
    return map;
}
