// Draws the device-page pictures into <resources dir>/pages/ and writes
// <resources dir>/pages.qrc. Usage: draw_page_artwork <resources dir>
#include "device_page.h"
#include "page_families.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <cstdio>

namespace {

const QColor kMetal(0xc4, 0xcb, 0xd2);
const QColor kMetalDark(0x7d, 0x86, 0x90);
const QColor kHole(0x0e, 0x10, 0x13);

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage drawBackground()
{
    QImage image = blank(709, 220);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, image.height());
    g.setColorAt(0, QColor(0xf5, 0xf7, 0xfa));
    g.setColorAt(1, QColor(0xdc, 0xe3, 0xeb));
    p.fillRect(image.rect(), g);
    // A soft band behind the model picture and a hairline at the bottom.
    p.fillRect(QRect(0, 24, image.width(), 110), QColor(255, 255, 255, 90));
    p.fillRect(QRect(0, image.height() - 2, image.width(), 2), QColor(0xb7, 0xc2, 0xce));
    return image;
}

QImage drawLed(bool lit)
{
    QImage image = blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(6, 6), 8);
    g.setColorAt(0, lit ? QColor(0xb8, 0xff, 0xa8) : QColor(0x6d, 0xa8, 0x6f));
    g.setColorAt(0.5, lit ? QColor(0x3c, 0xd6, 0x3a) : QColor(0x2f, 0x6e, 0x35));
    g.setColorAt(1, lit ? QColor(0x17, 0x7a, 0x22) : QColor(0x1a, 0x3b, 0x1f));
    p.setPen(QPen(QColor(0x20, 0x24, 0x28), 1));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return image;
}

void metalFrame(QPainter &p, const QRectF &r, qreal radius = 2)
{
    p.setPen(QPen(kMetalDark, 1));
    p.setBrush(kMetal);
    p.drawRoundedRect(r, radius, radius);
}

// One connector centred on c; w is the room the slot offers.
void drawConnector(QPainter &p, ConnectorShape shape, QPointF c, qreal w)
{
    const qreal s = qMin<qreal>(1.0, w / 40.0); // shrink in narrow slots
    p.save();
    p.translate(c);
    p.scale(s, s);
    switch (shape) {
    case ConnectorShape::Rj45: {
        metalFrame(p, QRectF(-15, -13, 30, 26));
        QPainterPath hole;
        hole.addRect(-11, -9, 22, 14);
        hole.addRect(-5, 5, 10, 4);
        p.fillPath(hole.simplified(), kHole);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3c, 0xd6, 0x3a));
        p.drawRect(QRectF(-13, -12, 5, 2.5));
        p.setBrush(QColor(0xf2, 0xb1, 0x34));
        p.drawRect(QRectF(8, -12, 5, 2.5));
        break;
    }
    case ConnectorShape::Sfp:
        // Optical cage: a tall dark opening with a latch, and a link LED above.
        metalFrame(p, QRectF(-13, -14, 26, 26), 1);
        p.fillRect(QRectF(-10, -10, 20, 18), kHole);
        p.fillRect(QRectF(-7, 4, 14, 2), kMetalDark);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3c, 0xd6, 0x3a));
        p.drawEllipse(QPointF(0, -18), 2, 2);
        break;
    case ConnectorShape::Hdmi: {
        QPolygonF outer({ { -16, -8 }, { 16, -8 }, { 16, 2 }, { 11, 8 }, { -11, 8 }, { -16, 2 } });
        p.setPen(QPen(kMetalDark, 1));
        p.setBrush(kMetal);
        p.drawPolygon(outer);
        QPolygonF inner({ { -13, -5 }, { 13, -5 }, { 13, 1 }, { 9, 5 }, { -9, 5 }, { -13, 1 } });
        p.setPen(Qt::NoPen);
        p.setBrush(kHole);
        p.drawPolygon(inner);
        p.fillRect(QRectF(-9, -3, 18, 3), QColor(0x3a, 0x40, 0x48));
        break;
    }
    case ConnectorShape::Bnc:
        p.setPen(QPen(kMetalDark, 1));
        p.setBrush(kMetal);
        p.drawEllipse(QPointF(0, 0), 13, 13);
        p.setBrush(QColor(0x9a, 0xa3, 0xad));
        p.drawEllipse(QPointF(0, 0), 8, 8);
        p.setBrush(kHole);
        p.drawEllipse(QPointF(0, 0), 5, 5);
        p.setBrush(QColor(0xe8, 0xc2, 0x5a));
        p.drawEllipse(QPointF(0, 0), 1.6, 1.6);
        p.setBrush(kMetal);
        p.drawRect(QRectF(-15, -2, 3, 4));
        p.drawRect(QRectF(12, -2, 3, 4));
        break;
    case ConnectorShape::Audio:
        p.setPen(QPen(kMetalDark, 1));
        p.setBrush(kMetal);
        p.drawEllipse(QPointF(0, 0), 8, 8);
        p.setBrush(kHole);
        p.drawEllipse(QPointF(0, 0), 4, 4);
        break;
    case ConnectorShape::UsbA:
        metalFrame(p, QRectF(-14, -7, 28, 14), 1);
        p.fillRect(QRectF(-12, -5, 24, 10), kHole);
        p.fillRect(QRectF(-11, -5, 22, 4), QColor(0x2a, 0x6f, 0xdb));
        break;
    case ConnectorShape::UsbB: {
        QPolygonF outer({ { -8, -4 }, { -4, -8 }, { 4, -8 }, { 8, -4 }, { 8, 8 }, { -8, 8 } });
        p.setPen(QPen(kMetalDark, 1));
        p.setBrush(kMetal);
        p.drawPolygon(outer);
        p.setPen(Qt::NoPen);
        p.setBrush(kHole);
        p.drawPolygon(
            QPolygonF({ { -6, -3 }, { -3, -6 }, { 3, -6 }, { 6, -3 }, { 6, 6 }, { -6, 6 } }));
        p.setBrush(QColor(0xe8, 0xec, 0xf0));
        p.drawRect(QRectF(-3, -3, 6, 6));
        break;
    }
    case ConnectorShape::SdCard:
        metalFrame(p, QRectF(-17, -4, 34, 8), 1);
        p.fillRect(QRectF(-15, -2, 30, 4), kHole);
        break;
    }
    p.restore();
}

QImage drawModel(const PageRow &row)
{
    QImage image = blank(kPictureWidthPx, kPictureHeightPx);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Panel body.
    const QRectF body(1.5, 1.5, image.width() - 3, image.height() - 3);
    QLinearGradient g(0, 0, 0, image.height());
    g.setColorAt(0, QColor(0x48, 0x4f, 0x59));
    g.setColorAt(0.08, QColor(0x3a, 0x40, 0x49));
    g.setColorAt(1, QColor(0x22, 0x26, 0x2c));
    p.setPen(QPen(QColor(0x14, 0x17, 0x1b), 1.5));
    p.setBrush(g);
    p.drawRoundedRect(body, 8, 8);
    // Mounting screws.
    p.setPen(QPen(QColor(0x16, 0x19, 0x1d), 1));
    p.setBrush(QColor(0x8d, 0x95, 0x9f));
    for (qreal x : { 9.0, image.width() - 9.0 })
        for (qreal y : { 10.0, image.height() - 10.0 })
            p.drawEllipse(QPointF(x, y), 3, 3);

    // Name plate.
    p.setPen(QColor(0xf2, 0xf4, 0xf7));
    QFont name("DejaVu Sans", 11, QFont::Bold);
    name.setPixelSize(15);
    p.setFont(name);
    const QRectF plate(18, 12, kPictureNameWidthPx - 26, image.height() - 24);
    // The name keeps clear of the maker line under it, even when it wraps.
    const QRectF nameRect = plate.adjusted(0, 0, 0, -16);
    p.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, row.model->modelName);
    QFont maker("DejaVu Sans");
    maker.setPixelSize(10);
    maker.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(maker);
    p.setPen(QColor(0x9d, 0xa6, 0xb1));
    p.drawText(plate, Qt::AlignLeft | Qt::AlignBottom, "VELTO");
    p.setPen(QPen(QColor(0x56, 0x5e, 0x69), 1));
    p.drawLine(QPointF(kPictureNameWidthPx - 0.5, 12),
        QPointF(kPictureNameWidthPx - 0.5, image.height() - 12));

    QList<ConnectorShape> shapes;
    for (const PictureItem &item : PictureItemsFor(row)) {
        if (item.role == PictureRole::Connector)
            shapes.append(item.shape);
    }
    const int slot = ConnectorSlotWidthPx(shapes.size());
    for (int i = 0; i < shapes.size(); ++i) {
        const QPointF centre(kPictureNameWidthPx + slot * (i + 0.5), image.height() / 2.0);
        drawConnector(p, shapes[i], centre, slot - 6);
    }
    return image;
}

bool save(const QImage &image, const QString &path)
{
    if (image.save(path, "PNG", 9))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources dir>\n", argv[0]);
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    if (!resources.mkpath("pages"))
        return 1;

    // Resource path ":/media/images/<rest>" is written to pages/<file name of rest>.
    QStringList qrcFiles;
    const auto put = [&](const QImage &image, const QString &resourcePath) {
        const QString alias = resourcePath.mid(QString(":/media/").size());
        const QString file = "pages/" + QFileInfo(alias).fileName();
        qrcFiles.append(QString("    <file alias=\"%1\">%2</file>").arg(alias, file));
        return save(image, resources.filePath(file));
    };

    bool ok = put(drawBackground(), kBackgroundPicture);
    ok = put(drawLed(true), kLedGreenPicture) && ok;
    ok = put(drawLed(false), kLedGreenDownPicture) && ok;
    for (const PageRow &row : PageTable())
        ok = put(drawModel(row), row.modelPicture) && ok;

    QFile qrc(resources.filePath("pages.qrc"));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    QTextStream out(&qrc);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/media\">\n"
        << qrcFiles.join('\n') << "\n  </qresource>\n</RCC>\n";
    return ok ? 0 : 1;
}
