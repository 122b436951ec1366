// lumatrace generate PARAMS.json: the result map of one generation as one JSON line.
#include "toolcommand.h"

#include "circuitgenerator.h"
#include "resultjsonwriter.h"

static int runGenerate(const QStringList &args)
{
    if (args.size() != 1 || (args.at(0).startsWith(QLatin1Char('-')) && args.at(0) != QLatin1String("-"))) {
        printError(QStringLiteral("usage: lumatrace generate PARAMS.json   (\"-\" reads standard input)"));
        return kExitBadInput;
    }
    const QString path = args.at(0);
    QVariantMap parameters;
    if (!loadParameterMapOrReport(path, &parameters))
        return kExitBadInput;

    // The plug-in's generate runs exactly these three steps (CircuitGenerator::generate).
    CircuitGenerator generator;
    generator.readParameters(parameters);
    const GridSize grid = generator.gridSize();
    if (grid.tooLarge) {
        const QString name = path == QLatin1String("-") ? QStringLiteral("standard input") : path;
        printError(QStringLiteral("%1: the grid is too large: more than %2 cells (width %3, height %4, scale %5)")
                           .arg(name)
                           .arg(Circuit::kMaxCells)
                           .arg(generator.settings().width)
                           .arg(generator.settings().height)
                           .arg(double(generator.settings().scale)));
        return kExitBadInput;
    }
    generator.generateCircuit();
    if (!generator.lastError().isEmpty()) {
        printError((path == QLatin1String("-") ? QStringLiteral("standard input") : path) + QStringLiteral(": ")
                   + generator.lastError());
        return kExitBadInput;
    }
    // Each wire goes out as it is listed: the whole map at once would take more memory
    // than the generation on the largest grids.
    ResultJsonWriter json(writeStandardOutput);
    generator.visitResultWires([&json](const ResultWire &wire) { json.writeWire(wire); });
    return json.finish() ? kExitOk : kExitFailure;
}

const ToolCommand kGenerateCommand = {
        "generate",
        "generate PARAMS.json",
        "generate a circuit and print its wires as one line of JSON",
        "Reads PARAMS.json (\"-\" reads standard input) as a JSON object: the generator's\n"
        "parameter map, exactly as page script hands it to the plug-in's generate (numbers\n"
        "are doubles, arrays lists, objects maps; missing keys read as 0, false or empty).\n"
        "Reads the parameters (this reseeds the five random streams), generates the circuit\n"
        "and prints the result map on standard output as one line:\n"
        "  {\"wires\":[{\"xy\":[[x,y],...],\"thickness\":T,\"density\":D},...]}\n"
        "Numbers are printed in the shortest form that reads back to the same double.\n"
        "A file that cannot be read, is larger than 64 MB or is not a JSON object, a grid\n"
        "of more than 2097152 cells (ceil(width / (20 x scale)) x ceil(height / (20 x\n"
        "scale))), parameters beyond the generator's work budget or a used mask file that\n"
        "cannot be read: a one-line message on standard error, exit status 2, nothing on\n"
        "standard output. Output that cannot be written: a message and exit status 1.\n"
        "A non-positive or non-finite scale, width or height gives an empty circuit\n"
        "({\"wires\":[]}).",
        runGenerate,
};
