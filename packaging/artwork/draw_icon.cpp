// Draws the application icon: app/resources/images/icon.png at 256 pixels, and the
// desktop's icon sizes at build time (packaging/CMakeLists.txt). The scalable icon
// packaging/icons/example.velto.TrivoSetup.svg is the same drawing; change both together.
//
// The window's icon, from the repository root after a build:
//   build/packaging/trivo_draw_icon app/resources/images/icon.png

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    // The drawing's own grid; other sizes scale it. Painting into an image needs no
    // application object (no text is drawn), so this also runs where no display is.
    constexpr int kSizePx = 256;
    const int outputPx = argc > 2 ? std::atoi(argv[2]) : kSizePx;
    if (argc < 2 || outputPx < 16 || outputPx > 1024) {
        std::fprintf(stderr, "usage: draw_icon <output.png> [size in pixels, 16 to 1024]\n");
        return 2;
    }

    QImage image(outputPx, outputPx, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(qreal(outputPx) / kSizePx, qreal(outputPx) / kSizePx);

    // Rounded tile with a calm blue-to-teal gradient.
    QLinearGradient tile(0, 0, kSizePx, kSizePx);
    tile.setColorAt(0.0, QColor(0x1d, 0x4e, 0x89));
    tile.setColorAt(1.0, QColor(0x17, 0x9c, 0x9a));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(8, 8, kSizePx - 16, kSizePx - 16), 44, 44);

    // Three stacked bars, growing towards the top: three video streams / "tri".
    p.setBrush(QColor(255, 255, 255, 235));
    const qreal widths[] = { 148, 112, 76 };
    qreal y = 58;
    for (qreal w : widths) {
        p.drawRoundedRect(QRectF((kSizePx - w) / 2, y, w, 26), 13, 13);
        y += 40;
    }

    // A small plug below them: the module hangs off a USB cable.
    QPainterPath plug;
    plug.addRoundedRect(QRectF(kSizePx / 2 - 22, 182, 44, 30), 6, 6);
    p.drawPath(plug);
    p.setBrush(tile);
    p.drawRect(QRectF(kSizePx / 2 - 12, 190, 8, 8));
    p.drawRect(QRectF(kSizePx / 2 + 4, 190, 8, 8));
    p.end();

    return image.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
