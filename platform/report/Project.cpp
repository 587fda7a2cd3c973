// Reads a report project (reports/FORMATO.md) with QXmlStreamReader. Every element and
// attribute must be known: a misspelt name stops the load with the file and the line.

#include "platform/report/Model.h"
#include "platform/report/Report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>

namespace report {

namespace {

constexpr float kPointsPerMm = 72.0f / 25.4f;

class Parser {
public:
    Parser(const QString &path, QIODevice &device) : m_path(path), m_xml(&device) {}

    Project run() {
        Project project;
        project.file = m_path;
        if (!nextElement())
            fail(QStringLiteral("el archivo no contiene ningún elemento <project>"));
        if (m_xml.name() != QLatin1String("project"))
            fail(QStringLiteral("se esperaba <project> y hay <%1>").arg(m_xml.name()));
        attributes({QStringLiteral("version")});
        if (const QString v = attr(QStringLiteral("version")); !v.isEmpty() && v != u'1')
            fail(QStringLiteral("versión de formato desconocida '%1'").arg(v));
        while (childElement()) {
            if (m_xml.name() != QLatin1String("report"))
                unknownElement(QStringLiteral("project"));
            project.reports.push_back(readReport());
        }
        // Nothing but blanks and comments may follow the project.
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isStartElement())
                fail(QStringLiteral("hay contenido después de </project>"));
        }
        checkXml();
        if (project.reports.empty())
            fail(QStringLiteral("el proyecto no contiene ningún informe"));
        return project;
    }

private:
    [[noreturn]] void fail(const QString &what, qint64 line = -1) const {
        throw ReportError(QStringLiteral("Error en el proyecto de informes \"%1\", línea %2: %3")
                              .arg(QDir::toNativeSeparators(m_path))
                              .arg(line >= 0 ? line : m_xml.lineNumber())
                              .arg(what));
    }
    void checkXml() const {
        if (m_xml.hasError())
            fail(QStringLiteral("XML mal formado: ") + m_xml.errorString());
    }
    [[noreturn]] void unknownElement(const QString &parent) const {
        fail(QStringLiteral("elemento desconocido <%1> dentro de <%2>").arg(m_xml.name(), parent));
    }

    // The next start element anywhere (skipping the prolog).
    bool nextElement() {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isStartElement())
                return true;
        }
        checkXml();
        return false;
    }
    // The next child of the current element; false at its end. Text between elements must
    // be blank.
    bool childElement() {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isStartElement())
                return true;
            if (m_xml.isEndElement())
                return false;
            if (m_xml.isCharacters() && !m_xml.isWhitespace())
                fail(QStringLiteral("texto fuera de lugar: \"%1\"").arg(m_xml.text().trimmed()));
        }
        checkXml();
        fail(QStringLiteral("el archivo termina antes de cerrar sus elementos"));
    }

    void attributes(const QStringList &allowed) {
        for (const QXmlStreamAttribute &a : m_xml.attributes())
            if (!allowed.contains(a.name().toString()))
                fail(QStringLiteral("atributo desconocido '%1' en <%2>")
                         .arg(a.name(), m_xml.name()));
    }
    QString attr(const QString &name) const { return m_xml.attributes().value(name).toString(); }
    bool has(const QString &name) const { return m_xml.attributes().hasAttribute(name); }
    QString required(const QString &name) const {
        if (!has(name))
            fail(QStringLiteral("falta el atributo '%1' en <%2>").arg(name, m_xml.name()));
        return attr(name);
    }
    [[noreturn]] void badValue(const QString &name) const {
        fail(QStringLiteral("valor no válido '%1' del atributo '%2' en <%3>")
                 .arg(attr(name), name, m_xml.name()));
    }
    float number(const QString &name, float fallback, bool isRequired = false) const {
        if (!has(name)) {
            if (isRequired)
                required(name);
            return fallback;
        }
        bool ok = false;
        const float v = attr(name).trimmed().toFloat(&ok);
        if (!ok)
            badValue(name);
        return v;
    }
    float mm(const QString &name, float fallback = 0, bool isRequired = false) const {
        return number(name, fallback / kPointsPerMm, isRequired) * kPointsPerMm;
    }
    bool flag(const QString &name, bool fallback) const {
        if (!has(name))
            return fallback;
        const QString v = attr(name);
        if (v == QLatin1String("true"))
            return true;
        if (v == QLatin1String("false"))
            return false;
        badValue(name);
    }
    template <typename E>
    E choice(const QString &name, E fallback,
             std::initializer_list<std::pair<const char *, E>> values) const {
        if (!has(name))
            return fallback;
        const QString v = attr(name);
        for (const auto &[text, value] : values)
            if (v == QLatin1String(text))
                return value;
        badValue(name);
    }

    FontSpec font(FontSpec f) const {
        if (has(QStringLiteral("font"))) {
            const QString family = attr(QStringLiteral("font")).trimmed().toLower();
            static const QHash<QString, FontFamily> families = {
                {"helvetica", FontFamily::Helvetica},
                {"arial", FontFamily::Helvetica},
                {"sans", FontFamily::Helvetica},
                {"sans-serif", FontFamily::Helvetica},
                {"liberation sans", FontFamily::Helvetica},
                {"times", FontFamily::Times},
                {"times new roman", FontFamily::Times},
                {"times-roman", FontFamily::Times},
                {"serif", FontFamily::Times},
                {"liberation serif", FontFamily::Times},
                {"courier", FontFamily::Courier},
                {"courier new", FontFamily::Courier},
                {"monospace", FontFamily::Courier},
                {"liberation mono", FontFamily::Courier}};
            const auto it = families.find(family);
            if (it == families.end())
                badValue(QStringLiteral("font"));
            f.family = *it;
        }
        f.size = number(QStringLiteral("size"), f.size);
        if (f.size <= 0 || f.size > 200)
            badValue(QStringLiteral("size"));
        f.bold = flag(QStringLiteral("bold"), f.bold);
        f.italic = flag(QStringLiteral("italic"), f.italic);
        return f;
    }

    Report readReport() {
        attributes({QStringLiteral("name"), QStringLiteral("component")});
        Report r;
        r.file = m_path;
        r.name = required(QStringLiteral("name"));
        r.component = attr(QStringLiteral("component"));
        if (r.name.trimmed().isEmpty())
            badValue(QStringLiteral("name"));
        r.body.kind = Section::Kind::Detail;
        bool havePage = false;
        Section title, summary;
        while (childElement()) {
            const QString n = m_xml.name().toString();
            if (n == QLatin1String("page")) {
                if (havePage)
                    fail(QStringLiteral("<page> repetido"));
                havePage = true;
                readPage(r.page);
            } else if (n == QLatin1String("font")) {
                attributes({QStringLiteral("font"), QStringLiteral("size"), QStringLiteral("bold"),
                            QStringLiteral("italic")});
                m_font = font(m_font);
                endOfEmpty();
            } else if (n == QLatin1String("page-header")) {
                once(r.pageHeader);
                r.pageHeader = readBand(r);
            } else if (n == QLatin1String("page-footer")) {
                once(r.pageFooter);
                r.pageFooter = readBand(r);
            } else if (n == QLatin1String("title")) {
                once(title.band);
                title.band = readBand(r);
            } else if (n == QLatin1String("summary")) {
                once(summary.band);
                summary.band = readBand(r);
            } else if (n == QLatin1String("band")) {
                Section s;
                s.band = readBand(r);
                r.body.children.push_back(std::move(s));
            } else if (n == QLatin1String("detail")) {
                r.body.children.push_back(readDetail(r, QString()));
            } else {
                unknownElement(QStringLiteral("report"));
            }
        }
        if (title.band.present)
            r.body.children.insert(r.body.children.begin(), std::move(title));
        if (summary.band.present)
            r.body.children.push_back(std::move(summary));
        m_font = FontSpec();
        return r;
    }

    void once(const Band &b) const {
        if (b.present)
            fail(QStringLiteral("<%1> repetido").arg(m_xml.name()));
    }

    void endOfEmpty() {
        if (childElement())
            unknownElement(m_xml.name().toString());
    }

    void readPage(PageSetup &p) {
        attributes({QStringLiteral("size"), QStringLiteral("orientation"),
                    QStringLiteral("margin-left"), QStringLiteral("margin-top"),
                    QStringLiteral("margin-right"), QStringLiteral("margin-bottom")});
        struct Size {
            float w, h;
        };
        const Size size = choice<Size>(QStringLiteral("size"), Size{210, 297},
                                       {{"A4", {210, 297}},
                                        {"A5", {148, 210}},
                                        {"A3", {297, 420}},
                                        {"Letter", {215.9f, 279.4f}}});
        p.landscape = choice(QStringLiteral("orientation"), false,
                             {{"portrait", false}, {"landscape", true}});
        p.width = (p.landscape ? size.h : size.w) * kPointsPerMm;
        p.height = (p.landscape ? size.w : size.h) * kPointsPerMm;
        p.left = mm(QStringLiteral("margin-left"), p.left);
        p.top = mm(QStringLiteral("margin-top"), p.top);
        p.right = mm(QStringLiteral("margin-right"), p.right);
        p.bottom = mm(QStringLiteral("margin-bottom"), p.bottom);
        if (p.left + p.right >= p.width || p.top + p.bottom >= p.height)
            fail(QStringLiteral("los márgenes no dejan sitio en la página"));
        endOfEmpty();
    }

    Section readDetail(Report &r, const QString &outer) {
        attributes({QStringLiteral("connection"), QStringLiteral("new-page")});
        Section s;
        s.kind = Section::Kind::Detail;
        s.line = int(m_xml.lineNumber());
        s.newPage = flag(QStringLiteral("new-page"), false);
        s.connection = required(QStringLiteral("connection"));
        if (s.connection.isEmpty() || s.connection.compare(outer, Qt::CaseInsensitive) == 0)
            badValue(QStringLiteral("connection"));
        const QString element = m_xml.name().toString();
        bool rows = false;
        while (childElement()) {
            const QString n = m_xml.name().toString();
            if (n == QLatin1String("header")) {
                if (s.header.present || rows)
                    fail(QStringLiteral("<header> va una sola vez y antes de las bandas"));
                s.header = readBand(r, s.connection);
            } else if (n == QLatin1String("band")) {
                if (s.footer.present)
                    fail(QStringLiteral("<band> después de <footer>"));
                Section b;
                b.band = readBand(r, s.connection);
                s.children.push_back(std::move(b));
                rows = true;
            } else if (n == QLatin1String("sub-detail")) {
                if (s.footer.present)
                    fail(QStringLiteral("<sub-detail> después de <footer>"));
                s.children.push_back(readDetail(r, s.connection));
                s.moves = true;
                rows = true;
            } else if (n == QLatin1String("footer")) {
                once(s.footer);
                s.footer = readBand(r, s.connection);
            } else if (n == QLatin1String("empty")) {
                once(s.empty);
                s.empty = readBand(r, s.connection);
            } else {
                unknownElement(element);
            }
        }
        if (!rows)
            fail(QStringLiteral("<%1> sin ninguna <band>").arg(element));
        // Fields of other connections may follow this one's current record (linked record
        // sets): the rows are then visited by moving the record set.
        for (const Section &c : s.children)
            if (c.kind == Section::Kind::Band)
                for (const Item &i : c.band.items)
                    if (i.kind == Item::Kind::Field && !i.connection.isEmpty() &&
                        i.connection.compare(s.connection, Qt::CaseInsensitive) != 0)
                        s.moves = true;
        return s;
    }

    Band readBand(Report &r, const QString &connection = QString()) {
        attributes({QStringLiteral("height")});
        Band b;
        b.present = true;
        b.height = mm(QStringLiteral("height"), 0, true);
        if (b.height < 0)
            badValue(QStringLiteral("height"));
        const QString element = m_xml.name().toString();
        while (childElement())
            b.items.push_back(readItem(r, element, connection));
        return b;
    }

    Item readItem(Report &r, const QString &parent, const QString &connection) {
        static const QStringList box = {"x", "y", "width", "height"};
        static const QStringList text = {"font",  "size",   "bold", "italic",
                                         "align", "valign", "fit",  "wrap"};
        const QString n = m_xml.name().toString();
        Item it;
        it.line = int(m_xml.lineNumber());
        it.font = m_font;
        bool hasText = false;
        if (n == QLatin1String("text")) {
            it.kind = Item::Kind::Text;
            attributes(box + text);
            hasText = true;
        } else if (n == QLatin1String("field")) {
            it.kind = Item::Kind::Field;
            attributes(box + text + QStringList{"connection", "name", "suffix"});
            it.suffix = attr(QStringLiteral("suffix"));
            it.connection = attr(QStringLiteral("connection"));
            it.field = required(QStringLiteral("name"));
            if (it.connection.isEmpty() && connection.isEmpty())
                fail(QStringLiteral("<field> fuera de un <detail> necesita 'connection'"));
            if (it.connection.compare(connection, Qt::CaseInsensitive) == 0)
                it.connection.clear();
        } else if (n == QLatin1String("param")) {
            it.kind = Item::Kind::Param;
            attributes(box + text + QStringList{"name"});
            it.field = required(QStringLiteral("name"));
            if (it.field.trimmed().isEmpty())
                badValue(QStringLiteral("name"));
        } else if (n == QLatin1String("count")) {
            // A running count: in a page's header or footer it would tell a page's state
            // rather than the list's.
            if (parent == QLatin1String("page-header") || parent == QLatin1String("page-footer"))
                fail(QStringLiteral("<count> no puede ir en <%1>: va en el <footer> del detalle "
                                    "o en <summary>")
                         .arg(parent));
            it.kind = Item::Kind::Count;
            attributes(box + text + QStringList{"connection", "format", "format-one"});
            it.connection = attr(QStringLiteral("connection"));
            if (it.connection.isEmpty() && connection.isEmpty())
                fail(QStringLiteral("<count> fuera de un <detail> necesita 'connection'"));
            if (it.connection.compare(connection, Qt::CaseInsensitive) == 0)
                it.connection.clear();
            it.text = has(QStringLiteral("format")) ? attr(QStringLiteral("format"))
                                                    : QStringLiteral("%c");
            it.textOne =
                has(QStringLiteral("format-one")) ? attr(QStringLiteral("format-one")) : it.text;
            for (const QString *f : {&it.text, &it.textOne})
                if (!f->contains(QLatin1String("%c")))
                    badValue(f == &it.text ? QStringLiteral("format")
                                           : QStringLiteral("format-one"));
        } else if (n == QLatin1String("page-number")) {
            it.kind = Item::Kind::PageNumber;
            attributes(box + text + QStringList{"format"});
            it.text = has(QStringLiteral("format")) ? attr(QStringLiteral("format"))
                                                    : QStringLiteral("page %p of %n");
        } else if (n == QLatin1String("date")) {
            it.kind = Item::Kind::Date;
            attributes(box + text + QStringList{"format"});
            it.text = has(QStringLiteral("format")) ? attr(QStringLiteral("format"))
                                                    : QStringLiteral("dd/MM/yyyy");
        } else if (n == QLatin1String("line")) {
            it.kind = Item::Kind::Line;
            attributes({"x1", "y1", "x2", "y2", "thickness", "stretch"});
            it.x = mm(QStringLiteral("x1"), 0, true);
            it.y = mm(QStringLiteral("y1"), 0, true);
            it.width = mm(QStringLiteral("x2"), 0, true) - it.x;
            it.height = mm(QStringLiteral("y2"), 0, true) - it.y;
            it.thickness = mm(QStringLiteral("thickness"), 0.5f);
            it.stretch = flag(QStringLiteral("stretch"), false);
            endOfEmpty();
            return it;
        } else if (n == QLatin1String("rect")) {
            it.kind = Item::Kind::Rect;
            attributes(box + QStringList{"thickness", "fill", "stretch"});
            it.thickness = mm(QStringLiteral("thickness"), 0.5f);
            it.stretch = flag(QStringLiteral("stretch"), false);
            if (has(QStringLiteral("fill"))) {
                const QString f = attr(QStringLiteral("fill"));
                bool ok = f.size() == 7 && f.startsWith(u'#');
                const uint rgb = ok ? f.mid(1).toUInt(&ok, 16) : 0;
                if (!ok)
                    badValue(QStringLiteral("fill"));
                it.fill = 0xFF000000u | rgb;
            }
        } else if (n == QLatin1String("image")) {
            it.kind = Item::Kind::Image;
            attributes(box + QStringList{"file"});
            const QString file = required(QStringLiteral("file"));
            const QString path = QFileInfo(m_path).dir().filePath(file);
            QImage image(path);
            if (image.isNull())
                fail(QStringLiteral("no se puede leer la imagen \"%1\"")
                         .arg(QDir::toNativeSeparators(path)));
            r.images.push_back(image);
            it.image = int(r.images.size()) - 1;
        } else {
            unknownElement(parent);
        }
        it.x = mm(QStringLiteral("x"), 0, true);
        it.y = mm(QStringLiteral("y"), 0, true);
        it.width = mm(QStringLiteral("width"), 0, true);
        it.height = mm(QStringLiteral("height"), 0, true);
        if (it.width < 0 || it.height < 0)
            badValue(it.width < 0 ? QStringLiteral("width") : QStringLiteral("height"));
        if (it.kind != Item::Kind::Rect && it.kind != Item::Kind::Image) {
            it.font = font(it.font);
            it.align = choice(
                QStringLiteral("align"), HAlign::Left,
                {{"left", HAlign::Left}, {"center", HAlign::Center}, {"right", HAlign::Right}});
            it.valign = choice(
                QStringLiteral("valign"), VAlign::Top,
                {{"top", VAlign::Top}, {"middle", VAlign::Middle}, {"bottom", VAlign::Bottom}});
            it.fit = choice(QStringLiteral("fit"), Fit::Wrap,
                            {{"wrap", Fit::Wrap}, {"shrink", Fit::Shrink}});
            // The older spelling: wrap="false" kept a text on one line.
            if (has(QStringLiteral("wrap"))) {
                if (has(QStringLiteral("fit")))
                    fail(QStringLiteral("'fit' y 'wrap' a la vez en <%1>: basta 'fit'")
                             .arg(m_xml.name()));
                it.fit = flag(QStringLiteral("wrap"), true) ? Fit::Wrap : Fit::Shrink;
            }
            if (it.kind == Item::Kind::PageNumber)
                it.fit = Fit::Shrink;
        }
        if (hasText) {
            it.text = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            checkXml();
        } else {
            endOfEmpty();
        }
        return it;
    }

    QString m_path;
    QXmlStreamReader m_xml;
    FontSpec m_font;
};

} // namespace

Project loadProject(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("No se puede leer el proyecto de informes \"%1\": %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    Parser parser(path, file);
    return parser.run();
}

} // namespace report
