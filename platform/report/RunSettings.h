#pragma once

#include "platform/report/Report.h"

namespace report {

// The choices of one run: the output system's defaults, or what the setup dialog chose.
struct RunSettings {
    Destination destination = Destination::Preview;
    QString printerName; // empty: the system's default printer
    QString printerFile; // printer output to this file (print to file) when not empty
    QString fileName;    // destination File
    int copies = 1;
    bool collate = false;
    Duplex duplex = Duplex::None;
};

} // namespace report
