// The studio's parameter schema (app/js/schema.js) and the generator's parameter table
// describe the same map: a key, kind or list field added on one side only fails here.
#include "generatorsettings.h"
#include "parametertable.h"

#include <QFile>
#include <QJSEngine>
#include <QtTest>

namespace {

// The generator's kind for each kind of studio control.
QString generatorKindOf(const QString &studioKind, const QVariant &firstOption)
{
    if (studioKind == QLatin1String("choice"))
        return firstOption.userType() == QMetaType::QString ? QStringLiteral("text") : QStringLiteral("int");
    if (studioKind == QLatin1String("font") || studioKind == QLatin1String("file"))
        return QStringLiteral("text");
    return studioKind;
}

bool valueHasKind(const QVariant &value, const QString &kind)
{
    if (kind == QLatin1String("real"))
        return value.canConvert<double>() && value.userType() != QMetaType::Bool
                && value.userType() != QMetaType::QString;
    if (kind == QLatin1String("int"))
        return valueHasKind(value, QStringLiteral("real")) && value.toDouble() == std::trunc(value.toDouble());
    if (kind == QLatin1String("color")) {
        const QVariantList rgb = value.toList();
        return rgb.size() == 3 && std::all_of(rgb.begin(), rgb.end(), [](const QVariant &c) {
                   return valueHasKind(c, QStringLiteral("int"));
               });
    }
    if (kind == QLatin1String("bool"))
        return value.userType() == QMetaType::Bool;
    return value.userType() == QMetaType::QString;
}

bool readsAs(float value, const QVariant &studio)
{
    return value == studio.toFloat();
}

bool readsAs(int32_t value, const QVariant &studio)
{
    return double(value) == studio.toDouble();
}

bool readsAs(const RgbColor &value, const QVariant &studio)
{
    const QVariantList rgb = studio.toList();
    return rgb.size() == 3 && value.r == rgb[0].toInt() && value.g == rgb[1].toInt() && value.b == rgb[2].toInt();
}

bool readsAs(const QString &value, const QVariant &studio)
{
    return value == studio.toString();
}

bool readsAs(bool value, const QVariant &studio)
{
    return value == studio.toBool();
}

} // namespace

class TestParameterSchema : public QObject
{
    Q_OBJECT

    QJSEngine engine;
    QVariantMap table = ParameterTable::describe();

    QVariant evaluate(const QString &script)
    {
        const QJSValue value = engine.evaluate(script);
        if (value.isError())
            qFatal("%s", qPrintable(value.toString()));
        return value.toVariant();
    }

    // {key: kind} of the studio's controls, or of one list's fields.
    QVariantMap studioKinds(const QString &params)
    {
        QVariantMap kinds;
        const QVariantList list = evaluate(params).toList();
        for (const QVariant &entry : list) {
            const QVariantMap param = entry.toMap();
            const QVariant firstOption = param.value("options").toList().value(0).toList().value(0);
            kinds.insert(param.value("key").toString(), generatorKindOf(param.value("kind").toString(), firstOption));
        }
        return kinds;
    }

    QVariantMap generatorKinds()
    {
        QVariantMap kinds;
        const QVariantMap settings = table.value("settings").toMap();
        for (auto it = settings.begin(); it != settings.end(); ++it)
            kinds.insert(it.key(), it.value().toMap().value("kind"));
        return kinds;
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *name : {"util.js", "schema.js"}) {
            QFile file(QStringLiteral(STUDIO_JS_DIR "/") + QLatin1String(name));
            QVERIFY2(file.open(QIODevice::ReadOnly), name);
            const QJSValue loaded = engine.evaluate(QString::fromUtf8(file.readAll()), QLatin1String(name));
            QVERIFY2(!loaded.isError(), qPrintable(loaded.toString()));
        }
    }

    void studioControlsCoverEveryKeyWithItsKind()
    {
        QCOMPARE(studioKinds("Studio.schema.allParams()"), generatorKinds());
    }

    void studioListFieldsMatchTheGeneratorLists_data()
    {
        QTest::addColumn<QString>("list");
        const QVariantMap lists = table.value("lists").toMap();
        for (auto it = lists.begin(); it != lists.end(); ++it)
            QTest::newRow(qPrintable(it.key())) << it.key();
    }

    void studioListFieldsMatchTheGeneratorLists()
    {
        QFETCH(QString, list);
        QStringList generatorKeys = table.value("lists").toMap().value(list).toStringList();
        QStringList studioKeys = studioKinds(QStringLiteral("Studio.schema.lists.%1.fields").arg(list)).keys();
        generatorKeys.sort();
        QCOMPARE(studioKeys, generatorKeys);
        const QStringList newItemKeys
                = evaluate(QStringLiteral("Object.keys(Studio.schema.newItems.%1)").arg(list)).toStringList();
        for (const QString &key : newItemKeys)
            QVERIFY2(generatorKeys.contains(key), qPrintable(key));
    }

    // The studio's default map holds every key the generator reads, each value of the
    // generator's kind, and the generator reads it back unchanged.
    void studioDefaultsAreReadUnchanged()
    {
        const QVariantMap defaults = evaluate("Studio.schema.defaults").toMap();
        const QVariantMap kinds = generatorKinds();
        QStringList expectedKeys = kinds.keys() + table.value("lists").toMap().keys();
        expectedKeys.sort();
        QCOMPARE(defaults.keys(), expectedKeys);
        for (auto it = kinds.begin(); it != kinds.end(); ++it)
            QVERIFY2(valueHasKind(defaults.value(it.key()), it.value().toString()), qPrintable(it.key()));

        GeneratorSettings settings;
        ParameterTable::read(defaults, &settings);
        for (const ParameterField<GeneratorSettings> &field : ParameterTable::settingsFields()) {
            const QVariant studio = defaults.value(field.key);
            std::visit([&](auto member) { QVERIFY2(readsAs(settings.*member, studio), field.key); }, field.member);
        }
        QCOMPARE(int(settings.chips.size()), defaults.value("chips").toList().size());
    }
};

QTEST_GUILESS_MAIN(TestParameterSchema)
#include "tst_parameterschema.moc"
