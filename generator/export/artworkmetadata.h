// ArtworkMetadata: what an exported PNG says about itself, so that an artwork can be
// traced back to its settings once the preset is gone.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

class ArtworkMetadata
{
public:
    // The keyword of the PNG text chunk holding the parameter map.
    static const QString kParametersKey;

    // The map as compact UTF-8 JSON; numbers in their shortest exact form.
    static QByteArray parametersJson(const QVariantMap &parameters);
};
