#pragma once

// The report engine: report projects (reports/FORMATO.md) run to preview, printer or PDF.
//
// Calling order, as the bulletin (documents/) and the listing (search/) use it:
//
//     report::ReportProject project;           // RVP
//     report::OutputSystem output;             // RvSystem1
//     report::PdfRenderer pdf;                 // RvRenderPDF1
//     project.setEngine(&output);
//     output.setTitles(report::Titles::bulletin());
//     project.addConnection("RVDinstalacion", Datos.DSinstalacion());   // ... one per name
//
//     project.close();
//     project.setProjectFile(report::projectPath(directory, "Trelmavondis.rav"));
//     project.open();                                   // ReportError when missing/malformed
//     if (!project.selectReport("Boletín de la instalación")) ...;
//     output.setDefaultDestination(report::Destination::File);
//     output.setSetupAllowed(false);
//     output.setNativeOutput(false);
//     output.setRenderer(&pdf);
//     output.setOutputFileName(pdfPath);
//     project.execute();                                // ReportError on failure
//
// Everything runs on the user-interface thread. The record sets behind the connections are
// read by field name (lookup and calculated fields included) and shown as the record set
// shows them; after a run each one is back in its open state and on its current record.

#include <QString>
#include <QStringList>

#include <exception>
#include <memory>
#include <utility>
#include <vector>

namespace db {
class RecordSet;
}

namespace report {

class Document;
struct Project;

// A failure of the engine, with a message for the user (Spanish, except the project-missing
// text, which stays as the program has always shown it). what() is the message in UTF-8.
class ReportError : public std::exception {
public:
    explicit ReportError(QString message);
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// folder + file name joined by QDir (the original appended "\" and the name by hand).
QString projectPath(const QString &folder, const QString &fileName);

enum class Destination { Preview, Printer, File };
enum class Duplex { None, LongSide, ShortSide };

// Window titles and status texts of one output system. %p is the page number.
struct Titles {
    QString setup = QStringLiteral("Output Options");
    QString status = QStringLiteral("Report Status");
    QString preview = QStringLiteral("Report Preview");
    QString printJob = QStringLiteral("Imprimir informe");
    QString generating = QStringLiteral("Generating page %p");
    QString printing = QStringLiteral("Printing page %p");
    static Titles
    bulletin(); // "Output Options", "Report Status", "Report Preview", "Imprimir informe"
    static Titles listing(); // "Opciones", "Estado del informe", "Visualizar", "Informe"
};

// Writes pages as PDF with libharu: the standard Type 1 fonts (Helvetica, Times, Courier),
// not embedded, WinAnsi encoding; images as JPEG.
class PdfRenderer {
public:
    QString displayName() const { return QStringLiteral("Adobe Acrobat (PDF)"); }
    QString fileExtension() const { return QStringLiteral("pdf"); }
    int imageQuality = 90;
    QString fontEncoding = QStringLiteral("WinAnsiEncoding");

    // Writes the document to path as a whole (temporary file renamed at the end).
    void write(const Document &document, const QString &path) const;
    // The same into memory.
    QByteArray toPdf(const Document &document) const;
};

// Where and how a run goes: RvSystem1.
class OutputSystem {
public:
    OutputSystem();
    ~OutputSystem();

    void setDefaultDestination(Destination d) { m_destination = d; }
    Destination defaultDestination() const { return m_destination; }
    void setSetupAllowed(bool allowed) { m_setupAllowed = allowed; }
    bool setupAllowed() const { return m_setupAllowed; }
    // Native output (the engine's own page file) does not exist here: a file is always
    // written by the render object. Kept so that callers set up a run in the usual order.
    void setNativeOutput(bool native) { m_nativeOutput = native; }
    bool nativeOutput() const { return m_nativeOutput; }
    void setRenderer(PdfRenderer *renderer) { m_renderer = renderer; }
    PdfRenderer *renderer() const { return m_renderer; }
    void setOutputFileName(const QString &path) { m_outputFileName = path; }
    const QString &outputFileName() const { return m_outputFileName; }
    void setTitles(const Titles &titles) { m_titles = titles; }
    const Titles &titles() const { return m_titles; }
    // Printer: empty = the system's default printer.
    void setPrinterName(const QString &name) { m_printerName = name; }
    const QString &printerName() const { return m_printerName; }
    // Printer output into this file instead (Qt's print to file, PDF); empty = the printer.
    void setPrinterFile(const QString &path) { m_printerFile = path; }
    const QString &printerFile() const { return m_printerFile; }
    void setCopies(int copies) { m_copies = copies; }
    int copies() const { return m_copies; }
    void setCollate(bool collate) { m_collate = collate; }
    bool collate() const { return m_collate; }
    void setDuplex(Duplex duplex) { m_duplex = duplex; }
    Duplex duplex() const { return m_duplex; }
    // The status window ("Generating page %p"); it never waits for the user.
    void setStatusShown(bool shown) { m_statusShown = shown; }
    bool statusShown() const { return m_statusShown; }

    // What the last run did: the destination used and the pages laid out (0 = cancelled).
    Destination lastDestination() const { return m_lastDestination; }
    int lastPageCount() const { return m_lastPageCount; }

    // The render object offered by the setup dialog when none is set.
    PdfRenderer &fileRenderer() { return m_renderer ? *m_renderer : m_ownRenderer; }

private:
    friend class ReportProject;
    Destination m_destination = Destination::Preview;
    bool m_setupAllowed = true;
    bool m_nativeOutput = true;
    PdfRenderer *m_renderer = nullptr;
    PdfRenderer m_ownRenderer;
    QString m_outputFileName;
    Titles m_titles;
    QString m_printerName;
    QString m_printerFile;
    int m_copies = 1;
    bool m_collate = false;
    Duplex m_duplex = Duplex::None;
    bool m_statusShown = true;
    Destination m_lastDestination = Destination::Preview;
    int m_lastPageCount = 0;
};

// A report project file with its reports: RVP.
class ReportProject {
public:
    ReportProject();
    ~ReportProject();
    ReportProject(const ReportProject &) = delete;
    ReportProject &operator=(const ReportProject &) = delete;

    // Forgets the loaded project, so that the next open reads the file again.
    void close();
    void setProjectFile(const QString &path);
    const QString &projectFile() const { return m_file; }
    // Loads the file. Missing: "The following reporting project does not exist:\r"<path>"";
    // malformed: the file and the line in the message.
    void open();
    bool isOpen() const { return bool(m_project); }

    // Case-insensitive, against each report's full name and component name, first match
    // in project order. False when none matches (the selection is then empty).
    bool selectReport(const QString &name);
    QString selectedReport() const;  // full name; empty when none
    QStringList reportNames() const; // full names in project order

    // The record sets the layouts read, by connection name (RVDinstalacion, RVqlinst...).
    void addConnection(const QString &name, db::RecordSet &recordSet);
    void removeConnection(const QString &name);
    // The connections in the order they were added.
    std::vector<std::pair<QString, db::RecordSet *>> connections() const;

    // Texts the program gives the layouts, by name, for <param>: what a listing lists, for
    // instance. A name is found without regard to case; setting it again replaces the value.
    void setParameter(const QString &name, const QString &value);
    QString parameter(const QString &name) const;
    QStringList parameterNames() const; // in the order they were first set

    void setEngine(OutputSystem *output) { m_output = output; }
    OutputSystem *engine() const { return m_output; }

    // Runs the selected report on the engine. False when the user cancelled the setup
    // dialog (no output, no error); raises ReportError when the run fails.
    bool execute();

    // Lays the selected report out completely (for tests and tools): pages of primitives.
    std::unique_ptr<Document> layOut();

private:
    struct Connection {
        QString name;
        db::RecordSet *set;
    };
    const struct Report &selected() const;

    QString m_file;
    std::unique_ptr<Project> m_project;
    int m_selected = -1;
    std::vector<Connection> m_connections;
    std::vector<std::pair<QString, QString>> m_parameters;
    OutputSystem *m_output = nullptr;
    OutputSystem m_ownOutput;
};

} // namespace report
