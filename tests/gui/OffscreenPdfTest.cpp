// kestrel-cli's way to a PDF: no application and no display to begin with. Without an
// application the writer refuses in words instead of aborting; OffscreenGuiScope then
// makes one on the offscreen platform (unless the user chose a platform) and only once.
#include "pdf/DocumentPdf.h"
#include "pdf/OffscreenGuiScope.h"

#include "gui/support/PdfTools.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace kestrel;

namespace {

int failures = 0;

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "FAIL: %s\n", what);
        ++failures;
    }
}

// A small document of the core's kind: Windows-1251, a title, Cyrillic text.
std::string windows1251Document()
{
    return utf8ToCp1251("<HTML><HEAD><TITLE>ЖУРНАЛ от 01.02.2024 10:00  РП №1/24</TITLE></HEAD>"
                        "<BODY style=\"font-size: 12pt\">Журнал проверки РП: съешь же ещё этих мягких "
                        "французских булок</BODY></HTML>");
}

} // namespace

int main(int argc, char** argv)
{
    // As kestrel-cli starts: nothing chose a platform, there is no application.
    qunsetenv("QT_QPA_PLATFORM");
    QTemporaryDir dir;
    const std::string html = windows1251Document();
    const QString target = dir.filePath(QStringLiteral("journal.pdf"));

    const pdf::PdfResult refused = pdf::writeDocumentPdf(html, target.toStdString());
    check(!refused.ok && !refused.reason.empty(), "without an application the writer refuses in words");
    check(!QFile::exists(target), "a refused write leaves no file");

    {
        pdf::OffscreenGuiScope scope;
        check(scope.ready(), "the scope makes an application");
        check(qgetenv("QT_QPA_PLATFORM") == "offscreen", "the platform is set to offscreen when unset");
        check(QGuiApplication::platformName() == QStringLiteral("offscreen"), "the application runs offscreen");
        QCoreApplication* made = QCoreApplication::instance();
        {
            pdf::OffscreenGuiScope again;
            check(again.ready() && QCoreApplication::instance() == made,
                "a second scope uses the application there is");
        }
        check(QCoreApplication::instance() == made, "the second scope leaves the application alone");

        const pdf::PdfResult written = pdf::writeDocumentPdf(html, target.toStdString());
        check(written.ok, "the document is written offscreen");
        const QString text = gui::test::pdfText(target);
        check(text.contains(QStringLiteral("съешь же ещё этих мягких")), "the Cyrillic text is in the PDF");
        const auto fonts = gui::test::pdfFonts(target);
        check(fonts.count > 0 && fonts.embedded == fonts.count, "the fonts are embedded");
        check(gui::test::pdfInfo(target).value(QStringLiteral("Title"))
                == QStringLiteral("ЖУРНАЛ от 01.02.2024 10:00  РП №1/24"),
            "the title is the document's");

        const pdf::PdfResult noName = pdf::writeDocumentPdf(html, {});
        check(!noName.ok && noName.reason == "не задано имя файла", "an empty name is refused in words");
    }
    check(QCoreApplication::instance() == nullptr, "the scope's application goes with it");

    // A platform the user chose is kept.
    qputenv("QT_QPA_PLATFORM", "minimal");
    {
        pdf::OffscreenGuiScope scope;
        check(scope.ready() && QGuiApplication::platformName() == QStringLiteral("minimal"),
            "the user's platform is kept");
    }
    (void)argc;
    (void)argv;
    if (failures == 0)
        std::puts("PASS: OffscreenPdfTest");
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
