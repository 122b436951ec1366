#include "seedlist.h"

#include <QRegularExpression>
#include <QSet>

namespace {

bool seedOf(const QString &text, qint64 *seed)
{
    bool ok = false;
    *seed = text.toLongLong(&ok);
    return ok && *seed >= 0 && *seed <= 2147483647;
}

} // namespace

bool SeedList::parse(const QString &text, QVector<int> *seeds, QString *error)
{
    static const QRegularExpression range(QStringLiteral("^(\\d+)\\s*-\\s*(\\d+)$"));
    QVector<int> result;
    QSet<int> seen;
    for (const QString &part : text.split(QLatin1Char(','))) {
        const QString entry = part.trimmed();
        const QRegularExpressionMatch match = range.match(entry);
        qint64 first = 0, last = 0;
        const bool ok = match.hasMatch() ? seedOf(match.captured(1), &first) && seedOf(match.captured(2), &last)
                                         : seedOf(entry, &first) && seedOf(entry, &last);
        if (!ok || first > last) {
            *error = QStringLiteral("bad seed \"%1\" in \"%2\": use whole numbers from 0 to 2147483647 and "
                                    "ranges such as 1-50")
                             .arg(entry, text);
            return false;
        }
        if (last - first >= kMaxSeeds || result.size() + (last - first) >= kMaxSeeds) {
            *error = QStringLiteral("\"%1\" names more than %2 seeds").arg(text).arg(kMaxSeeds);
            return false;
        }
        for (qint64 seed = first; seed <= last; ++seed) {
            if (!seen.contains(int(seed))) {
                seen.insert(int(seed));
                result.append(int(seed));
            }
        }
    }
    *seeds = result;
    return true;
}
