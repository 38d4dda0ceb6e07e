#include "comm_protocol.h"

#include <QRandomGenerator>
#include <QtTest>
#include <zlib.h>

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

private slots:
    void checkValue()
    {
        QCOMPARE(crc32Compute("123456789", 9), 0xCBF43926u);
        QCOMPARE(crc32Compute("", 0), 0u);
    }

    // Every length around the 16- and 64-byte block edges, at every alignment.
    void agreesWithZlib()
    {
        QRandomGenerator rng(0x5EED);
        const QByteArray data = randomBytes(rng, 300 + 16);
        for (int len = 0; len <= 300; ++len) {
            for (int offset = 0; offset < 8; ++offset) {
                const quint32 ours = crc32Compute(data.constData() + offset, size_t(len));
                if (ours != reference(data, offset, len))
                    QFAIL(qPrintable(QString("length %1 offset %2").arg(len).arg(offset)));
            }
        }
    }

    // Continuing with the previous result equals one pass over the concatenation.
    void continuesAcrossCalls()
    {
        QRandomGenerator rng(42);
        for (int round = 0; round < 200; ++round) {
            const QByteArray data = randomBytes(rng, int(rng.bounded(1, 20000)));
            const int split = int(rng.bounded(data.size() + 1));
            const quint32 first = crc32Compute(data.constData(), size_t(split));
            const quint32 both
                = crc32Compute(data.constData() + split, size_t(data.size() - split), first);
            QCOMPARE(both, reference(data, 0, data.size()));
        }
    }
};

QTEST_MAIN(TestCrc32)
#include "tst_crc32.moc"
