#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

// The definition of a report as read from a project file (reports/FORMATO.md). Lengths are
// in points (1/72 inch); the file gives them in millimetres.
namespace report {

// The three families of the standard PDF Type 1 fonts.
enum class FontFamily : quint8 { Helvetica, Times, Courier };

struct FontSpec {
    FontFamily family = FontFamily::Helvetica;
    float size = 9;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontSpec &) const = default;
};

enum class HAlign : quint8 { Left, Center, Right };
enum class VAlign : quint8 { Top, Middle, Bottom };

// What a text wider than its box does: wraps onto more lines and grows its band, or stays on
// one line with a smaller letter, down to kShrinkFloor points, and only past that ends in "…".
enum class Fit : quint8 { Wrap, Shrink };
constexpr float kShrinkFloor = 6;

struct Item {
    enum class Kind : quint8 { Text, Field, Line, Rect, Image, PageNumber, Date, Param, Count };
    Kind kind = Kind::Text;
    float x = 0, y = 0, width = 0, height = 0; // a line runs from (x, y) to (x+width, y+height)
    FontSpec font;
    HAlign align = HAlign::Left;
    VAlign valign = VAlign::Top;
    Fit fit = Fit::Wrap;  // page numbers always keep to one line
    bool stretch = false; // rectangles and vertical lines take the band's final height
    float thickness = 0.5f;
    quint32 fill = 0;   // 0xAARRGGBB, alpha 0 = none
    QString text;       // fixed text, page-number, date or count format
    QString textOne;    // count: the format when the count is 1 (singular)
    QString connection; // field, count: the data connection (empty = the enclosing detail's)
    QString field;      // field: the field's name; param: the parameter's name
    QString suffix;     // field: printed after the value, only when there is a value (units)
    int image = -1;     // image: index into Report::images
    int line = 0;       // line of the project file, for messages
};

struct Band {
    float height = 0;
    std::vector<Item> items;
    bool present = false;
};

// A detail repeats its children once per row of its connection; the report's body is a
// detail without a connection that runs once.
struct Section {
    enum class Kind : quint8 { Band, Detail };
    Kind kind = Kind::Band;
    Band band;           // Kind::Band
    QString connection;  // Kind::Detail
    Band header, footer; // Kind::Detail: header repeated on each page the rows reach
    Band empty;          // Kind::Detail: in place of the rows when there are none
    std::vector<Section> children;
    bool moves = false;   // moves its record set row by row (sub-details or other connections)
    bool newPage = false; // each row after the first starts a new page
    int line = 0;         // Kind::Detail: line of the project file, for messages
};

struct PageSetup {
    float width = 595.276f, height = 841.89f; // A4 portrait
    float left = 42.52f, top = 42.52f, right = 42.52f, bottom = 42.52f;
    bool landscape = false;
};

struct Report {
    QString file;      // the project file, for messages
    QString name;      // full name, "Boletín de la instalación"
    QString component; // component name, "Boletin"
    PageSetup page;
    Band pageHeader, pageFooter;
    Section body; // title, bands, details and summary in order
    std::vector<QImage> images;
};

struct Project {
    QString file;
    std::vector<Report> reports;
};

// Reads a project file; raises ReportError naming the file and line of the first fault.
Project loadProject(const QString &path);

} // namespace report
