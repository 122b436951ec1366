// The vector exports stream: a large export holds a few chunks, not the document, and a
// large PDF, whose content length comes after the stream, is as well-formed as a small one.
#include "artworkexporter.h"
#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "exportlimits.h"
#include "samplemaps.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

#include <functional>

// AddressSanitizer keeps freed memory in quarantine: resident sizes say nothing there.
#if defined(__SANITIZE_ADDRESS__)
#define MEMORY_IS_QUARANTINED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MEMORY_IS_QUARANTINED 1
#endif
#endif

namespace {

using Export = std::function<ExportResult(CircuitExporter &, ArtworkExporter &, const QString &)>;

// One of the kernel's counters of this process (kB), from /proc/self/status.
qint64 statusKilobytes(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression line(QStringLiteral("^%1:\\s+(\\d+) kB$").arg(QLatin1String(key)),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
}

// Lets VmHWM start again from the resident size, so it shows the peak of what follows.
bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Inflates a FlateDecode stream; false unless it ends exactly where the stream does.
bool inflated(const QByteArray &stream, QByteArray *start, QByteArray *end)
{
    z_stream z {};
    inflateInit(&z);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(stream.constData()));
    z.avail_in = uInt(stream.size());
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef *>(chunk.data());
        z.avail_out = uInt(chunk.size());
        status = inflate(&z, Z_NO_FLUSH);
        const QByteArray out = chunk.left(chunk.size() - int(z.avail_out));
        if (start->isEmpty())
            *start = out.left(16);
        if (!out.isEmpty())
            *end = (*end + out).right(16);
    }
    inflateEnd(&z);
    return status == Z_STREAM_END && z.avail_in == 0;
}

} // namespace

Q_DECLARE_METATYPE(Export)

class TestVectorStreaming : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // The showcase map on a square canvas of `side` pixels: (side / 20)^2 cells.
    static QVariantMap mapOfSide(int side)
    {
        return sampleMap(QStringLiteral("render_showcase_map.json"),
                         QStringLiteral(R"({"width": %1, "height": %1, "scale": 1})").arg(side).toUtf8());
    }

    static void addExports()
    {
        QTest::addColumn<Export>("run");
        QTest::newRow("SVG") << Export([](CircuitExporter &e, ArtworkExporter &, const QString &file) {
            return e.exportSvg(file + ".svg", false);
        });
        QTest::newRow("artwork SVG") << Export([](CircuitExporter &, ArtworkExporter &a, const QString &file) {
            return a.exportSvg(file + ".svg", {});
        });
        QTest::newRow("PDF") << Export([](CircuitExporter &, ArtworkExporter &a, const QString &file) {
            return a.exportPdf(file + ".pdf", {});
        });
    }

private Q_SLOTS:
    void largeExportsHoldChunksNotTheDocument_data() { addExports(); }

    // 262,144 cells: 27 to 37 MB files, written through buffers of a few megabytes at most.
    void largeExportsHoldChunksNotTheDocument()
    {
        QFETCH(Export, run);
        CircuitGenerator generator;
        generator.readParameters(mapOfSide(10240));
        CircuitRenderer renderer;
        CircuitExporter exporter(generator, renderer);
        ArtworkExporter artwork(generator);
        // A first export settles the generator's own memory.
        QVERIFY(run(exporter, artwork, m_dir.filePath("first")).ok());
        if (!resetPeak())
            QSKIP("the kernel does not reset the peak resident size (/proc/self/clear_refs)");
        const qint64 before = statusKilobytes("VmRSS");
        QVERIFY(run(exporter, artwork, m_dir.filePath("second")).ok());
        const qint64 growth = (statusKilobytes("VmHWM") - before) * 1024;
        const QFileInfo written(m_dir.filePath("second") + (QTest::currentDataTag()[0] == 'P' ? ".pdf" : ".svg"));
        QVERIFY2(written.size() > 20000000, qPrintable(QString::number(written.size())));
#ifdef MEMORY_IS_QUARANTINED
        QSKIP("AddressSanitizer quarantines freed memory: the resident size does not show what is held");
#endif
        QVERIFY2(growth < 8000000, qPrintable(QStringLiteral("%1 bytes over %2").arg(growth).arg(before * 1024)));
    }

    void pdfIsWellFormedAtAnySize_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("indirectLength");
        QTest::newRow("small: the length in the dictionary, as always") << 600 << false;
        QTest::newRow("large: the length an object after the stream") << 10240 << true;
    }

    // Every cross-reference offset, the stream's length and its compressed content.
    void pdfIsWellFormedAtAnySize()
    {
        QFETCH(int, side);
        QFETCH(bool, indirectLength);
        CircuitGenerator generator;
        generator.readParameters(mapOfSide(side));
        const QString file = m_dir.filePath(QStringLiteral("page.pdf"));
        ArtworkExporter::Options options;
        options.layout = PrintLayout(QStringLiteral("A3"), QString(), false, PrintLayout::kDefaultDpi);
        QVERIFY(ArtworkExporter(generator).exportPdf(file, options).ok());
        const QByteArray pdf = fileBytes(file);
        QVERIFY(pdf.startsWith("%PDF-1.5\n"));
        // Catalog, pages, page, information, six layers, then the content and its length.
        const int content = 11;
        QVERIFY(pdf.endsWith("\n%%EOF\n"));
        const int startxref = pdf.lastIndexOf("startxref\n");
        QVERIFY(startxref > 0);
        const int xref = pdf.mid(startxref + 10).split('\n').first().toInt();
        QVERIFY(pdf.mid(xref).startsWith("xref\n0 "));
        const QList<QByteArray> entries = pdf.mid(xref).split('\n');
        const int count = entries[1].split(' ')[1].toInt();
        QCOMPARE(count, indirectLength ? content + 2 : content + 1);
        for (int object = 1; object < count; ++object) {
            const qint64 offset = entries[2 + object].left(10).toLongLong();
            QVERIFY2(pdf.mid(offset).startsWith(QByteArray::number(object) + " 0 obj\n"),
                     qPrintable(QString::number(object)));
        }
        const int streamStart = pdf.indexOf("stream\n") + 7;
        const int streamEnd = pdf.indexOf("\nendstream");
        const QByteArray lengthText
                = indirectLength ? QByteArray("12 0 R") : QByteArray::number(streamEnd - streamStart);
        QVERIFY(pdf.contains(QByteArray::number(content) + " 0 obj\n<< /Length " + lengthText
                             + " /Filter /FlateDecode >>\nstream\n"));
        if (indirectLength)
            QVERIFY(pdf.contains(QByteArray::number(content + 1) + " 0 obj\n"
                                 + QByteArray::number(streamEnd - streamStart) + "\nendobj\n"));
        QByteArray start, end;
        QVERIFY(inflated(pdf.mid(streamStart, streamEnd - streamStart), &start, &end));
        QVERIFY2(start.startsWith("q\n"), start.constData());
        QVERIFY2(end.endsWith("\nQ\n"), end.constData());
    }

    void gridsOverTheLimitAreRefusedBeforeGenerating_data()
    {
        addExports();
    }

    void gridsOverTheLimitAreRefusedBeforeGenerating()
    {
        QFETCH(Export, run);
        const bool pdf = QTest::currentDataTag()[0] == 'P';
        const qint64 limit = pdf ? ExportLimits::kMaxPdfCells : ExportLimits::kMaxSvgCells;
        // One column more than the limit's square: (side + 20) x side pixels.
        const int side = 20 * int(std::sqrt(double(limit)));
        QVariantMap map = mapOfSide(side);
        map.insert(QStringLiteral("width"), side + 20);
        CircuitGenerator generator;
        generator.readParameters(map);
        CircuitRenderer renderer;
        CircuitExporter exporter(generator, renderer);
        ArtworkExporter artwork(generator);
        const ExportResult result = run(exporter, artwork, m_dir.filePath("refused"));
        QCOMPARE(int(result.failure), int(ExportResult::GridTooLarge));
        QVERIFY2(result.reason.contains(QStringLiteral("the limit is %1 cells").arg(limit)), qPrintable(result.reason));
        QVERIFY(!result.reason.contains('\n'));
        QVERIFY(generator.circuit() == nullptr || generator.circuit()->wires().empty());
        QVERIFY(QDir(m_dir.path()).entryList({"refused*"}, QDir::Files).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVectorStreaming)
#include "tst_vectorstreaming.moc"
