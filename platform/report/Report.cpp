#include "platform/report/Report.h"

#include "db/Errors.h"
#include "db/RecordSet.h"
#include "platform/report/Layout.h"
#include "platform/report/PdfWriter.h"
#include "platform/report/PreviewWindow.h"
#include "platform/report/Printing.h"
#include "platform/report/SetupDialog.h"
#include "platform/report/StatusWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace report {

ReportError::ReportError(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

QString projectPath(const QString &folder, const QString &fileName) {
    return QDir(folder).filePath(fileName);
}

Titles Titles::bulletin() {
    return Titles();
}

Titles Titles::listing() {
    Titles t;
    t.setup = QStringLiteral("Opciones");
    t.status = QStringLiteral("Estado del informe");
    t.preview = QStringLiteral("Visualizar");
    t.printJob = QStringLiteral("Informe");
    return t;
}

OutputSystem::OutputSystem() = default;
OutputSystem::~OutputSystem() = default;

ReportProject::ReportProject() = default;
ReportProject::~ReportProject() = default;

void ReportProject::close() {
    m_project.reset();
    m_selected = -1;
}

void ReportProject::setProjectFile(const QString &path) {
    m_file = path;
}

void ReportProject::open() {
    if (m_project)
        return;
    const QFileInfo info(m_file);
    if (m_file.isEmpty() || !info.isFile())
        throw ReportError(
            QStringLiteral("The following reporting project does not exist:") + u'\r' + u'"' +
            QDir::toNativeSeparators(m_file.isEmpty() ? m_file : info.absoluteFilePath()) + u'"');
    m_project = std::make_unique<Project>(loadProject(m_file));
    m_selected = -1;
}

bool ReportProject::selectReport(const QString &name) {
    m_selected = -1;
    if (!m_project)
        return false;
    for (size_t i = 0; i < m_project->reports.size(); ++i) {
        const Report &r = m_project->reports[i];
        if (r.name.compare(name, Qt::CaseInsensitive) == 0 ||
            (!r.component.isEmpty() && r.component.compare(name, Qt::CaseInsensitive) == 0)) {
            m_selected = int(i);
            return true;
        }
    }
    return false;
}

QString ReportProject::selectedReport() const {
    return m_selected >= 0 ? m_project->reports[size_t(m_selected)].name : QString();
}

QStringList ReportProject::reportNames() const {
    QStringList out;
    if (m_project)
        for (const Report &r : m_project->reports)
            out << r.name;
    return out;
}

void ReportProject::addConnection(const QString &name, db::RecordSet &recordSet) {
    removeConnection(name);
    m_connections.push_back({name, &recordSet});
}

void ReportProject::removeConnection(const QString &name) {
    std::erase_if(m_connections, [&](const Connection &c) {
        return c.name.compare(name, Qt::CaseInsensitive) == 0;
    });
}

std::vector<std::pair<QString, db::RecordSet *>> ReportProject::connections() const {
    std::vector<std::pair<QString, db::RecordSet *>> out;
    for (const Connection &c : m_connections)
        out.emplace_back(c.name, c.set);
    return out;
}

void ReportProject::setParameter(const QString &name, const QString &value) {
    for (auto &p : m_parameters)
        if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    m_parameters.emplace_back(name, value);
}

QString ReportProject::parameter(const QString &name) const {
    for (const auto &p : m_parameters)
        if (p.first.compare(name, Qt::CaseInsensitive) == 0)
            return p.second;
    return QString();
}

QStringList ReportProject::parameterNames() const {
    QStringList out;
    for (const auto &p : m_parameters)
        out << p.first;
    return out;
}

const Report &ReportProject::selected() const {
    if (!m_project)
        throw ReportError(QStringLiteral("El proyecto de informes no está abierto"));
    if (m_selected < 0)
        throw ReportError(QStringLiteral("No hay ningún informe seleccionado"));
    return m_project->reports[size_t(m_selected)];
}

namespace {

void usedConnections(const Section &s, QSet<QString> &out) {
    if (!s.connection.isEmpty())
        out.insert(s.connection.toLower());
    for (const Band *b : {&s.band, &s.header, &s.footer, &s.empty})
        for (const Item &i : b->items)
            if (!i.connection.isEmpty())
                out.insert(i.connection.toLower());
    for (const Section &c : s.children)
        usedConnections(c, out);
}

// The registered record sets that the report reads, in the order they were registered.
std::vector<NamedSet> setsOf(const Report &r, const std::vector<NamedSet> &registered) {
    QSet<QString> used;
    usedConnections(r.body, used);
    for (const Band *b : {&r.pageHeader, &r.pageFooter})
        for (const Item &i : b->items)
            if (!i.connection.isEmpty())
                used.insert(i.connection.toLower());
    std::vector<NamedSet> out;
    for (const NamedSet &n : registered)
        if (used.contains(n.name.toLower()))
            out.push_back(n);
    return out;
}

QWidget *dialogParent() {
    return qobject_cast<QApplication *>(QCoreApplication::instance()) ? QApplication::activeWindow()
                                                                      : nullptr;
}

} // namespace

std::unique_ptr<Document> ReportProject::layOut() {
    const Report &r = selected();
    std::vector<NamedSet> registered;
    for (const Connection &c : m_connections)
        registered.push_back({c.name, c.set});
    std::vector<Parameter> parameters;
    for (const auto &[name, value] : m_parameters)
        parameters.push_back({name, value});
    try {
        DataScope scope(setsOf(r, registered));
        Layouter layouter(r, scope.sets(), parameters);
        layouter.runToEnd();
        scope.restore();
        return layouter.takeDocument();
    } catch (const db::DatabaseError &e) {
        throw ReportError(QStringLiteral("No se ha podido generar el informe: ") + e.message());
    }
}

bool ReportProject::execute() {
    const Report &r = selected();
    OutputSystem &out = m_output ? *m_output : m_ownOutput;
    out.m_lastPageCount = 0;
    RunSettings s;
    s.destination = out.m_destination;
    s.printerName = out.m_printerName;
    s.printerFile = out.m_printerFile;
    s.fileName = out.m_outputFileName;
    s.copies = out.m_copies;
    s.collate = out.m_collate;
    s.duplex = out.m_duplex;
    const bool gui = qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
    if (out.m_setupAllowed) {
        if (!gui)
            throw ReportError(
                QStringLiteral("El diálogo de opciones del informe necesita ventanas"));
        SetupDialog dialog(out.m_titles.setup, s, out.fileRenderer().displayName(), true,
                           dialogParent());
        if (dialog.exec() != QDialog::Accepted)
            return false;
        s = dialog.settings();
        // The choices made in the dialog stay with the output system.
        out.m_printerName = s.printerName;
        out.m_copies = s.copies;
        out.m_collate = s.collate;
        out.m_duplex = s.duplex;
        if (s.destination == Destination::File)
            out.m_outputFileName = s.fileName;
    }
    if (s.destination == Destination::Preview && !gui)
        throw ReportError(QStringLiteral("La vista previa del informe necesita ventanas"));
    if (s.destination == Destination::File && s.fileName.isEmpty())
        throw ReportError(QStringLiteral("No se ha indicado el archivo de salida del informe"));
    out.m_lastDestination = s.destination;

    std::vector<NamedSet> registered;
    for (const Connection &c : m_connections)
        registered.push_back({c.name, c.set});
    std::vector<Parameter> parameters;
    for (const auto &[name, value] : m_parameters)
        parameters.push_back({name, value});
    const Titles &titles = out.m_titles;
    try {
        DataScope scope(setsOf(r, registered));
        Layouter layouter(r, scope.sets(), parameters);
        std::unique_ptr<StatusWindow> status;
        if (gui && out.m_statusShown) {
            status = std::make_unique<StatusWindow>(titles.status, dialogParent());
            layouter.onPage = [&](int page) {
                if (status)
                    status->showPage(titles.generating, page);
            };
        }
        auto printing = [&](int page) {
            if (status)
                status->showPage(titles.printing, page);
        };
        PdfRenderer &renderer = out.fileRenderer();
        switch (s.destination) {
        case Destination::Preview: {
            layouter.runUntil(1);
            status.reset();
            auto print = [&](const Document &doc) {
                SetupDialog dialog(titles.setup, s, renderer.displayName(), false, dialogParent());
                if (dialog.exec() != QDialog::Accepted)
                    return;
                const RunSettings chosen = dialog.settings();
                if (chosen.destination == Destination::File)
                    renderer.write(doc, chosen.fileName);
                else
                    printDocument(doc, chosen, titles.printJob);
            };
            auto save = [&](const Document &doc, const QString &path) {
                renderer.write(doc, path);
            };
            PreviewWindow preview(titles.preview, layouter, print, save, dialogParent());
            preview.setProposedFileName(s.fileName);
            preview.exec();
            if (preview.error())
                std::rethrow_exception(preview.error());
            break;
        }
        case Destination::Printer:
            layouter.runToEnd();
            printDocument(layouter.document(), s, titles.printJob, printing);
            break;
        case Destination::File: {
            // Each page goes into the PDF as soon as it is laid out and is not kept.
            PdfWriter writer(renderer, layouter.document());
            layouter.onPageDone = [&](const Document &, Page &&page, int number) {
                writer.addPage(page, number);
            };
            layouter.runToEnd();
            if (status)
                status->showPage(titles.printing, layouter.document().pageCount());
            writer.save(s.fileName);
            break;
        }
        }
        out.m_lastPageCount = layouter.document().pageCount();
        status.reset();
        scope.restore();
    } catch (const db::DatabaseError &e) {
        throw ReportError(QStringLiteral("No se ha podido generar el informe: ") + e.message());
    }
    return true;
}

} // namespace report
