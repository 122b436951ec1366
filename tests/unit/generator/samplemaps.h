#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

/// A parameter map of tests/data read as the tool reads it, its mask file path made
/// absolute, with the keys of the JSON object `overrides` put on top. Fails the test
/// program when either cannot be read.
QVariantMap sampleMap(const QString &name, const QByteArray &overrides = QByteArray());
