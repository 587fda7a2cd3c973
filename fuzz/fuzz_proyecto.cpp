// libFuzzer target: the report-project reader (report::loadProject, platform/report/Project.cpp).
//
// loadProject() reads from a file path only, so each input is written to one file in a private
// temporary folder and read from there; an <image file="..."> names files in that folder,
// which holds one small image, imagen.png. A ReportError is the documented answer to a malformed project; anything else is a
// finding.

#include "platform/report/Model.h"
#include "platform/report/Report.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

QString g_path;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    // Images are read through Qt's image plugins: a (window-less) application finds them.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    static QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    g_path = dir.filePath(QStringLiteral("proyecto.rav"));
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    if (!image.save(dir.filePath(QStringLiteral("imagen.png"))))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    {
        QFile file(g_path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            std::abort(); // the fuzzer's own set-up failed, not the reader
    }
    try {
        const report::Project project = report::loadProject(g_path);
        for (const report::Report &r : project.reports)
            (void)r.name;
    } catch (const report::ReportError &e) {
        (void)e.message();
    }
    return 0;
}
