#pragma once

#include "db/RecordSet.h"

#include <memory>

// Record sets over the program's tables, built as the record-set and control tests use them.

// GESTORES by name: ID and EMAIL required, NOMBRE and TELEFONO; new keys from NGESTOR.
std::unique_ptr<db::RecordSet> gestoresSet(db::Transaction &transaction);
// A slice of INSTALACION by ID: ID, EXPEDIENTE (ten digits) and ENVIADO required, GESTOR with
// the lookup Ngestor into `gestores`, POTENCIA and FECHA with their display formats, three
// text columns; a new row is not sent; new keys from INSTALACION.
std::unique_ptr<db::RecordSet> instalacionesSet(db::Transaction &transaction,
                                                db::RecordSet &gestores);
// TIPO_ARMARIO by description (read only).
std::unique_ptr<db::RecordSet> tiposArmarioSet(db::Transaction &transaction);
// INSTALACION_ARMARIO: ID and INSTALACION required, TIPO, N_COLUMNAS and the lookup Ntipo into
// `tipos`; new keys from INSTALACION_ARMARIO. The select is the caller's.
std::unique_ptr<db::RecordSet> armariosSet(db::Transaction &transaction, db::RecordSet &tipos);
