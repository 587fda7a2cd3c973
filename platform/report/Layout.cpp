#include "platform/report/Layout.h"

#include "db/Errors.h"
#include "db/Field.h"
#include "db/RecordSet.h"
#include "platform/report/Report.h"

#include <QDate>
#include <QDir>
#include <QLocale>

#include <algorithm>

namespace report {

// ---------------------------------------------------------------- DataScope

DataScope::DataScope(std::vector<NamedSet> sets) : m_sets(std::move(sets)) {
    for (const NamedSet &n : m_sets)
        m_saved.push_back({n.set, n.set->active(), n.set->recNo()});
    for (const NamedSet &n : m_sets)
        if (!n.set->active())
            n.set->open();
}

DataScope::~DataScope() {
    try {
        restore();
    } catch (...) {
        // Nothing may leave a destructor; restore() is called first on the normal path.
    }
}

void DataScope::restore() {
    if (m_restored)
        return;
    m_restored = true;
    // Twice: a master going back reopens the sets linked to it, which then go back too.
    for (int pass = 0; pass < 2; ++pass)
        for (const Saved &s : m_saved) {
            if (!s.active) {
                if (pass == 1)
                    s.set->close();
                continue;
            }
            if (!s.set->active())
                s.set->open();
            if (s.recNo >= 0 && s.set->recNo() != s.recNo)
                s.set->moveTo(s.recNo);
        }
}

// ---------------------------------------------------------------- Layouter

struct Layouter::Source {
    QString name;
    db::RecordSet *set = nullptr;
    int row = -1;
    bool iterating = false;
    int counted = 0; // rows the present run of its detail has gone through, for <count>
};

struct Layouter::Frame {
    const Section *section;
    Source *source = nullptr; // null for the report's body
    enum class Phase { Start, Rows, Footer } phase = Phase::Start;
    int row = 0;
    size_t child = 0;
};

struct Layouter::Prepared {
    float height = 0;
    std::vector<Primitive> items; // y from the band's top
};

Layouter::Layouter(const Report &report, const std::vector<NamedSet> &sets,
                   std::vector<Parameter> parameters)
    : m_report(report), m_doc(std::make_unique<Document>()), m_parameters(std::move(parameters)) {
    m_doc->pageWidth = report.page.width;
    m_doc->pageHeight = report.page.height;
    m_doc->landscape = report.page.landscape;
    m_doc->title = report.name;
    m_doc->images = report.images;
    m_doc->complete = false;
    m_today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    for (const NamedSet &n : sets) {
        auto s = std::make_unique<Source>();
        s->name = n.name;
        s->set = n.set;
        m_sources.push_back(std::move(s));
    }
    // Every field and parameter named by the layout must exist: a misspelt name is an error,
    // not a blank.
    check(report.body, QString());
    for (const Band *b : {&report.pageHeader, &report.pageFooter})
        for (const Item &i : b->items)
            checkItem(i, QString());
    m_stack.push_back(Frame{&report.body});
}

Layouter::~Layouter() = default;

void Layouter::fail(int line, const QString &what) const {
    throw ReportError(
        QStringLiteral("Error en el proyecto de informes \"%1\", línea %2 (informe \"%3\"): %4")
            .arg(QDir::toNativeSeparators(m_report.file))
            .arg(line)
            .arg(m_report.name, what));
}

void Layouter::checkItem(const Item &i, const QString &connection) {
    if (i.kind == Item::Kind::Field || i.kind == Item::Kind::Count) {
        Source &s = source(i.connection.isEmpty() ? connection : i.connection, i.line);
        if (i.kind == Item::Kind::Field && !s.set->findField(i.field))
            fail(i.line, QStringLiteral("la conexión de datos \"%1\" no tiene el campo \"%2\"")
                             .arg(s.name, i.field));
    } else if (i.kind == Item::Kind::Param) {
        for (const Parameter &p : m_parameters)
            if (p.name.compare(i.field, Qt::CaseInsensitive) == 0)
                return;
        QStringList given;
        for (const Parameter &p : m_parameters)
            given << p.name;
        fail(i.line, given.isEmpty()
                         ? QStringLiteral("el programa no da ningún parámetro a este informe "
                                          "(\"%1\")")
                               .arg(i.field)
                         : QStringLiteral("no hay ningún parámetro \"%1\" (el programa da: %2)")
                               .arg(i.field, given.join(QStringLiteral(", "))));
    }
}

void Layouter::check(const Section &section, const QString &connection) {
    if (section.kind == Section::Kind::Band) {
        for (const Item &i : section.band.items)
            checkItem(i, connection);
        return;
    }
    if (!section.connection.isEmpty())
        source(section.connection, section.line);
    const QString inner = section.connection.isEmpty() ? connection : section.connection;
    for (const Band *b : {&section.header, &section.footer, &section.empty}) {
        Section s;
        s.band = *b;
        check(s, inner);
    }
    for (const Section &c : section.children)
        check(c, inner);
}

Layouter::Source &Layouter::source(const QString &name, int line) {
    for (auto &s : m_sources)
        if (s->name.compare(name, Qt::CaseInsensitive) == 0)
            return *s;
    fail(line, QStringLiteral("no hay ninguna conexión de datos \"%1\"").arg(name));
}

QString Layouter::fieldText(const Item &item, const QString &connection) {
    // The source and the field of an item are looked up by name once; the field is found
    // again only when its record set has other fields now (reopened with default fields).
    FieldRef &ref = m_fieldRefs[&item];
    if (!ref.source)
        ref.source = &source(item.connection.isEmpty() ? connection : item.connection, item.line);
    Source &s = *ref.source;
    if (!ref.field || ref.index >= s.set->fieldCount() || &s.set->fieldAt(ref.index) != ref.field ||
        ref.field->name().compare(item.field, Qt::CaseInsensitive) != 0) {
        ref.field = s.set->findField(item.field);
        if (!ref.field)
            fail(item.line,
                 QStringLiteral("la conexión de datos \"%1\" no tiene el campo \"%2\"")
                     .arg(s.name, item.field));
        ref.index = 0;
        while (&s.set->fieldAt(ref.index) != ref.field)
            ++ref.index;
    }
    const db::Field *f = ref.field;
    const int row = s.iterating ? s.row : s.set->recNo();
    if (row < 0 || !s.set->active())
        return QString();
    return f->textOf(s.set->valueAt(row, *f), true);
}

QString Layouter::itemText(const Item &item, const QString &connection, bool &pageVariables) {
    pageVariables = false;
    switch (item.kind) {
    case Item::Kind::Text:
        return item.text;
    case Item::Kind::Field:
        return fieldText(item, connection);
    case Item::Kind::PageNumber:
        pageVariables = true;
        return item.text;
    case Item::Kind::Date:
        return QDate::currentDate().toString(item.text);
    case Item::Kind::Param:
        for (const Parameter &p : m_parameters)
            if (p.name.compare(item.field, Qt::CaseInsensitive) == 0)
                return p.value;
        return QString();
    case Item::Kind::Count: {
        const int n =
            source(item.connection.isEmpty() ? connection : item.connection, item.line).counted;
        // Grouped in threes as the program shows every number: "1.245".
        const QString number = db::formatNumber(n, QStringLiteral("#,##0"), QLocale::system());
        return QString(n == 1 ? item.textOne : item.text).replace(QLatin1String("%c"), number);
    }
    default:
        return QString();
    }
}

Layouter::Prepared Layouter::prepare(const Band &band, const QString &connection) {
    Prepared out;
    const size_t n = band.items.size();
    std::vector<float> &growth = m_growth;
    growth.assign(n, 0.0f);
    out.items.reserve(n);
    std::vector<int> &itemOf = m_itemOf; // per primitive: its item
    itemOf.clear();
    for (size_t i = 0; i < n; ++i) {
        const Item &it = band.items[i];
        Primitive p;
        p.x = it.x;
        p.y = it.y;
        p.w = it.width;
        p.h = it.height;
        switch (it.kind) {
        case Item::Kind::Line:
            p.kind = Primitive::Kind::Line;
            p.thickness = it.thickness;
            break;
        case Item::Kind::Rect:
            p.kind = Primitive::Kind::Rect;
            p.thickness = it.thickness;
            p.fill = it.fill;
            break;
        case Item::Kind::Image:
            p.kind = Primitive::Kind::Image;
            p.image = it.image;
            break;
        default: {
            bool vars = false;
            QString text = itemText(it, connection, vars);
            if (text.isEmpty())
                continue;
            text += it.suffix;
            p.kind = Primitive::Kind::Text;
            p.pageVariables = vars;
            p.align = it.align;
            FontSpec font = it.font;
            int lines = 1;
            if (it.fit == Fit::Wrap && !vars) {
                QStringList l = metrics::wrap(font, text, it.width);
                lines = int(l.size());
                text = lines == 1 ? std::move(l.front()) : l.join(u'\n');
            } else {
                // One line: line breaks of the value become spaces rather than losing the rest.
                text.remove(u'\r');
                text.replace(u'\n', u' ');
                // Page numbers are measured with room for four digits each.
                QString measured = text;
                if (vars)
                    measured.replace(QLatin1String("%p"), QLatin1String("9999"))
                        .replace(QLatin1String("%n"), QLatin1String("9999"));
                font.size = metrics::shrunkSize(font, measured, it.width, kShrinkFloor);
                if (!vars)
                    text = metrics::elide(font, text, it.width);
            }
            // The first line sits where one line of the declared letter would, further lines
            // run downwards; a smaller letter keeps the same baseline.
            const float lh0 = metrics::lineHeight(it.font);
            float top = it.y;
            if (it.valign == VAlign::Middle)
                top += (it.height - lh0) / 2;
            else if (it.valign == VAlign::Bottom)
                top += it.height - lh0;
            p.y = top + metrics::ascent(it.font) - metrics::ascent(font);
            p.h = float(lines) * metrics::lineHeight(font);
            growth[i] = std::max(0.0f, p.y + p.h - (it.y + it.height));
            p.font = quint16(m_doc->fontIndex(font));
            p.text = std::move(text);
            break;
        }
        }
        out.items.push_back(std::move(p));
        itemOf.push_back(int(i));
    }
    // Everything wholly below a grown item moves down by its growth, and by whatever moved
    // that item down: items are visited top to bottom so that growths add up.
    const bool grew = std::any_of(growth.begin(), growth.end(), [](float g) { return g > 0; });
    std::vector<float> &shift = m_shift;
    shift.assign(n, 0.0f);
    auto topOf = [&](size_t i) {
        return std::min(band.items[i].y, band.items[i].y + band.items[i].height);
    };
    auto bottomOf = [&](size_t i) {
        return std::max(band.items[i].y, band.items[i].y + band.items[i].height);
    };
    float extra = 0;
    if (grew) {
        std::vector<size_t> order(n);
        for (size_t i = 0; i < n; ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return topOf(a) < topOf(b); });
        for (size_t k = 0; k < n; ++k) {
            const size_t i = order[k];
            for (size_t m = 0; m < k; ++m) {
                const size_t j = order[m];
                if (bottomOf(j) <= topOf(i) + 0.01f)
                    shift[i] = std::max(shift[i], shift[j] + growth[j]);
            }
            extra = std::max(extra, shift[i] + growth[i]);
        }
    }
    // The band keeps its space under the lowest item, and holds every item.
    float height = band.height + extra;
    for (size_t k = 0; k < out.items.size(); ++k) {
        const size_t i = size_t(itemOf[k]);
        out.items[k].y += shift[i];
        height = std::max(height, bottomOf(i) + shift[i] + growth[i]);
    }
    if (height != band.height)
        for (size_t k = 0; k < out.items.size(); ++k) {
            const Item &it = band.items[size_t(itemOf[k])];
            if (it.stretch)
                out.items[k].h += height - band.height;
        }
    out.height = height;
    return out;
}

void Layouter::put(Prepared &&band, float y) {
    Page &page = m_doc->pages.back();
    const float x0 = m_report.page.left;
    for (Primitive &p : band.items) {
        p.x += x0;
        p.y += y;
        page.items.push_back(std::move(p));
    }
}

void Layouter::handOver() {
    if (!onPageDone || m_doc->pages.empty())
        return;
    Page done = std::move(m_doc->pages.back());
    m_doc->pages.pop_back();
    ++m_doc->handedOver;
    onPageDone(*m_doc, std::move(done), m_doc->handedOver);
}

void Layouter::newPage() {
    handOver();
    m_doc->pages.emplace_back();
    const int number = m_doc->pageCount();
    if (onPage)
        onPage(number);
    const PageSetup &ps = m_report.page;
    m_y = ps.top;
    m_bottom = ps.height - ps.bottom;
    if (m_report.pageFooter.present) {
        Prepared footer = prepare(m_report.pageFooter, QString());
        m_bottom -= footer.height;
        put(std::move(footer), m_bottom);
    }
    if (m_report.pageHeader.present) {
        Prepared header = prepare(m_report.pageHeader, QString());
        const float height = header.height;
        put(std::move(header), m_y);
        m_y += height;
    }
    m_pageHasBody = false;
    // The column headers of the lists that continue here.
    for (const Frame &f : m_stack)
        if (f.phase == Frame::Phase::Rows && f.section->header.present) {
            Prepared h = prepare(f.section->header, f.source ? f.source->name : QString());
            const float height = h.height;
            put(std::move(h), m_y);
            m_y += height;
        }
}

void Layouter::place(const Band &band, const QString &connection, float keep) {
    Prepared p = prepare(band, connection);
    const bool fits = m_y + p.height + keep <= m_bottom + 0.01f;
    if (!fits && p.items.empty() && m_doc->pageCount() > 0) {
        // Nothing to print and no room for it: no page is begun just for its blank space.
        m_y = std::max(m_y, m_bottom);
        return;
    }
    if (m_doc->pageCount() == 0 || (!fits && m_pageHasBody))
        newPage();
    const float height = p.height;
    put(std::move(p), m_y);
    m_y += height;
    m_pageHasBody = true;
}

float Layouter::footerHeight(const Section &section, const QString &connection) {
    return section.footer.present ? prepare(section.footer, connection).height : 0;
}

bool Layouter::hasRow(Frame &f, int row) {
    if (!f.source)
        return row == 0;
    db::RecordSet &set = *f.source->set;
    if (!set.active())
        return false;
    while (row >= set.recordCount()) {
        if (set.allFetched() || !set.fetchMore(256))
            return false;
    }
    return true;
}

bool Layouter::step() {
    if (m_finished)
        return false;
    try {
        if (m_stack.empty()) {
            if (m_doc->pageCount() == 0)
                newPage();
            m_finished = true;
            m_doc->complete = true;
            handOver();
            return false;
        }
        Frame &f = m_stack.back();
        const Section &s = *f.section;
        const QString connection = f.source ? f.source->name : QString();
        switch (f.phase) {
        case Frame::Phase::Start:
            if (!s.connection.isEmpty()) {
                f.source = &source(s.connection, s.line);
                f.source->iterating = true;
                f.source->row = 0;
                f.source->counted = 0; // a sub-detail counts the rows of each of its runs
            }
            if (s.header.present) {
                // Keep the header with the first row, or with the band that says there is none.
                Prepared h = prepare(s.header, s.connection);
                // When that is all there is, the footer comes along too.
                float next = 0;
                if (!hasRow(f, f.row)) {
                    if (s.empty.present)
                        next =
                            prepare(s.empty, s.connection).height + footerHeight(s, s.connection);
                } else if (!s.children.empty() && s.children.front().kind == Section::Kind::Band) {
                    if (f.source && (s.moves || f.source->set->unidirectional()) &&
                        f.source->set->recNo() != 0)
                        f.source->set->moveTo(0);
                    next = prepare(s.children.front().band, s.connection).height;
                    if (s.children.size() == 1 && !hasRow(f, f.row + 1))
                        next += footerHeight(s, s.connection);
                }
                if (m_doc->pageCount() == 0 ||
                    (m_y + h.height + next > m_bottom + 0.01f && m_pageHasBody))
                    newPage();
                const float height = h.height;
                put(std::move(h), m_y);
                m_y += height;
                m_pageHasBody = true;
            }
            f.phase = Frame::Phase::Rows;
            return true;
        case Frame::Phase::Rows:
            if (f.child == 0) {
                if (!hasRow(f, f.row)) {
                    // Placed while the rows' phase lasts, so that on a new page it comes
                    // under the repeated header.
                    if (f.row == 0 && s.empty.present)
                        place(s.empty, connection, footerHeight(s, connection));
                    f.phase = Frame::Phase::Footer;
                    return true;
                }
                if (f.source) {
                    ++f.source->counted;
                    f.source->row = f.row;
                    // A unidirectional set is walked along, so that it lets the rows
                    // behind go.
                    if ((s.moves || f.source->set->unidirectional()) &&
                        f.source->set->recNo() != f.row)
                        f.source->set->moveTo(f.row);
                }
                if (s.newPage && f.row > 0 && m_pageHasBody)
                    newPage();
            }
            if (f.child < s.children.size()) {
                const Section &c = s.children[f.child++];
                if (c.kind == Section::Kind::Band) {
                    // The footer closes the rows: it goes to a new page only with the last
                    // row's last band.
                    const bool last =
                        f.child == s.children.size() && s.footer.present && !hasRow(f, f.row + 1);
                    place(c.band, connection, last ? footerHeight(s, connection) : 0);
                } else
                    m_stack.push_back(Frame{&c});
                return true;
            }
            f.child = 0;
            ++f.row;
            return true;
        case Frame::Phase::Footer: {
            f.phase = Frame::Phase::Footer;
            Source *src = f.source;
            const Band *footer = s.footer.present ? &s.footer : nullptr;
            m_stack.pop_back(); // the header no longer repeats
            if (footer)
                place(*footer, connection);
            if (src)
                src->iterating = false;
            return true;
        }
        }
    } catch (const db::DatabaseError &e) {
        throw ReportError(QStringLiteral("No se han podido leer los datos del informe: ") +
                          e.message());
    }
    return true;
}

void Layouter::runUntil(int pages) {
    while (!m_finished && m_doc->pageCount() <= pages) {
        step();
    }
}

std::unique_ptr<Document> Layouter::takeDocument() {
    return std::move(m_doc);
}

} // namespace report
