// The setting shared by the export suites: the showcase map on a small canvas,
// and for every test a fresh temporary folder and exporter.
#pragma once

#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "samplemaps.h"

#include <QObject>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class ExporterTestBase : public QObject
{
protected:
    // From initTestCase: a smaller canvas keeps the exports quick.
    void readSampleMap()
    {
        m_parameters = sampleMap(QStringLiteral("render_showcase_map.json"), R"({"width": 200, "height": 160})");
    }

    // From init.
    void startAfresh()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_generator = std::make_unique<CircuitGenerator>();
        m_generator->readParameters(m_parameters);
        m_renderer = std::make_unique<CircuitRenderer>();
        m_exporter = std::make_unique<CircuitExporter>(*m_generator, *m_renderer);
    }

    QString path(const QString &name) const { return m_dir->filePath(name); }

    QVariantMap m_parameters;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CircuitGenerator> m_generator;
    std::unique_ptr<CircuitRenderer> m_renderer;
    std::unique_ptr<CircuitExporter> m_exporter;
};
