// Records, not bytes: the input is read as a list of records (names, bodies, damage, raw
// length fields) that the harness enciphers and hashes into a package, so the loader gets
// past the SHA-1 check of every intact payload and the record parser, the layout check and
// what is built from deciphered records are reached. Bytes fed to fuzz_package hardly ever
// decipher. The loaded entries must be those a model of the loading rules gives, and every
// deciphered name must print without control characters and pass the extraction name check
// only when it cannot leave the target folder.
#include "ejpwrapper.h"
#include "extractiontarget.h"
#include "packagetool.h"

#include <QMap>
#include <QSet>
#include <QtEndian>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

QByteArray le32(quint32 value)
{
    QByteArray field(4, Qt::Uninitialized);
    qToLittleEndian(value, field.data());
    return field;
}

QByteArray bytesOf(const std::string &text)
{
    return QByteArray(text.data(), int(text.size()));
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// One payload enciphered, and damaged when asked: a byte other than the flags byte (which
// deciphering does not examine) changed, so the SHA-1 check fails.
QByteArray enciphered(const PayloadCipher &cipher, const QByteArray &plain, quint8 randomByte, bool damage,
                      FuzzedDataProvider &input)
{
    QByteArray bytes = cipher.encode(plain, randomByte);
    if (damage) {
        int index = input.ConsumeIntegralInRange<int>(0, bytes.size() - 2);
        if (index >= 1)
            ++index;
        bytes[index] = char(bytes.at(index) ^ input.ConsumeIntegralInRange<int>(1, 255));
    }
    return bytes;
}

// The loading rules: a later record replaces an earlier one of the same name, except that
// one that fails to decipher (stored under an empty name and/or with an empty body) never
// replaces an entry that deciphered well.
struct Model {
    QMap<QString, QByteArray> entries;
    QSet<QString> intact;

    void store(const QString &name, const QByteArray &body, bool whole)
    {
        if (whole)
            intact.insert(name);
        else if (intact.contains(name))
            return;
        entries.insert(name, body);
    }
};

// What ExtractionTarget::nameProblem must refuse, checked the long way round.
bool leavesTheFolder(const QString &name)
{
    if (!name.startsWith(QLatin1Char('/')) || name.contains(QChar(0)) || name.contains(QLatin1Char('\\')))
        return true;
    for (const QString &part : name.mid(1).split(QLatin1Char('/')))
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return true;
    return false;
}

bool isShowable(const QString &text)
{
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || (code >= 0x202A && code <= 0x202E)
            || (code >= 0x2066 && code <= 0x2069) || code == 0x2028 || code == 0x2029 || code == 0x200E
            || code == 0x200F || code == 0x061C)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const PayloadCipher cipher(EJPWrapper::PackageKey);
    QByteArray package;
    Model model;
    // Per record as built: its offset, and whether its name and body decipher.
    struct Built {
        qint64 offset;
        QByteArray name;
        QByteArray body;
        bool nameIntact;
        bool bodyIntact;
        bool raw;
    };
    QVector<Built> built;
    while (input.remaining_bytes() > 0 && built.size() < 64) {
        const quint8 kind = input.ConsumeIntegral<quint8>();
        const qint64 offset = package.size();
        if ((kind & 0xE0) == 0xE0) {
            // Raw length fields, as a damaged or hostile package has them; zero lengths
            // make records that the layout check counts.
            const quint32 nameSize = input.ConsumeIntegralInRange<quint32>(0, (kind & 0x10) ? 0xFFFFFFFFu : 64);
            const quint32 bodySize = input.ConsumeIntegralInRange<quint32>(0, (kind & 0x08) ? 0xFFFFFFFFu : 64);
            const QByteArray raw = bytesOf(input.ConsumeBytesAsString(std::min<size_t>(nameSize, 128)));
            package += le32(nameSize) + le32(bodySize) + raw;
            if (quint64(nameSize) + bodySize != quint64(raw.size()))
                break; // the parser stops here, or finds records of its own in what follows
            built.append({offset, QByteArray(), QByteArray(), false, false, true});
            continue;
        }
        const QByteArray name = bytesOf(input.ConsumeRandomLengthString(64));
        const QByteArray body = bytesOf(input.ConsumeRandomLengthString(512));
        const bool damageName = kind & 0x01;
        const bool damageBody = kind & 0x02;
        const QByteArray cipheredName = enciphered(cipher, name, quint8(kind * 37), damageName, input);
        const QByteArray cipheredBody = enciphered(cipher, body, quint8(kind * 91), damageBody, input);
        package += le32(quint32(cipheredName.size())) + le32(quint32(cipheredBody.size())) + cipheredName
                + cipheredBody;
        built.append({offset, name, body, !damageName, !damageBody, false});
    }
    // The rest, if any, as a cut-short or stray tail.
    package += bytesOf(input.ConsumeRemainingBytesAsString());

    EJPWrapper wrapper;
    qint64 end = -1;
    const QVector<EJPWrapper::Record> records = wrapper.records(package, &end);
    const bool refused = !EJPWrapper::layoutProblem(package).isEmpty();
    wrapper.loadData(package);
    check(end >= 0 && end <= package.size());
    if (refused) {
        check(records.isEmpty() && end == 0 && wrapper.entries().isEmpty());
        return 0;
    }
    // Every record takes at least MinimumRecordSize bytes before end.
    check(qint64(records.size()) * EJPWrapper::MinimumRecordSize <= end);

    // Every record built whole is read back as built, in order; the tail may hold more.
    check(records.size() >= built.size());
    for (int i = 0; i < built.size(); ++i) {
        const Built &b = built.at(i);
        const EJPWrapper::Record &r = records.at(i);
        check(r.offset == b.offset);
        if (b.raw)
            continue;
        check(bool(r.name) == b.nameIntact && bool(r.body) == b.bodyIntact);
        if (r.name)
            check(*r.name == b.name);
        if (r.body)
            check(*r.body == b.body);
    }

    for (const EJPWrapper::Record &record : records) {
        const QByteArray name = record.name.value_or(QByteArray());
        model.store(QString::fromUtf8(name.constData(), name.size()), record.body.value_or(QByteArray()),
                    record.name && record.body);
        if (record.name) {
            const QString text = PackageTool::printable(*record.name);
            check(isShowable(text));
            const QString decoded = QString::fromUtf8(record.name->constData(), record.name->size());
            check(ExtractionTarget::nameProblem(decoded).isEmpty() == !leavesTheFolder(decoded));
        }
    }
    check(wrapper.entries() == model.entries);
    for (auto it = model.entries.cbegin(); it != model.entries.cend(); ++it)
        check(wrapper.contains(it.key()) && wrapper.data(it.key()) == it.value());
    return 0;
}
