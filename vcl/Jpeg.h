// JPEG through libjpeg: decoding, and writing capture files (baseline, quality 90).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <string>

namespace vcl {

// Any baseline or progressive JPEG → Format_RGB32; a null image when the stream is corrupt.
QImage decodeJpeg(const QByteArray& data);
// The same for a file, the program's resources (":/…") included; null when it cannot be read.
QImage decodeJpegFile(const QString& fileName);

// Writes `image` as a baseline quality-90 JPEG with 3 components. The file is complete or
// absent: the data goes to a temporary file beside `path`, renamed over it once fully
// written. Throws EFCreateError when the temporary file cannot be created and EWriteError
// when writing fails; in both cases no partial file is left and an older file stays intact.
void writeJpegFile(const QImage& image, const std::string& path);

} // namespace vcl
