// write_icons: writes the program's icon as the files a desktop looks for, drawn by the same
// code the window uses: for Linux a PNG at each size asked for and a scalable SVG, for Windows
// an icon file.
//
//     write_icons DIR NAME SIZE...    writes DIR/hicolor/<SIZE>x<SIZE>/apps/NAME.png for each
//                                     SIZE and DIR/hicolor/scalable/apps/NAME.svg
//     write_icons --ico FILE          writes FILE, the Windows programs' icon: at each of the
//                                     window icon's sizes one image in 256 colours and one in
//                                     32-bit colour

#include "qt/app_icon.h"

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <QSvgGenerator>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

constexpr int svg_size = 48; // the grid the icon is drawn on

// The folder DIR/hicolor/SUB/apps, made if missing; empty when it cannot be made.
QString apps_folder(const QString& dir, const QString& sub) {
    const QString folder = dir + "/hicolor/" + sub + "/apps";
    return QDir().mkpath(folder) ? folder : QString();
}

QImage drawn(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    quorvel::qt::paint_icon(painter, size);
    painter.end();
    return image;
}

bool write_png(const QString& dir, const QString& name, int size) {
    const QString folder = apps_folder(dir, QString("%1x%1").arg(size));
    if (folder.isEmpty()) {
        return false;
    }
    return drawn(size).save(folder + "/" + name + ".png");
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

// --- the Windows icon file ---------------------------------------------------------------------

// A pixel is transparent in the AND mask, and drawn as palette entry 0 in 256 colours, when it
// is less than half opaque.
bool transparent(QRgb pixel) {
    return qAlpha(pixel) < 128;
}

using Palette = std::array<QRgb, 256>;

// The same 256 colours for every image and every run: the 6x6x6 colour cube (entry 0 is its
// black), then the 8 greys between each two neighbouring grey levels of the cube.
Palette fixed_palette() {
    Palette palette{};
    std::size_t at = 0;
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                palette[at++] = qRgb(51 * r, 51 * g, 51 * b);
            }
        }
    }
    for (int level = 0; level < 5; ++level) {
        for (int k = 1; k <= 8; ++k) {
            const int grey = 51 * level + (51 * k + 4) / 9;
            palette[at++] = qRgb(grey, grey, grey);
        }
    }
    return palette;
}

// The entry nearest to `pixel` in RGB, the lowest of equally near ones.
std::uint8_t nearest(const Palette& palette, QRgb pixel) {
    std::size_t best = 0;
    int best_distance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = qRed(pixel) - qRed(palette[i]);
        const int dg = qGreen(pixel) - qGreen(palette[i]);
        const int db = qBlue(pixel) - qBlue(palette[i]);
        const int distance = dr * dr + dg * dg + db * db;
        if (best_distance < 0 || distance < best_distance) {
            best = i;
            best_distance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

void put16(QByteArray& out, std::uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

void put32(QByteArray& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

// Rows of a bitmap take a multiple of 4 bytes.
int row_bytes(int width, int bits) {
    return (width * bits + 31) / 32 * 4;
}

// One image of the icon file: a bitmap header of twice the image's height, the palette (8
// bits), the colour rows and then the AND mask's rows, both from the bottom row up.
QByteArray icon_image(const QImage& image, int bits, const Palette& palette) {
    const int size = image.width();
    const int colour_row = row_bytes(size, bits);
    const int mask_row = row_bytes(size, 1);
    QByteArray out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(size));
    put32(out, static_cast<std::uint32_t>(2 * size));
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(bits));
    put32(out, 0); // uncompressed
    put32(out, static_cast<std::uint32_t>((colour_row + mask_row) * size));
    for (int i = 0; i < 4; ++i) {
        put32(out, 0); // resolution and colour counts: the defaults
    }
    if (bits == 8) {
        for (const QRgb colour : palette) {
            put32(out, colour & 0xFFFFFF); // blue, green, red, and a zero byte
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (bits == 8) {
                row.append(static_cast<char>(transparent(pixel) ? 0 : nearest(palette, pixel)));
            } else {
                put32(row, pixel); // blue, green, red, alpha
            }
        }
        out.append(row.leftJustified(colour_row, '\0'));
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(mask_row, '\0');
        for (int x = 0; x < size; ++x) {
            if (transparent(image.pixel(x, y))) {
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.append(row);
    }
    return out;
}

bool write_ico(const QString& file) {
    const Palette palette = fixed_palette();
    constexpr int depths[] = {8, 32};
    const int count = static_cast<int>(std::size(quorvel::qt::icon_sizes) * std::size(depths));
    QByteArray directory;
    put16(directory, 0);
    put16(directory, 1); // an icon
    put16(directory, static_cast<std::uint16_t>(count));
    QByteArray images;
    for (const int size : quorvel::qt::icon_sizes) {
        // straight, not premultiplied, alpha
        const QImage image = drawn(size).convertToFormat(QImage::Format_ARGB32);
        for (const int bits : depths) {
            const QByteArray data = icon_image(image, bits, palette);
            directory.append(static_cast<char>(size));
            directory.append(static_cast<char>(size));
            directory.append('\0'); // colour count: 0 for 256 colours and more
            directory.append('\0');
            put16(directory, 1); // planes
            put16(directory, static_cast<std::uint16_t>(bits));
            put32(directory, static_cast<std::uint32_t>(data.size()));
            put32(directory, static_cast<std::uint32_t>(6 + 16 * count + images.size()));
            images.append(data);
        }
    }
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(directory + images) > 0 && out.commit();
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--ico") == 0) {
        if (!write_ico(QString::fromLocal8Bit(argv[2]))) {
            std::fprintf(stderr, "write_icons: the icon file %s could not be written\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc < 4) {
        std::fputs("usage: write_icons DIR NAME SIZE...\n       write_icons --ico FILE\n", stderr);
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
