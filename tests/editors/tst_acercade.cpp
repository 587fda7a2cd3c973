// The about box: what it shows, and the version read anew at every opening.

#include "editors/Editores.h"
#include "editors/Uacercade.h"
#include "platform/dialogs/Windows.h"
#include "tests/common/ModalAnswers.h"
#include "tests/editors/PruebasEditores.h"

#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

namespace {

struct Visto {
    QString version, revision, titulo, texto;
    bool logo = false;
    int lineas = 0;    // lines the text area lays out
    bool cabe = false; // every line fits the text area, both are in view
};

void medirTexto(QPlainTextEdit *memo, Visto &v) {
    memo->ensurePolished();
    const QRect vista = memo->viewport()->rect();
    const qreal margen = memo->document()->documentMargin();
    v.cabe = true;
    for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next()) {
        const QTextLayout *l = b.layout();
        v.lineas += l->lineCount();
        for (int i = 0; i < l->lineCount(); ++i)
            v.cabe = v.cabe && l->lineAt(i).naturalTextWidth() + 2 * margen <= vista.width();
        const QRectF caja = memo->document()->documentLayout()->blockBoundingRect(b);
        v.cabe = v.cabe && caja.bottom() <= vista.height();
    }
}

// Reads the box as it is shown and closes it with "&Cerrar".
ModalAnswers::Answer leerYCerrar(Visto &v) {
    return [&v](QWidget *w) {
        v.version = w->findChild<QLineEdit *>("DBEdit1")->text();
        v.revision = w->findChild<QLineEdit *>("DBEdit2")->text();
        v.titulo = w->findChild<QLabel *>("Label1")->text();
        v.texto = w->findChild<QPlainTextEdit *>("Memo1")->toPlainText();
        medirTexto(w->findChild<QPlainTextEdit *>("Memo1"), v);
        v.logo = !w->findChild<QLabel *>("Image1")->pixmap().isNull();
        auto *cerrar = w->findChild<QPushButton *>("BitBtn1");
        QCOMPARE(cerrar->text(), QStringLiteral("&Cerrar"));
        QVERIFY(!(cerrar->focusPolicy() & Qt::TabFocus));
        QTest::mouseClick(cerrar, Qt::LeftButton);
    };
}

} // namespace

class TstAcercade : public QObject {
    Q_OBJECT
private slots:
    void showsNameTextAndVersion();
    void readsParametrosAnewEachOpening();
    void withoutParametrosRowFieldsStayEmpty();
};

void TstAcercade::showsNameTextAndVersion() {
    Entorno e;
    Visto v;
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(leerYCerrar(v));
    mostrarAcercaDe(e.d(), e.principal.get());
    QCOMPARE(respuestas.seen, QStringList{"TFacercade|Acerca de Trelmavondis I.E.E."});
    QCOMPARE(v.titulo, QStringLiteral("Instalaciones Eléctricas de Enlace"));
    QCOMPARE(
        v.texto,
        QStringLiteral("Aplicación para la cumplimentación y el envío electrónico de formularios "
                       "necesarios para el registro \nde Instalaciones Eléctricas de Enlace a "
                       "ROSTELVIA DISTRIBUCIÓN ELÉCTRICA, S.A.U."));
    QCOMPARE(v.lineas, 2);
    QVERIFY(v.cabe);
    QVERIFY(v.logo);
    QCOMPARE(v.version, e.visto("select VERSION from PARAMETROS where ID=1").toString());
    QCOMPARE(v.revision, e.visto("select REVISION from PARAMETROS where ID=1").toString());
    // Freed as it closed.
    QVERIFY(!findWindow<TFacercade>(QStringLiteral("Facercade")));
    QVERIFY(!e.d().Qver().active());
}

void TstAcercade::readsParametrosAnewEachOpening() {
    Entorno e;
    Visto primero, segundo;
    {
        ModalAnswers &respuestas = e.respuestas;
        respuestas.push(leerYCerrar(primero));
        mostrarAcercaDe(e.d(), e.principal.get());
    }
    e.ejecutar(QStringLiteral("update PARAMETROS set VERSION=7, REVISION=31 where ID=1"));
    {
        ModalAnswers &respuestas = e.respuestas;
        respuestas.push(leerYCerrar(segundo));
        mostrarAcercaDe(e.d(), e.principal.get());
    }
    QCOMPARE(primero.version, QStringLiteral("1"));
    QCOMPARE(primero.revision, QStringLiteral("0"));
    QCOMPARE(segundo.version, QStringLiteral("7"));
    QCOMPARE(segundo.revision, QStringLiteral("31"));
}

void TstAcercade::withoutParametrosRowFieldsStayEmpty() {
    Entorno e(false, {QStringLiteral("delete from PARAMETROS")});
    Visto v;
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push(leerYCerrar(v));
    mostrarAcercaDe(e.d(), e.principal.get());
    QCOMPARE(respuestas.seen.size(), 1);
    QCOMPARE(v.version, QString());
    QCOMPARE(v.revision, QString());
}

int runAcercadeTests(int argc, char **argv) {
    TstAcercade t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_acercade.moc"
