#include "JpegCheck.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <turbojpeg.h>

namespace {

struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void errorExit(j_common_ptr c)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(c->err)->jump, 1);
}

} // namespace

namespace JpegCheck {

Decoded decode(const QString &file)
{
    Decoded result;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return result;
    const QByteArray bytes = in.readAll();

    // The quantisation tables, through libjpeg's header reader.
    jpeg_decompress_struct cinfo{};
    ErrorManager jerr{};
    cinfo.err = jpeg_std_error(&jerr.pub);
    jerr.pub.error_exit = errorExit;
    if (setjmp(jerr.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return result;
    }
    {
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(bytes.constData()),
                     static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&cinfo, TRUE);
        for (int t = 0; t < NUM_QUANT_TBLS; ++t) {
            if (!cinfo.quant_tbl_ptrs[t])
                continue;
            QList<int> table;
            for (int i = 0; i < DCTSIZE2; ++i)
                table.append(cinfo.quant_tbl_ptrs[t]->quantval[i]);
            result.quantTables.append(table);
        }
    }
    jpeg_destroy_decompress(&cinfo);

    // The pixels, through the TurboJPEG decompressor.
    tjhandle decoder = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    if (tjDecompressHeader3(decoder, data, static_cast<unsigned long>(bytes.size()), &width,
                            &height, &subsampling, &colourspace) == 0) {
        QImage image(width, height, QImage::Format_RGB32);
        if (tjDecompress2(decoder, data, static_cast<unsigned long>(bytes.size()), image.bits(),
                          width, int(image.bytesPerLine()), height, TJPF_BGRX, 0) == 0)
            result.image = image;
    }
    tjDestroy(decoder);
    return result;
}

QList<QList<int>> referenceTables(int quality)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    cinfo.in_color_space = JCS_RGB;
    cinfo.input_components = 3;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    QList<QList<int>> tables;
    for (int t = 0; t < 2; ++t) {
        QList<int> table;
        for (int i = 0; i < DCTSIZE2; ++i)
            table.append(cinfo.quant_tbl_ptrs[t]->quantval[i]);
        tables.append(table);
    }
    jpeg_destroy_compress(&cinfo);
    return tables;
}

} // namespace JpegCheck
