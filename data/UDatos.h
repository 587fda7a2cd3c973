#pragma once

#include "data/DatosView.h"
#include "data/InformeView.h"
#include "db/RecordSet.h"
#include "db/StoredProcedure.h"

#include <array>
#include <functional>

// The data module: the connection, its one transaction, every record set and list of the
// program, and the rules on their data.
class TDatos {
public:
    explicit TDatos(DatosView *view = nullptr);
    ~TDatos();
    TDatos(const TDatos &) = delete;
    TDatos &operator=(const TDatos &) = delete;

    void setView(DatosView *view) { m_view = view; }

    // Start-up's data half: connects (asking login for the user name and password), starts
    // IBTrans, opens DSinstalacion and moves to its newest installation.
    using Login = std::function<bool(QString &usuario, QString &clave)>;
    void Conectar(const QString &baseDeDatos, const QString &usuario, const Login &login);
    // The two-line text shown when connecting fails.
    static QString MensajeFalloConexion(const QString &baseDeDatos);

    // Posts every pending edit (PostearPendientes), then commits retaining.
    void GuardarPendientes();
    // Posts pending cabinet, branch, attachment and installation edits, in that order; the
    // first failure stops it and passes on.
    void PostearPendientes();
    // With edits pending on a connection to a server that went away: one more attempt to
    // attach; while the server still does not answer, the reason (naming the server), else
    // empty.
    QString PendientesSinConexion();
    // Drops the pending cabinet, branch, attachment and installation edits (closing when they
    // cannot be saved).
    void DescartarPendientes();
    // Copies the current installation into a new one through the stored procedure, reopens
    // the list and makes the copy current; answers the copy's ID. Raises on failure.
    int CopiarInstalacion();
    // Ticks or clears the sent state of the current installation: the only edit allowed
    // past the sent lock. Posts (and so commits).
    void MarcarEnviado(bool enviado);
    // Attaches a file by its full path to the current installation; a path longer than
    // the column is refused with a message and nothing is stored.
    void Adjuntar(const QString &ruta);
    // Deletes every attachment of the current installation, without asking.
    void BorrarAdjuntos();

    // Shutdown's data half: pending edits posted (a failure is shown and the rest skipped),
    // the transaction committed, the connection closed. Also run by the destructor.
    void Cerrar();

    db::Database IBDB;
    db::Transaction IBTrans{IBDB};

    db::RecordSet DSinstalacion{IBTrans, QStringLiteral("DSinstalacion")};
    db::RecordSet DSarmarios{IBTrans, QStringLiteral("DSarmarios")};
    db::RecordSet DSderivaciones{IBTrans, QStringLiteral("DSderivaciones")};
    db::RecordSet DSadjuntos{IBTrans, QStringLiteral("DSadjuntos")};
    db::RecordSet DSinstalador{IBTrans, QStringLiteral("DSinstalador")};
    db::RecordSet DSgestores{IBTrans, QStringLiteral("DSgestores")};
    db::RecordSet Qinstalador{IBTrans, QStringLiteral("Qinstalador")};

    db::RecordSet Qacometida{IBTrans, QStringLiteral("Qacometida")};
    db::RecordSet Qtiposum{IBTrans, QStringLiteral("Qtiposum")};
    db::RecordSet Qcable{IBTrans, QStringLiteral("Qcable")};
    db::RecordSet Qtipocaja{IBTrans, QStringLiteral("Qtipocaja")};
    db::RecordSet QintensidadBase{IBTrans, QStringLiteral("QintensidadBase")};
    db::RecordSet Qintensidadfusible{IBTrans, QStringLiteral("Qintensidadfusible")};
    db::RecordSet Qtipotension{IBTrans, QStringLiteral("Qtipotension")};
    db::RecordSet Qubicacion{IBTrans, QStringLiteral("Qubicacion")};
    db::RecordSet Qnaturaleza{IBTrans, QStringLiteral("Qnaturaleza")};
    db::RecordSet Qsituacionportal{IBTrans, QStringLiteral("Qsituacionportal")};
    db::RecordSet Qcentralizacion{IBTrans, QStringLiteral("Qcentralizacion")};
    db::RecordSet Qlocalizacion{IBTrans, QStringLiteral("Qlocalizacion")};
    db::RecordSet QtipoBis{IBTrans, QStringLiteral("QtipoBis")};
    db::RecordSet Qcgp{IBTrans, QStringLiteral("Qcgp")};
    db::RecordSet Qprovincias{IBTrans, QStringLiteral("Qprovincias")};
    db::RecordSet Qmunicipios{IBTrans, QStringLiteral("Qmunicipios")};
    db::RecordSet Qentidadespoblacion{IBTrans, QStringLiteral("Qentidadespoblacion")};
    db::RecordSet Qtipoarmario{IBTrans, QStringLiteral("Qtipoarmario")};
    db::RecordSet Qdisposicion{IBTrans, QStringLiteral("Qdisposicion")};
    db::RecordSet QdispocionDI{IBTrans, QStringLiteral("QdispocionDI")};
    db::RecordSet Qtipoderivacion{IBTrans, QStringLiteral("Qtipoderivacion")};
    db::RecordSet Qarmcol{IBTrans, QStringLiteral("Qarmcol")};
    db::RecordSet Qver{IBTrans, QStringLiteral("Qver")};
    db::StoredProcedure SPcopiar{IBTrans, QStringLiteral("COPIAR_INSTALACION")};

    db::DataSource Sinstalacion{&DSinstalacion};
    db::DataSource Sarmarios{&DSarmarios};
    db::DataSource Sderivaciones{&DSderivaciones};
    db::DataSource Sadjuntos{&DSadjuntos};

    // The installer of the record that was current when the last insert began.
    int InstaladorAnterior = 0;

    // Handlers, bound in the constructor.
    void DSinstalacionAfterOpen(db::RecordSet &);
    void InstaladorAnteriorBeforeInsert(db::RecordSet &);
    void DSinstalacionNewRecord(db::RecordSet &);
    void DSinstalacionAfterInsert(db::RecordSet &);
    void DSinstalacionBeforeEdit(db::RecordSet &);
    void DSinstalacionBeforePost(db::RecordSet &);
    void DSinstalacionPostError(db::RecordSet &, const db::DatabaseError &);
    void DSinstalacionAfterPost(db::RecordSet &);
    void DSinstalacionAfterScroll(db::RecordSet &);
    void DSinstalacionEXPEDIENTEValidate(db::Field &, const QVariant &);
    void DSinstalacionLOCALIZA_CODIGO_PROVINCIAChange(db::Field &);
    void DSinstalacionLOCALIZA_CODIGO_MUNICIPIOChange(db::Field &);
    void QprovinciasAfterOpen(db::RecordSet &);
    void DSarmariosBeforeInsert(db::RecordSet &);
    void DSarmariosNewRecord(db::RecordSet &);
    void DSderivacionesNewRecord(db::RecordSet &);
    void DSadjuntosNewRecord(db::RecordSet &);
    void DSarmariosAfterInsert(db::RecordSet &);
    void DSderivacionesAfterInsert(db::RecordSet &);
    void DSadjuntosBeforeEdit(db::RecordSet &);
    void DSarmariosN_CIRCUITOChange(db::Field &);
    void DSarmariosBeforePost(db::RecordSet &);
    void DSarmariosN_COLUMNASetText(db::Field &, const QString &);
    void DSinstaladorBeforePost(db::RecordSet &);

    // The expedient check digit.
    static bool ExpedienteValido(const QString &expediente);

    // The bulletin run's engine and windows, set by whoever starts a run (documents/).
    void setInforme(InformeView *informe) { m_informe = informe; }
    InformeView *informe() const { return m_informe; }
    // The bulletin of the current installation: "email" sends it (confirmation, FECHA set
    // and committed, PDF, mail window), any other mode prints it through the engine's setup
    // dialog. While it runs DSinstalacion holds that installation alone; afterwards the whole
    // list is open again on the same installation. A project that cannot be loaded or a
    // missing report raise before anything is narrowed; later failures go to the error dialog.
    void EjecutarInforme(const QString &modo);
    // The error of a send refused before the confirmation.
    static QString ExpedienteNoValidoParaEnvio();

private:
    // The sets whose edits are saved, posted or dropped together: cabinets, branches,
    // attachments, then the installation.
    std::array<db::RecordSet *, 4> conEdiciones();
    void definirInstalacion();
    void definirHijos();
    void definirInstaladoresYGestores();
    void definirListas();
    void reabrirListasDeLocalizacion(const QString &provincia, const QString &municipio);
    bool enviadoMarcado() const { return m_view && m_view->enviadoMarcado(); }
    void enviarBoletin(InformeView &informe);
    void reabrirInstalaciones(int id);

    DatosView *m_view;
    InformeView *m_informe = nullptr;
    // While true the sent lock is not applied; set and always cleared by MarcarEnviado.
    bool PermitirEdicionEnviada = false;
};
