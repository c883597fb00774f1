// render-icon SVG PNG SIZE: draws the SVG picture SVG into a square PNG of
// SIZE by SIZE pixels with a transparent background. The build makes the
// program's and the list file type's PNG icons from their SVG this way, so
// that the SVG files stay the only source of the pictures.
#include <cstdio>
#include <cstdlib>

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: render-icon SVG PNG SIZE\n");
        return 2;
    }
    const int size = std::atoi(argv[3]);
    if (size <= 0 || size > 4096) {
        std::fprintf(stderr, "render-icon: bad size '%s'\n", argv[3]);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render-icon: cannot read the SVG picture %s\n", argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "render-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
