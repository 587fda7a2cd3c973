#pragma once

#include "db/RecordSet.h"
#include "search/NombresLocalidad.h"

#include <array>
#include <memory>

// The search list Qinst: every installation (or those of the filter line) by ID, read-only,
// with the names behind its location codes and the location text Localizacion computed as
// each row is read.
//
// Nmunicipio and Nentidadpoblacion are found by the row's own province and code over the
// whole reference table, so an installation of any province shows its municipality and
// entity; Ntipobis is a lookup into the data module's QtipoBis.
class ListaInstalaciones {
public:
    // The select's three lines: the columns, the filter line, the order.
    static constexpr int LineaFiltro = 1;

    ListaInstalaciones(db::Transaction &transaccion, db::RecordSet &tiposBis);
    ListaInstalaciones(const ListaInstalaciones &) = delete;
    ListaInstalaciones &operator=(const ListaInstalaciones &) = delete;

    db::RecordSet Qinst;

    QString filtro() const { return Qinst.selectSql.at(LineaFiltro); }
    // Closes Qinst, puts the filter line in place (empty for every installation) and opens
    // it again, on its first row.
    void abrir(const QString &filtro);
    // Closes and opens Qinst with its present filter line.
    void reabrir() { abrir(filtro()); }

    // The same list for the listing: the same filter line, closed, unidirectional (read once
    // from the first row to the last, a few rows held at a time, whatever their number), its
    // names found through this list's. This list and its current row are left as they are.
    std::unique_ptr<ListaInstalaciones> paraListado() const;

    // The location text of the current row, as Localizacion holds it.
    static QString localizacion(const QString &provincia, const QString &municipio,
                                const QString &entidad, const QString &calle, const QString &portal,
                                const QString &tipoBis, const QString &bis, const QString &escalera,
                                const QString &piso, const QString &puerta,
                                const QString &codigoPostal);

private:
    ListaInstalaciones(db::Transaction &transaccion, db::RecordSet &tiposBis,
                       std::shared_ptr<NombresLocalidad> nombres);
    void QinstCalcFields(db::RecordSet &);

    db::RecordSet &m_tiposBis;
    std::shared_ptr<NombresLocalidad> m_nombres; // shared with the lists made for the listing
    // Fields read by the calculation, in the order of localizacion()'s parameters
    // (municipality and entity codes where the names go).
    std::array<db::Field *, 11> m_partes{};
    db::Field *m_municipio = nullptr;
    db::Field *m_entidad = nullptr;
    db::Field *m_localizacion = nullptr;
};
