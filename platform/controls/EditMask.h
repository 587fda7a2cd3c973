#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace platform {

// The edit-mask engine shared by every masked edit and grid cell.
//
// A mask reads "M;S;B": the mask characters M, whether literal characters are
// stored ("1", the default) or not ("0"), and the character B shown in an
// unfilled position ("_" by default). In M:
//   0 digit, required          9 digit, optional          # digit or sign, optional
//   L letter, required         l letter, optional
//   A letter or digit, req.    a letter or digit, optional
//   C any character, required  c any character, optional
//   >  following letters upper case    <  lower case    <>  as typed
//   !  unfilled optional positions become leading blanks instead of trailing
//   \  the next character is a literal; any other character is a literal.
//
// The engine works on the "edit text": one character per position of the
// mask, literals in place and the blank character in every unfilled position.
// It is pure: it converts and checks text and never touches a widget. Qt's
// QLineEdit::inputMask reads 0 and 9 the other way round, hence our own.
class EditMask {
public:
    // Shown when edited text leaves a required position unfilled.
    static constexpr QStringView InvalidInputMessage =
        u"Valor de entrada inválido.  Use la tecla Escape para abandonar los cambios";

    enum class Kind { Literal, Digit, DigitOrSign, Letter, LetterOrDigit, AnyChar };
    enum class LetterCase { AsTyped, Upper, Lower };
    enum class TypingMode { Overwrite, Insert };

    struct Position {
        Kind kind = Kind::Literal;
        bool required = false;
        LetterCase letterCase = LetterCase::AsTyped;
        QChar literal; // the character of a literal position
    };

    // An edit text and the cursor after an editing step.
    struct Edit {
        QString text;
        int cursor = 0;
        friend bool operator==(const Edit &, const Edit &) = default;
    };

    EditMask() = default; // no mask: text passes unchanged
    explicit EditMask(const QString &mask);

    // Whether there is no mask at all (an empty mask string).
    bool isEmpty() const noexcept { return positions_.empty(); }
    const QString &maskString() const noexcept { return mask_; }
    QChar blankChar() const noexcept { return blank_; }
    bool savesLiterals() const noexcept { return saveLiterals_; }
    bool isRightAligned() const noexcept { return rightAligned_; }

    // Number of positions of the edit text.
    int length() const noexcept { return static_cast<int>(positions_.size()); }
    const Position &position(int pos) const { return positions_.at(static_cast<size_t>(pos)); }
    bool isLiteral(int pos) const;
    bool hasRequiredPositions() const noexcept;

    // Keystroke level: may ch be entered at pos, and in which case.
    bool acceptsChar(int pos, QChar ch) const;
    QChar transform(int pos, QChar ch) const;

    // The edit text with nothing filled: literals and blank characters.
    QString blankText() const;
    // The edit text that shows a stored value (an empty value shows blankText()).
    QString displayText(const QString &stored) const;
    // Whether no position of the edit text is filled.
    bool isBlank(QStringView editText) const;
    // The text to store for an edit text, or nothing when the text must be
    // refused with InvalidInputMessage (a required position unfilled, or a
    // character its position does not accept). Letters get the mask's case;
    // unfilled positions store as spaces; literals are kept when saved.
    //  - Without "!": trailing spaces are dropped; a box with nothing filled
    //    stores empty text, or is refused when the mask has a required position.
    //  - With "!": each run of positions between literals is right-aligned
    //    (its unfilled positions move to the front) before the required check,
    //    and the text keeps its full width, blanks included.
    std::optional<QString> storedText(QStringView editText) const;

    // Editing steps on an edit text. Positions run from 0 to length().
    int nextEditable(int from) const;     // first editable position >= from, or length()
    int previousEditable(int from) const; // last editable position < from, or -1
    std::optional<Edit> typeChar(QStringView editText, int cursor, QChar ch,
                                 TypingMode mode = TypingMode::Overwrite) const;
    std::optional<Edit> typeText(QStringView editText, int cursor, QStringView input,
                                 TypingMode mode = TypingMode::Overwrite) const;
    Edit backspace(QStringView editText, int cursor) const;
    Edit deleteChar(QStringView editText, int cursor) const;
    Edit eraseRange(QStringView editText, int from, int to) const;

private:
    struct Section { // a run of editable positions between literals
        int begin;
        int end;
    };

    void parse(QStringView maskChars);
    QString normalized(QStringView editText) const;
    bool isFilled(int pos, QChar ch) const;
    const Section *sectionOf(int pos) const;
    // Removes the editable positions in [from, to) of one section, moving the
    // section's later characters left when they fit their new positions.
    void removeInSection(QString &text, const Section &section, int from, int to) const;

    QString mask_;
    std::vector<Position> positions_;
    std::vector<Section> sections_;
    bool saveLiterals_ = true;
    QChar blank_ = u'_';
    bool rightAligned_ = false;
};

} // namespace platform
