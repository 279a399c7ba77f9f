#pragma once

#include "gui/app/ScriptedGuiDialogs.h"

#include <QPageLayout>
#include <QPrinter>

namespace kestrel::gui::test {

// Scripted dialogs whose confirmed print dialog sends the job to a PDF file, starting
// from the orientation a user would have left the printer in.
class PdfPrinterDialogs : public ScriptedGuiDialogs {
public:
    QString pdfPath;
    QPageLayout::Orientation orientationBefore = QPageLayout::Portrait;
    QPrinter* lastPrinter = nullptr;

    bool preparePrinter(QWidget* parent, QPrinter& printer) override
    {
        lastPrinter = &printer;
        if (!ScriptedGuiDialogs::preparePrinter(parent, printer))
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        printer.setPageOrientation(orientationBefore);
        return true;
    }
};

} // namespace kestrel::gui::test
