// lumatrace params ART.png: the parameter map an exported PNG carries.
#include "toolcommand.h"

#include "artworkmetadata.h"

#include <QImageReader>

#include <cstdio>

namespace {

int runParams(const QStringList &args)
{
    if (args.size() != 1 || args.at(0).startsWith(QLatin1Char('-'))) {
        printError(QStringLiteral("usage: lumatrace params ART.png"));
        return kExitBadInput;
    }
    QImageReader reader(args.at(0), "png");
    const QString json = reader.text(ArtworkMetadata::kParametersKey);
    if (json.isEmpty()) {
        printError(QStringLiteral("%1: no Lumatrace parameters in this file (%2)")
                           .arg(args.at(0),
                                reader.canRead() ? QStringLiteral("a PNG without them")
                                                 : QStringLiteral("not a readable PNG")));
        return kExitBadInput;
    }
    const QByteArray text = json.toUtf8() + "\n";
    if (std::fwrite(text.constData(), 1, size_t(text.size()), stdout) != size_t(text.size())
        || std::fflush(stdout) != 0) {
        printError(QStringLiteral("cannot write to standard output"));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

const ToolCommand kParamsCommand = {
        "params",
        "params ART.png",
        "print the parameter map a PNG export carries",
        "Prints the parameter map (JSON, as the export read it: seed, lists and mask settings\n"
        "included) that every PNG written by lumatrace, the plug-in and the studio carries in\n"
        "its \"lumatrace-parameters\" text chunk. Exporting that map again gives the same\n"
        "artwork:  lumatrace params art.png > map.json && lumatrace export map.json again.png\n"
        "Exit status 2: not a PNG, or a PNG without parameters.",
        runParams,
};
