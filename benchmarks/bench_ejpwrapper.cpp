#include "ejpwrapper.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// Packing and loading an application of 200 files of 50 KB (10 MB) in 20
// folders, the size of a large page application with images.
class BenchEJPWrapper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void packTenMegabytes();
    void loadTenMegabytes();

private:
    QTemporaryDir m_tmp;
};

void BenchEJPWrapper::initTestCase()
{
    QRandomGenerator random(16);
    QByteArray body(50 * 1024, Qt::Uninitialized);
    for (int i = 0; i < 200; ++i) {
        random.fillRange(reinterpret_cast<quint32 *>(body.data()), body.size() / 4);
        const QString dir = m_tmp.filePath(QStringLiteral("src/d%1").arg(i % 20));
        QVERIFY(QDir().mkpath(dir));
        QFile file(dir + QStringLiteral("/f%1.bin").arg(i));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(body);
    }
    EJPWrapper().wrap(m_tmp.filePath("src"), m_tmp.filePath("app.ejp"));
}

void BenchEJPWrapper::packTenMegabytes()
{
    const EJPWrapper wrapper;
    QBENCHMARK
    {
        wrapper.wrap(m_tmp.filePath("src"), m_tmp.filePath("out.ejp"));
    }
}

void BenchEJPWrapper::loadTenMegabytes()
{
    QBENCHMARK
    {
        EJPWrapper wrapper;
        wrapper.load(m_tmp.filePath("app.ejp"));
    }
}

QTEST_APPLESS_MAIN(BenchEJPWrapper)
#include "bench_ejpwrapper.moc"
