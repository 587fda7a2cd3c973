#pragma once

#include "data/UDatos.h"

#include <memory>

// A stand-in for the search dialog's Qinst until search/ lands: the same
// select, the three lookups on the data module's lists and the calculated Localizacion.
std::unique_ptr<db::RecordSet> makeQinst(TDatos &datos, const QString &filter = QString());
