// write_icons: writes the program's icon as the files a Linux desktop looks for, drawn by the
// same code the window uses: a PNG at each size asked for and a scalable SVG.
//
//     write_icons DIR NAME SIZE...    writes DIR/hicolor/<SIZE>x<SIZE>/apps/NAME.png for each
//                                     SIZE and DIR/hicolor/scalable/apps/NAME.svg

#include "qt/app_icon.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>

#include <cstdio>

namespace {

constexpr int svg_size = 48; // the grid the icon is drawn on

// The folder DIR/hicolor/SUB/apps, made if missing; empty when it cannot be made.
QString apps_folder(const QString& dir, const QString& sub) {
    const QString folder = dir + "/hicolor/" + sub + "/apps";
    return QDir().mkpath(folder) ? folder : QString();
}

bool write_png(const QString& dir, const QString& name, int size) {
    const QString folder = apps_folder(dir, QString("%1x%1").arg(size));
    if (folder.isEmpty()) {
        return false;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    quorvel::qt::paint_icon(painter, size);
    painter.end();
    return image.save(folder + "/" + name + ".png");
}

bool write_svg(const QString& dir, const QString& name) {
    const QString folder = apps_folder(dir, "scalable");
    if (folder.isEmpty()) {
        return false;
    }
    QSvgGenerator svg;
    svg.setFileName(folder + "/" + name + ".svg");
    svg.setSize({svg_size, svg_size});
    svg.setViewBox(QRect(0, 0, svg_size, svg_size));
    svg.setTitle("Quorvel");
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    quorvel::qt::paint_icon(painter, svg_size);
    return painter.end();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: write_icons DIR NAME SIZE...\n", stderr);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    bool written = write_svg(dir, name);
    for (int i = 3; i < argc; ++i) {
        bool number = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&number);
        written = number && size > 0 && size <= 1024 && write_png(dir, name, size) && written;
    }
    if (!written) {
        std::fprintf(stderr, "write_icons: the icons could not all be written into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
