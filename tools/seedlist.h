// SeedList: the seeds of a batch, from text such as "1-50, 77, 1000-1010".
#pragma once

#include "contactsheet.h"

#include <QString>
#include <QVector>

class SeedList
{
public:
    // More distinct seeds than this in one batch is taken for a typing mistake.
    static constexpr int kMaxSeeds = ContactSheet::kMaxSeeds;

    // Comma-separated whole numbers from 0 to 2147483647 and ranges "a-b" with a <= b, in
    // the order given; a seed given twice is kept once. False with a message naming the
    // bad entry for anything else, an empty list, or more than kMaxSeeds distinct seeds.
    static bool parse(const QString &text, QVector<int> *seeds, QString *error);

    // One seed, a whole number from 0 to 2147483647. False with the message parse gives
    // for the same text as a list.
    static bool parseSeed(const QString &text, int *seed, QString *error);
};
