// ExportFacts: the facts of exports that a front end needs before it asks for one, as the core
// defines them, so the studio's page offers and checks exports without copies of its own.
#pragma once

#include <QVariantMap>

class ExportFacts
{
public:
    // {"maxSide", "maxPixels": the largest raster canvas; "papers", "minDpi", "maxDpi",
    // "defaultDpi": print exports; "layerSuffixes": {"png", "svg", "artworkSvg"}: what each
    // layer file of a separate export adds to the base name (".wires.png", ...)}.
    static QVariantMap toVariant();
};
