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
    // DSinstalacion opened again holding only the installation `id`, or every installation.
    void AbrirSoloInstalacion(int id);
    void AbrirTodasLasInstalaciones();

    // Shutdown's data half: pending edits posted (a failure is shown and the rest skipped),
    // the transaction committed, the connection closed. Also run by the destructor.
    void Cerrar();

    // The connection, its transaction and the record sets, for the windows that bind them.
    db::Database &IBDB() { return m_IBDB; }
    db::Transaction &IBTrans() { return m_IBTrans; }
    db::RecordSet &DSinstalacion() { return m_DSinstalacion; }
    db::RecordSet &DSarmarios() { return m_DSarmarios; }
    db::RecordSet &DSderivaciones() { return m_DSderivaciones; }
    db::RecordSet &DSadjuntos() { return m_DSadjuntos; }
    db::RecordSet &DSinstalador() { return m_DSinstalador; }
    db::RecordSet &DSgestores() { return m_DSgestores; }
    db::RecordSet &Qinstalador() { return m_Qinstalador; }
    db::RecordSet &Qacometida() { return m_Qacometida; }
    db::RecordSet &Qtiposum() { return m_Qtiposum; }
    db::RecordSet &Qcable() { return m_Qcable; }
    db::RecordSet &Qtipocaja() { return m_Qtipocaja; }
    db::RecordSet &QintensidadBase() { return m_QintensidadBase; }
    db::RecordSet &Qintensidadfusible() { return m_Qintensidadfusible; }
    db::RecordSet &Qtipotension() { return m_Qtipotension; }
    db::RecordSet &Qubicacion() { return m_Qubicacion; }
    db::RecordSet &Qnaturaleza() { return m_Qnaturaleza; }
    db::RecordSet &Qsituacionportal() { return m_Qsituacionportal; }
    db::RecordSet &Qcentralizacion() { return m_Qcentralizacion; }
    db::RecordSet &Qlocalizacion() { return m_Qlocalizacion; }
    db::RecordSet &QtipoBis() { return m_QtipoBis; }
    db::RecordSet &Qcgp() { return m_Qcgp; }
    db::RecordSet &Qprovincias() { return m_Qprovincias; }
    db::RecordSet &Qmunicipios() { return m_Qmunicipios; }
    db::RecordSet &Qentidadespoblacion() { return m_Qentidadespoblacion; }
    db::RecordSet &Qtipoarmario() { return m_Qtipoarmario; }
    db::RecordSet &Qdisposicion() { return m_Qdisposicion; }
    db::RecordSet &QdispocionDI() { return m_QdispocionDI; }
    db::RecordSet &Qtipoderivacion() { return m_Qtipoderivacion; }
    db::RecordSet &Qarmcol() { return m_Qarmcol; }
    db::RecordSet &Qver() { return m_Qver; }
    db::StoredProcedure &SPcopiar() { return m_SPcopiar; }
    db::DataSource &Sinstalacion() { return m_Sinstalacion; }
    db::DataSource &Sarmarios() { return m_Sarmarios; }
    db::DataSource &Sderivaciones() { return m_Sderivaciones; }
    db::DataSource &Sadjuntos() { return m_Sadjuntos; }

    // The installer of the record that was current when the last insert began.
    int InstaladorAnterior() const { return m_InstaladorAnterior; }

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
    db::Database m_IBDB;
    db::Transaction m_IBTrans{m_IBDB};
    db::RecordSet m_DSinstalacion{m_IBTrans, QStringLiteral("DSinstalacion")};
    db::RecordSet m_DSarmarios{m_IBTrans, QStringLiteral("DSarmarios")};
    db::RecordSet m_DSderivaciones{m_IBTrans, QStringLiteral("DSderivaciones")};
    db::RecordSet m_DSadjuntos{m_IBTrans, QStringLiteral("DSadjuntos")};
    db::RecordSet m_DSinstalador{m_IBTrans, QStringLiteral("DSinstalador")};
    db::RecordSet m_DSgestores{m_IBTrans, QStringLiteral("DSgestores")};
    db::RecordSet m_Qinstalador{m_IBTrans, QStringLiteral("Qinstalador")};
    db::RecordSet m_Qacometida{m_IBTrans, QStringLiteral("Qacometida")};
    db::RecordSet m_Qtiposum{m_IBTrans, QStringLiteral("Qtiposum")};
    db::RecordSet m_Qcable{m_IBTrans, QStringLiteral("Qcable")};
    db::RecordSet m_Qtipocaja{m_IBTrans, QStringLiteral("Qtipocaja")};
    db::RecordSet m_QintensidadBase{m_IBTrans, QStringLiteral("QintensidadBase")};
    db::RecordSet m_Qintensidadfusible{m_IBTrans, QStringLiteral("Qintensidadfusible")};
    db::RecordSet m_Qtipotension{m_IBTrans, QStringLiteral("Qtipotension")};
    db::RecordSet m_Qubicacion{m_IBTrans, QStringLiteral("Qubicacion")};
    db::RecordSet m_Qnaturaleza{m_IBTrans, QStringLiteral("Qnaturaleza")};
    db::RecordSet m_Qsituacionportal{m_IBTrans, QStringLiteral("Qsituacionportal")};
    db::RecordSet m_Qcentralizacion{m_IBTrans, QStringLiteral("Qcentralizacion")};
    db::RecordSet m_Qlocalizacion{m_IBTrans, QStringLiteral("Qlocalizacion")};
    db::RecordSet m_QtipoBis{m_IBTrans, QStringLiteral("QtipoBis")};
    db::RecordSet m_Qcgp{m_IBTrans, QStringLiteral("Qcgp")};
    db::RecordSet m_Qprovincias{m_IBTrans, QStringLiteral("Qprovincias")};
    db::RecordSet m_Qmunicipios{m_IBTrans, QStringLiteral("Qmunicipios")};
    db::RecordSet m_Qentidadespoblacion{m_IBTrans, QStringLiteral("Qentidadespoblacion")};
    db::RecordSet m_Qtipoarmario{m_IBTrans, QStringLiteral("Qtipoarmario")};
    db::RecordSet m_Qdisposicion{m_IBTrans, QStringLiteral("Qdisposicion")};
    db::RecordSet m_QdispocionDI{m_IBTrans, QStringLiteral("QdispocionDI")};
    db::RecordSet m_Qtipoderivacion{m_IBTrans, QStringLiteral("Qtipoderivacion")};
    db::RecordSet m_Qarmcol{m_IBTrans, QStringLiteral("Qarmcol")};
    db::RecordSet m_Qver{m_IBTrans, QStringLiteral("Qver")};
    db::StoredProcedure m_SPcopiar{m_IBTrans, QStringLiteral("COPIAR_INSTALACION")};
    db::DataSource m_Sinstalacion{&m_DSinstalacion};
    db::DataSource m_Sarmarios{&m_DSarmarios};
    db::DataSource m_Sderivaciones{&m_DSderivaciones};
    db::DataSource m_Sadjuntos{&m_DSadjuntos};

    int m_InstaladorAnterior = 0;

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
