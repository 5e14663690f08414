#pragma once

#include "platform/Printer.h"

#include <memory>
#include <optional>

// The window's printer follows the system's default until the user chooses one; a job's printer
// holds the settings it started with.
class QtPrinter final : public IPrinter
{
public:
    QtPrinter();
    ~QtPrinter() override;
    QString deviceName() const override;
    QSizeF printableSize() override;
    bool drawPicture(const QImage &picture, const QRectF &target) override;
    std::unique_ptr<ISpoolStream> spoolPdf() override;
    bool endDoc() override;
    bool showSetupDialog() override;
    std::unique_ptr<IPrinter> forJob() override;

private:
    QPrinter &printer();
    PrinterSettings settings();
    struct Job;
    std::unique_ptr<QPrinter> m_printer;
    std::optional<PrinterSettings> m_jobSettings;
    std::unique_ptr<Job> m_job;
    bool m_chosenByUser = false;
};
