#include "artworkmetadata.h"

#include <QJsonDocument>

const QString ArtworkMetadata::kParametersKey = QStringLiteral("lumatrace-parameters");

QByteArray ArtworkMetadata::parametersJson(const QVariantMap &parameters)
{
    return QJsonDocument::fromVariant(parameters).toJson(QJsonDocument::Compact);
}
