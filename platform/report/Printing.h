#pragma once

#include "platform/report/Document.h"
#include "platform/report/RunSettings.h"

#include <functional>

namespace report {

// Prints a complete document through Qt Print Support: the named (or default) printer, or
// Qt's print-to-file when settings.printerFile is set. progress hears each page number.
void printDocument(const Document &document, const RunSettings &settings, const QString &jobName,
                   const std::function<void(int)> &progress = {});

} // namespace report
