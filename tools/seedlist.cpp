#include "seedlist.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>
#include <map>

namespace {

constexpr qint64 kLargestSeed = 2147483647;

// Seeds already listed, as disjoint ranges: first seed to last seed.
using Ranges = std::map<qint64, qint64>;
using Range = std::pair<qint64, qint64>;

bool seedOf(const QString &text, qint64 *seed)
{
    bool ok = false;
    *seed = text.toLongLong(&ok);
    return ok && *seed >= 0 && *seed <= kLargestSeed;
}

// The parts of first..last not listed yet, in ascending order; the range joins the listed
// ones. The work follows the ranges it meets, not the range's length, so that a list
// repeating a long range costs no more than listing it once.
QVector<Range> unlistedParts(qint64 first, qint64 last, Ranges *listed)
{
    QVector<Range> parts;
    auto it = listed->upper_bound(first);
    if (it != listed->begin() && std::prev(it)->second >= first - 1)
        --it;
    qint64 next = first;
    Range joined {first, last};
    while (it != listed->end() && it->first <= last + 1) {
        if (it->first > next)
            parts.append({next, std::min(it->first - 1, last)});
        next = std::max(next, it->second + 1);
        joined = {std::min(joined.first, it->first), std::max(joined.second, it->second)};
        it = listed->erase(it);
    }
    if (next <= last)
        parts.append({next, last});
    listed->insert(joined);
    return parts;
}

qint64 seedCount(const QVector<Range> &parts)
{
    qint64 count = 0;
    for (const Range &part : parts)
        count += part.second - part.first + 1;
    return count;
}

} // namespace

bool SeedList::parseSeed(const QString &text, int *seed, QString *error)
{
    const QString entry = text.trimmed();
    qint64 value = 0;
    if (!seedOf(entry, &value)) {
        *error = QStringLiteral("bad seed \"%1\": use a whole number from 0 to %2").arg(entry).arg(kLargestSeed);
        return false;
    }
    *seed = int(value);
    return true;
}

bool SeedList::parse(const QString &text, QVector<int> *seeds, QString *error)
{
    static const QRegularExpression range(QStringLiteral("^(\\d+)\\s*-\\s*(\\d+)$"));
    QVector<int> result;
    Ranges listed;
    const QStringList entries = text.split(QLatin1Char(','));
    for (const QString &part : entries) {
        const QString entry = part.trimmed();
        const QRegularExpressionMatch match = range.match(entry);
        qint64 first = 0, last = 0;
        if (!match.hasMatch()) {
            int seed = 0;
            if (!parseSeed(entry, &seed, error)) {
                if (entries.size() > 1)
                    *error += QStringLiteral(" (in \"%1\")").arg(text);
                return false;
            }
            first = last = seed;
        } else if (!seedOf(match.captured(1), &first) || !seedOf(match.captured(2), &last) || first > last) {
            *error = QStringLiteral("bad seed range \"%1\" in \"%2\": use ranges such as 1-50 of seeds from 0 to %3")
                             .arg(entry, text)
                             .arg(kLargestSeed);
            return false;
        }
        const QVector<Range> parts = unlistedParts(first, last, &listed);
        if (result.size() + seedCount(parts) > kMaxSeeds) {
            *error = QStringLiteral("\"%1\" names more than %2 seeds").arg(text).arg(kMaxSeeds);
            return false;
        }
        for (const Range &part : parts)
            for (qint64 seed = part.first; seed <= part.second; ++seed)
                result.append(int(seed));
    }
    *seeds = result;
    return true;
}
