// Writes the seed corpora of the fuzz targets into CORPUS/TARGET: small packages and
// enciphered payloads made with the real classes, record lists for the harness to
// encipher, the parameter maps of tests/data for the three map targets, and its PNGs with
// parameter text for the PNG reader.
#include "ejpwrapper.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds CORPUS_DIR TEST_DATA_DIR\n");
        return 2;
    }
    const QString corpus = QString::fromLocal8Bit(argv[1]);
    const QDir data(QString::fromLocal8Bit(argv[2]));

    for (const char *target : {"package", "package_records", "cipher", "parameters", "generation", "render", "pngparameters"})
        QDir().mkpath(corpus + QLatin1Char('/') + QLatin1String(target));

    QTemporaryDir app;
    writeFile(app.filePath("application.js"), "function main(args) { ovex.println('hi'); ovex.exit(0); }\n");
    writeFile(app.filePath("img/ring.png"), readFile(data.filePath("mask_ring.png")));
    writeFile(app.filePath("empty.txt"), QByteArray());
    const EJPWrapper wrapper;
    wrapper.wrap(app.path(), corpus + "/package/app.ejp");
    QTemporaryDir empty;
    wrapper.wrap(empty.path(), corpus + "/package/empty.ejp");

    // fuzz_package_records reads strings from the front (a backslash before another
    // character ends one) and record kinds and damage from the back.
    writeFile(corpus + "/package_records/app",
              QByteArray("/application.js\\ function main(args) {}\\/img/a.png\\") + QByteArray(8, '\x10'));
    writeFile(corpus + "/package_records/damaged",
              QByteArray("/a\\x\\/a\\y\\/../b\\z\\") + QByteArray("\x00\x02\x01\x00", 4));
    writeFile(corpus + "/package_records/raw", QByteArray(12, '\0') + QByteArray(4, '\xE0'));

    const PayloadCipher cipher(EJPWrapper::PackageKey);
    int n = 0;
    for (const QByteArray &payload :
         {QByteArray(), QByteArray("/application.js"), readFile(data.filePath("render_default_map.json"))}) {
        ++n;
        writeFile(QStringLiteral("%1/cipher/payload%2").arg(corpus).arg(n), cipher.encode(payload, quint8(n * 37)));
    }

    // Large maps (thousands of chips) would make every mutated input large as well.
    for (const QFileInfo &map : data.entryInfoList({"*.json"}, QDir::Files)) {
        if (map.size() > 8192)
            continue;
        for (const char *target : {"parameters", "generation", "render"})
            writeFile(corpus + '/' + target + '/' + map.fileName(), readFile(map.filePath()));
    }
    // PNGs with parameter text, and the hostile ones the tests keep.
    for (const QFileInfo &png : data.entryInfoList({"params_*.png"}, QDir::Files))
        writeFile(corpus + "/pngparameters/" + png.fileName(), readFile(png.filePath()));
    return 0;
}
