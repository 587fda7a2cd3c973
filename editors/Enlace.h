#pragma once

#include <QString>

#include <initializer_list>
#include <utility>

class QWidget;

namespace db {
class DataSource;
}

// Every window binds its data-aware controls in one table: control and field, all through
// the window's data link.
using CampoEnlazado = std::pair<QWidget *, const char *>;
void enlazar(db::DataSource &fuente, std::initializer_list<CampoEnlazado> campos);
