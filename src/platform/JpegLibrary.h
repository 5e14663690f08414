#pragma once

#include <cstdint>

// The JPEG encoder the save command calls: a properties record that the caller owns for one
// save, and three calls on it. Results are IJL_OK or one of the negative error codes below.
namespace ijl {

enum IJLERR : int
{
    IJL_OK = 0,
    IJL_INVALID_POINTER = -2, // no record, no pixels or no file name
    IJL_NOT_INITIALIZED = -3, // ijlWrite or ijlFree on a record ijlInit did not fill
    IJL_BAD_PARAMETER = -4,   // sizes, padding or quality out of range
    IJL_UNSUPPORTED_IOTYPE = -5,
    IJL_MEMORY_ERROR = -6,
    IJL_ENCODE_ERROR = -7,     // the encoder refused the pixels
    IJL_FILE_OPEN_ERROR = -8,  // the file could not be created
    IJL_FILE_WRITE_ERROR = -9, // the file could not be written completely
};

enum IJLIOTYPE : int
{
    IJL_JFILE_WRITEWHOLEIMAGE = 8, // a complete image to the file named by JPGFile
};

struct JPEG_CORE_PROPERTIES
{
    bool initialised = false;
    // The source: DIBChannels bytes per pixel, blue, green, red (and one unused with 4), each row
    // followed by DIBPadBytes bytes. A negative DIBHeight means the rows are stored bottom-up.
    const std::uint8_t *DIBBytes = nullptr;
    std::int32_t DIBWidth = 0;
    std::int32_t DIBHeight = 0;
    std::int32_t DIBPadBytes = 0;
    std::int32_t DIBChannels = 0;
    // The output: a file name, zero-terminated.
    const char *JPGFile = nullptr; // UTF-8
    std::int32_t JPGWidth = 0;
    std::int32_t JPGHeight = 0;
    std::int32_t JPGChannels = 0;
    std::int32_t jquality = 0; // 1 (worst) to 100 (best)
};

class IJpegLibrary
{
public:
    virtual ~IJpegLibrary() = default;
    // Fills the record with the defaults: 3 channels, quality 75.
    virtual int ijlInit(JPEG_CORE_PROPERTIES *jcprops) = 0;
    virtual int ijlWrite(JPEG_CORE_PROPERTIES *jcprops, int iotype) = 0;
    virtual int ijlFree(JPEG_CORE_PROPERTIES *jcprops) = 0;
};

// The library over libjpeg-turbo: standard baseline JPEG files, 4:2:0, accurate DCT.
class TurboJpegLibrary final : public IJpegLibrary
{
public:
    int ijlInit(JPEG_CORE_PROPERTIES *jcprops) override;
    int ijlWrite(JPEG_CORE_PROPERTIES *jcprops, int iotype) override;
    int ijlFree(JPEG_CORE_PROPERTIES *jcprops) override;
};

} // namespace ijl
