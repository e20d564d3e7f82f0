#include "vcl/Jpeg.h"

#include <QFile>

#include "rtl/Cp1251.h"
#include "rtl/FileUtils.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

// libjpeg reports a fatal error by calling error_exit, which must not return. We leave the
// library with longjmp back to a setjmp in a small function (compressRows, decompressHeader,
// decompressRows) that owns no C++ object: every frame between that setjmp and the error is
// either libjpeg's (C) or one of our callbacks below, none of which holds an object with a
// destructor, so the jump skips no destructor (the condition under which longjmp is defined in
// C++). Everything those functions change after setjmp lives in a job object owned by the
// caller, never in their own automatic variables, so nothing is read back indeterminate.
// Throwing through libjpeg's C frames instead would be undefined, and the library would be
// left without its clean-up.

namespace vcl {
namespace {

enum JobResult { Done = 0, LibraryError = 1, WriteFailed = 2 };

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool truncated; // a "premature end of file" warning was seen while decoding
};

void onError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, LibraryError);
}

// Warnings (level -1) and trace messages go nowhere: the library would print them to stderr.
void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<ErrorManager*>(cinfo->err)->truncated = true;
}

void installErrorManager(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.truncated = false;
}

// ---- Encoding ----------------------------------------------------------------------------

// A destination writing straight to a file descriptor. Every write is checked; the first
// failure ends the compression through the error manager's jump with WriteFailed.
constexpr std::size_t kOutBufferSize = 256 * 1024;

struct EncodeJob {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    jpeg_destination_mgr dest;
    int fd;
    int writeErrno; // errno of the failed write, 0 while all went well
    JOCTET buffer[kOutBufferSize];
};

EncodeJob* jobOf(j_compress_ptr cinfo) {
    return reinterpret_cast<EncodeJob*>(reinterpret_cast<char*>(cinfo) -
                                        offsetof(EncodeJob, cinfo));
}

int writeAll(int fd, const JOCTET* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

void failWrite(EncodeJob* job, int error) {
    job->writeErrno = error ? error : EIO;
    std::longjmp(job->err.jump, WriteFailed);
}

void initDestination(j_compress_ptr cinfo) {
    EncodeJob* job = jobOf(cinfo);
    job->dest.next_output_byte = job->buffer;
    job->dest.free_in_buffer = kOutBufferSize;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo) {
    // libjpeg calls this with the whole buffer full, whatever free_in_buffer says.
    EncodeJob* job = jobOf(cinfo);
    if (const int error = writeAll(job->fd, job->buffer, kOutBufferSize))
        failWrite(job, error);
    job->dest.next_output_byte = job->buffer;
    job->dest.free_in_buffer = kOutBufferSize;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    EncodeJob* job = jobOf(cinfo);
    const std::size_t used = kOutBufferSize - job->dest.free_in_buffer;
    if (const int error = writeAll(job->fd, job->buffer, used))
        failWrite(job, error);
}

// Compresses `height` rows of BGRX pixels into job->fd. No C++ objects in this frame: see the
// note at the top of the file.
JobResult compressRows(EncodeJob* job, JSAMPARRAY rows, int width, int height) {
    job->cinfo.err = &job->err.pub;
    installErrorManager(job->err);
    if (const int code = setjmp(job->err.jump)) {
        jpeg_destroy_compress(&job->cinfo);
        return static_cast<JobResult>(code);
    }
    jpeg_create_compress(&job->cinfo);
    job->dest.init_destination = initDestination;
    job->dest.empty_output_buffer = emptyOutputBuffer;
    job->dest.term_destination = termDestination;
    job->cinfo.dest = &job->dest;

    job->cinfo.image_width = static_cast<JDIMENSION>(width);
    job->cinfo.image_height = static_cast<JDIMENSION>(height);
    // libjpeg-turbo reads Format_RGB32 rows (B, G, R, X in memory) as they are: no conversion
    // pass of our own.
    job->cinfo.input_components = 4;
    job->cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&job->cinfo); // YCbCr, 3 components, 4:2:0, sequential
    jpeg_set_quality(&job->cinfo, 90, TRUE);
    jpeg_start_compress(&job->cinfo, TRUE);
    while (job->cinfo.next_scanline < job->cinfo.image_height) {
        const JDIMENSION left = job->cinfo.image_height - job->cinfo.next_scanline;
        jpeg_write_scanlines(&job->cinfo, rows + job->cinfo.next_scanline, left < 64 ? left : 64);
    }
    jpeg_finish_compress(&job->cinfo);
    jpeg_destroy_compress(&job->cinfo);
    return Done;
}

// A hidden name beside the final file, unique among concurrent writers.
std::string temporaryName(const std::string& path, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    const std::string::size_type slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.%x.tmp", static_cast<long>(::getpid()),
                  counter.fetch_add(1) + attempt, static_cast<unsigned>(ticks));
    return dir + "." + base + suffix;
}

int createTemporary(const std::string& path, std::string& tempName) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        tempName = temporaryName(path, attempt);
        // Mode 0666 less the umask, as for any file the user creates.
        const int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || (errno != EEXIST && errno != EINTR))
            return fd;
    }
    return -1;
}

// ---- Decoding ----------------------------------------------------------------------------

struct DecodeJob {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    bool cmyk;     // output is CMYK, converted to RGB by us afterwards
    bool inverted; // Adobe CMYK: stored inverted
};

JobResult decompressHeader(DecodeJob* job, const unsigned char* data, unsigned long size) {
    job->cinfo.err = &job->err.pub;
    installErrorManager(job->err);
    if (const int code = setjmp(job->err.jump)) {
        jpeg_destroy_decompress(&job->cinfo);
        return static_cast<JobResult>(code);
    }
    jpeg_create_decompress(&job->cinfo);
    jpeg_mem_src(&job->cinfo, data, size);
    jpeg_read_header(&job->cinfo, TRUE);
    job->cmyk = job->cinfo.jpeg_color_space == JCS_CMYK || job->cinfo.jpeg_color_space == JCS_YCCK;
    job->inverted = job->cmyk && job->cinfo.saw_Adobe_marker;
    job->cinfo.out_color_space = job->cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&job->cinfo);
    return Done;
}

// Reads every row into `bits`; destroys the decompressor in every case.
JobResult decompressRows(DecodeJob* job, unsigned char* bits, std::size_t bytesPerLine) {
    if (const int code = setjmp(job->err.jump)) {
        jpeg_destroy_decompress(&job->cinfo);
        return static_cast<JobResult>(code);
    }
    while (job->cinfo.output_scanline < job->cinfo.output_height) {
        JSAMPROW row = bits + bytesPerLine * job->cinfo.output_scanline;
        jpeg_read_scanlines(&job->cinfo, &row, 1);
    }
    jpeg_finish_decompress(&job->cinfo);
    jpeg_destroy_decompress(&job->cinfo);
    return Done;
}

} // namespace

QImage decodeJpeg(const QByteArray& data) {
    if (data.isEmpty())
        return QImage();
    auto job = std::make_unique<DecodeJob>();
    std::memset(job.get(), 0, sizeof(DecodeJob));
    if (decompressHeader(job.get(), reinterpret_cast<const unsigned char*>(data.constData()),
                         static_cast<unsigned long>(data.size())) != Done)
        return QImage();

    QImage image(static_cast<int>(job->cinfo.output_width),
                 static_cast<int>(job->cinfo.output_height), QImage::Format_RGB32);
    if (image.isNull()) { // too large to allocate
        jpeg_destroy_decompress(&job->cinfo);
        return QImage();
    }
    // CMYK rows hold 4 bytes per pixel too, converted in place below.
    if (decompressRows(job.get(), image.bits(), static_cast<std::size_t>(image.bytesPerLine())) !=
            Done ||
        job->err.truncated)
        return QImage();

    if (job->cmyk) {
        for (int y = 0; y < image.height(); ++y) {
            uchar* p = image.scanLine(y);
            for (int x = 0; x < image.width(); ++x, p += 4) {
                int c = p[0], m = p[1], yl = p[2], k = p[3];
                if (!job->inverted) {
                    c = 255 - c, m = 255 - m, yl = 255 - yl, k = 255 - k;
                }
                // Inverted CMYK: each channel times K gives the RGB component.
                const QRgb rgb = qRgb(c * k / 255, m * k / 255, yl * k / 255);
                *reinterpret_cast<QRgb*>(p) = rgb;
            }
        }
    }
    // For BGRX output libjpeg sets the X byte to 0xFF, as Format_RGB32 wants.
    return image;
}

void writeJpegFile(const QImage& image, const std::string& path) {
    const QImage rgb32 = image.format() == QImage::Format_RGB32
                             ? image
                             : image.convertToFormat(QImage::Format_RGB32);
    // Message texts are Windows-1251; file names are the system's UTF-8.
    const AnsiString shownName = Utf8ToCp1251(path);

    std::vector<JSAMPROW> rows(static_cast<std::size_t>(rgb32.height() > 0 ? rgb32.height() : 0));
    for (int y = 0; y < rgb32.height(); ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<JSAMPROW>(rgb32.constScanLine(y));

    std::string tempName;
    const int fd = createTemporary(path, tempName);
    if (fd < 0)
        throw EFCreateError(shownName);

    std::unique_ptr<EncodeJob> job(new EncodeJob); // the buffer needs no zeroing
    std::memset(job.get(), 0, offsetof(EncodeJob, buffer));
    job->fd = fd;
    const JobResult result =
        rgb32.isNull() ? LibraryError
                       : compressRows(job.get(), rows.data(), rgb32.width(), rgb32.height());
    // No fsync: readers see either the old file or the complete new one through the rename,
    // which is what the captures promise; surviving a power cut is not worth ~10 ms a capture.
    const bool closed = ::close(fd) == 0;
    if (result != Done || !closed) {
        ::unlink(tempName.c_str());
        throw EWriteError(shownName);
    }
    if (::rename(tempName.c_str(), path.c_str()) != 0) {
        // The final name cannot be made (for instance a folder of that name is in the way).
        ::unlink(tempName.c_str());
        throw EFCreateError(shownName);
    }
}

QImage decodeJpegFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    return decodeJpeg(file.readAll());
}

} // namespace vcl
