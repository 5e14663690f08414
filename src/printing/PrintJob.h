#pragma once

#include <functional>

class IPrinter;
class PictureSurface;
class QImage;
class QWidget;
struct CropState;

// Prints the current shot, or its crop, as one landscape page: the printed area at the chosen
// zoom, centred on a white page image of the shot's size, and that page image at screen scale
// from the corner of the printable area.
class PrintJob
{
public:
    struct Context
    {
        QWidget &mainWindow; // for the hourglass
        CropState &state;    // the crop fractions and nothing else
        PictureSurface &Picture1;
        PictureSurface &Picture2;
        float &PrintZoom;
        IPrinter &printer;
        std::function<void()> ComputeCropFractions;
        std::function<QImage()> currentShot;
        std::function<void()> GetZoom;
        std::function<void()> ConfirmPrint;
        // Told when the page did not reach the printer, once the job has put everything back.
        std::function<void()> reportPrintFailure;
        // Told, instead of printing a blank page, when the marked area has no width or height.
        std::function<void()> reportEmptyArea;
    };

    explicit PrintJob(Context context)
        : m_context(std::move(context))
    {}

    void PrintCurrentShot(bool SkipPreview);

private:
    Context m_context;
};
