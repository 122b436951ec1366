// lumatrace params ART.png: the parameter map an exported PNG carries.
#include "toolcommand.h"

#include "pngparameterreader.h"

namespace {

int runParams(const QStringList &args)
{
    if (args.size() != 1 || args.at(0).startsWith(QLatin1Char('-'))) {
        printError(QStringLiteral("usage: lumatrace params ART.png"));
        return kExitBadInput;
    }
    const PngParameterReader::Result read = PngParameterReader::read(args.at(0));
    if (!read.ok()) {
        printError(args.at(0) + QStringLiteral(": ") + read.error);
        return kExitBadInput;
    }
    return writeStandardOutput(read.json + "\n") ? kExitOk : kExitFailure;
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
        "Exit status 2: not a PNG, a PNG without parameters, or parameters that are not a\n"
        "JSON object in UTF-8 of at most 1 MiB nested at most 32 deep.",
        runParams,
};
