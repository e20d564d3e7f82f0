// artgen: draws Quibra's artwork. The output is committed under resources/; regenerate it with
//
//     cmake --build <build-dir> --target regenerate-art
//
// or by hand: QT_QPA_PLATFORM=offscreen <build-dir>/tools/artgen/artgen resources
//
// The texture comes from a fixed pseudo-random sequence and nothing carries a time stamp, so a
// second run writes the same bytes. With "--previews <folder>" it also writes enlarged copies and
// the face with sample lines in its slots, for looking at; those are not part of the program.
#include "tools/artgen/Artgen.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

namespace {

// Both JPEG pictures carry a fine metal grain; at lower qualities libjpeg smooths it into a
// sandy blur (or needs far coarser noise to keep it), so they are written at full quality.
constexpr int kFaceQuality = 100;
constexpr int kMiniatureQuality = 100;
const int kIconSizes[] = {16, 24, 32, 48, 64, 72, 96, 128};

QImage enlarged(const QImage& image, int factor, const QColor& backdrop) {
    QImage out(image.size() * factor, QImage::Format_RGB32);
    out.fill(backdrop);
    QPainter p(&out);
    p.drawImage(out.rect(),
                image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    return out;
}

bool writePreviews(const QString& folder) {
    using namespace artgen;
    if (!QDir().mkpath(folder))
        return false;
    const QDir dir(folder);
    bool ok = writePng(renderFace(), dir.filePath("face.png"));
    ok = writePng(renderFaceWithLines("14", QString::fromUtf8("Текст"), "E"),
                  dir.filePath("face-lines.png")) &&
         ok;
    ok =
        writePng(enlarged(renderFaceWithLines("14", QString::fromUtf8("Текст"), "E"), 3, Qt::white),
                 dir.filePath("face-lines-x3.png")) &&
        ok;
    ok =
        writePng(enlarged(renderMiniature(), 3, Qt::white), dir.filePath("miniature-x3.png")) && ok;
    ok = writePng(enlarged(renderCursorClosed(), 8, QColor(120, 150, 120)),
                  dir.filePath("cursor_closed-x8.png")) &&
         ok;
    ok = writePng(enlarged(renderCursorOpen(), 8, QColor(120, 150, 120)),
                  dir.filePath("cursor_open-x8.png")) &&
         ok;
    ok = writePng(enlarged(renderBand(), 6, Qt::white), dir.filePath("band-x6.png")) && ok;
    ok = writePng(enlarged(renderLogo(), 4, Qt::magenta), dir.filePath("logo-x4.png")) && ok;
    // All icon sizes side by side at their own size, then each enlarged to 128 without smoothing.
    QImage sheet(128 * 8 + 9 * 8, 128 * 2 + 24, QImage::Format_RGB32);
    sheet.fill(QColor(200, 204, 210));
    QPainter p(&sheet);
    int x = 8;
    for (int size : kIconSizes) {
        const QImage icon = renderIcon(size);
        p.drawImage(x, 8, icon);
        p.drawImage(QRect(x, 8 + 128 + 8, 128, 128), icon);
        x += 128 + 8;
    }
    p.end();
    ok = writePng(sheet, dir.filePath("icons.png")) && ok;
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // fonts need a GUI application, even offscreen
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--previews")) {
        std::fprintf(stderr, "usage: artgen <output-folder> [--previews <folder>]\n");
        return 2;
    }
    using namespace artgen;
    const QDir out(args[1]);
    if (!QDir().mkpath(out.filePath("icons"))) {
        std::fprintf(stderr, "artgen: cannot create %s\n", qPrintable(out.filePath("icons")));
        return 1;
    }
    bool ok = writeJpeg(renderFace(), out.filePath("face.jpg"), kFaceQuality, false);
    ok =
        writeJpeg(renderMiniature(), out.filePath("miniature.jpg"), kMiniatureQuality, false) && ok;
    ok = writePng(renderCursorClosed(), out.filePath("cursor_closed.png")) && ok;
    ok = writePng(renderCursorOpen(), out.filePath("cursor_open.png")) && ok;
    // The dialog shows the logo with white left out, so white must survive quantising exactly.
    ok = writeBmp8(quantise(renderLogo(), 255, qRgb(255, 255, 255)), out.filePath("logo.bmp"),
                   255) &&
         ok;
    ok = writePng(renderBand(), out.filePath("band.png")) && ok;
    for (int size : kIconSizes)
        ok = writePng(renderIcon(size), out.filePath(QString("icons/quibra-%1.png").arg(size))) &&
             ok;
    if (args.size() == 4)
        ok = writePreviews(args[3]) && ok;
    return ok ? 0 : 1;
}
