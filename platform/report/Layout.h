#pragma once

#include "platform/report/Document.h"
#include "platform/report/Model.h"

#include <QString>

#include <climits>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace db {
class Field;
class RecordSet;
} // namespace db

namespace report {

// A record set under the name the layouts use.
struct NamedSet {
    QString name;
    db::RecordSet *set = nullptr;
};

// A text the program gives the run (what a listing lists...), named by <param>.
struct Parameter {
    QString name;
    QString value;
};

// For one run: opens every closed record set, and afterwards puts each back in its open
// state and on its current record (masters first, then again for the sets that follow them).
class DataScope {
public:
    explicit DataScope(std::vector<NamedSet> sets);
    ~DataScope(); // restores, swallowing errors; call restore() to see them
    DataScope(const DataScope &) = delete;
    DataScope &operator=(const DataScope &) = delete;
    void restore();
    const std::vector<NamedSet> &sets() const { return m_sets; }

private:
    struct Saved {
        db::RecordSet *set;
        bool active;
        int recNo;
    };
    std::vector<NamedSet> m_sets;
    std::vector<Saved> m_saved;
    bool m_restored = false;
};

// Lays a report out into a Document, one band at a time, so that a preview can show the
// first page before the last rows are read. Details read their rows with valueAt; a detail
// with sub-details (or fields of other connections) moves its record set row by row so
// that the record sets linked to it follow.
//
// A page is begun only for a band that prints something: a band with nothing to print that
// does not fit is left out, and a detail's footer goes to the next page together with the
// detail's last row (or its <empty> band), so that no page holds a footer alone.
class Layouter {
public:
    Layouter(const Report &report, const std::vector<NamedSet> &sets,
             std::vector<Parameter> parameters = {});
    ~Layouter();

    // Places the next band; false when the report is finished.
    bool step();
    // Runs until the document has at least `pages` pages or the report is finished.
    void runUntil(int pages);
    void runToEnd() { runUntil(INT_MAX); }
    bool finished() const { return m_finished; }
    Document &document() { return *m_doc; }
    std::unique_ptr<Document> takeDocument();

    // Called with the page number whenever a page begins.
    std::function<void(int)> onPage;
    // When set, each page is handed over as soon as it is complete (when the next one begins,
    // and the last when the report ends, the document complete by then) with its number, and
    // the document keeps none of them: memory stays the same whatever the number of pages.
    // The page's text keeps its page variables; %n is known only once the report ends.
    std::function<void(const Document &, Page &&page, int number)> onPageDone;

private:
    struct Source;
    struct Frame;
    struct Prepared;

    Source &source(const QString &name, int line);
    QString fieldText(const Item &item, const QString &connection);
    QString itemText(const Item &item, const QString &connection, bool &pageVariables);
    Prepared prepare(const Band &band, const QString &connection);
    void put(Prepared &&band, float y);
    // Places a band, on a new page when it does not fit with `keep` points of what must
    // follow it on the same page.
    void place(const Band &band, const QString &connection, float keep = 0);
    void newPage();
    void handOver(); // the page being laid out to onPageDone, when set
    bool hasRow(Frame &frame, int row);
    float footerHeight(const Section &section, const QString &connection);
    void check(const Section &section, const QString &connection);
    void checkItem(const Item &item, const QString &connection);
    [[noreturn]] void fail(int line, const QString &what) const;

    // An item's field, found by name once.
    struct FieldRef {
        Source *source = nullptr;
        const db::Field *field = nullptr;
        int index = 0;
    };

    const Report &m_report;
    std::unique_ptr<Document> m_doc;
    std::unordered_map<const Item *, FieldRef> m_fieldRefs;
    std::vector<float> m_growth, m_shift; // prepare()'s working space
    std::vector<int> m_itemOf;
    std::vector<std::unique_ptr<Source>> m_sources;
    std::vector<Frame> m_stack;
    std::vector<Parameter> m_parameters;
    float m_y = 0, m_bottom = 0;
    bool m_pageHasBody = false;
    bool m_finished = false;
    QString m_today;
};

} // namespace report
