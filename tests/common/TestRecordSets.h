#pragma once

#include "db/RecordSet.h"

#include <memory>

// Record sets over the program's tables, built as the record-set and control tests use them.

// GESTORES by name: ID and EMAIL required, NOMBRE and TELEFONO; new keys from NGESTOR.
std::unique_ptr<db::RecordSet> gestoresSet(db::Transaction &transaction);
// TIPO_ARMARIO by description (read only).
std::unique_ptr<db::RecordSet> tiposArmarioSet(db::Transaction &transaction);
// INSTALACION_ARMARIO: ID and INSTALACION required, TIPO, N_COLUMNAS and the lookup Ntipo into
// `tipos`; new keys from INSTALACION_ARMARIO. The select is the caller's.
std::unique_ptr<db::RecordSet> armariosSet(db::Transaction &transaction, db::RecordSet &tipos);
