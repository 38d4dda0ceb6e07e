#include "comm_protocol.h"
#include "crc32_internal.h"

#include <QRandomGenerator>
#include <QtTest>
#include <zlib.h>

using CrcFunction = uint32_t (*)(const void *, size_t, uint32_t);
Q_DECLARE_METATYPE(CrcFunction)

class TestCrc32 : public QObject
{
    Q_OBJECT

private:
    static quint32 reference(const QByteArray &b, int from, int len)
    {
        return quint32(crc32(0L, reinterpret_cast<const Bytef *>(b.constData() + from), uInt(len)));
    }

    static QByteArray randomBytes(QRandomGenerator &rng, int n)
    {
        QByteArray b(n, '\0');
        for (char &c : b)
            c = char(rng.bounded(256));
        return b;
    }

    // Both the dispatching entry point and the table path on its own (the dispatcher
    // only uses the table path on short data where the processor has a faster one).
    static void addPaths()
    {
        QTest::addColumn<CrcFunction>("crc");
        QTest::newRow("crc32Compute") << CrcFunction(&crc32Compute);
        QTest::newRow("table path") << CrcFunction(&crc32Portable);
    }

private slots:
    void initTestCase()
    {
        qInfo("carry-less multiply path %s",
            crc32HasCarrylessMultiply() ? "in use" : "not available here");
    }

    void checkValue_data() { addPaths(); }
    void checkValue()
    {
        QFETCH(CrcFunction, crc);
        QCOMPARE(crc("123456789", 9, 0), 0xCBF43926u);
        QCOMPARE(crc("", 0, 0), 0u);
    }

    // Every length around the 16- and 64-byte block edges, at every alignment.
    void agreesWithZlib_data() { addPaths(); }
    void agreesWithZlib()
    {
        QFETCH(CrcFunction, crc);
        QRandomGenerator rng(0x5EED);
        const QByteArray data = randomBytes(rng, 300 + 16);
        for (int len = 0; len <= 300; ++len) {
            for (int offset = 0; offset < 8; ++offset) {
                if (crc(data.constData() + offset, size_t(len), 0) != reference(data, offset, len))
                    QFAIL(qPrintable(QString("length %1 offset %2").arg(len).arg(offset)));
            }
        }
    }

    // Continuing with the previous result equals one pass over the concatenation.
    void continuesAcrossCalls_data() { addPaths(); }
    void continuesAcrossCalls()
    {
        QFETCH(CrcFunction, crc);
        QRandomGenerator rng(42);
        for (int round = 0; round < 200; ++round) {
            const QByteArray data = randomBytes(rng, int(rng.bounded(1, 20000)));
            const int split = int(rng.bounded(data.size() + 1));
            const quint32 first = crc(data.constData(), size_t(split), 0);
            const quint32 both = crc(data.constData() + split, size_t(data.size() - split), first);
            QCOMPARE(both, reference(data, 0, data.size()));
        }
    }
};

QTEST_MAIN(TestCrc32)
#include "tst_crc32.moc"
