#include "platform/controls/EditMask.h"

#include <QtTest>

#include <optional>

using platform::EditMask;

namespace {

// ">" followed by n "c": free upper-case text of up to n characters.
QString upper(int n) {
    return QStringLiteral(">") + QString(n, u'c');
}

// Types the input into an empty box from its first position, as a user
// would, and leaves the box: the stored text, or nothing when refused.
std::optional<QString> typeAndLeave(const EditMask &mask, const QString &typed) {
    const std::optional<EditMask::Edit> edit = mask.typeText(mask.blankText(), 0, typed);
    if (!edit)
        return std::nullopt;
    return mask.storedText(edit->text);
}

const QString Refused = QStringLiteral("<refused>");

QString orRefused(const std::optional<QString> &text) {
    return text ? *text : Refused;
}

} // namespace

class TestEditMask : public QObject {
    Q_OBJECT
private slots:
    void refusalMessage();
    void parse_data();
    void parse();
    void installationMasks_data();
    void installationMasks();
    void storedFromEditText_data();
    void storedFromEditText();
    void displayText_data();
    void displayText();
    void roundTrip_data();
    void roundTrip();
    void acceptsAndTransforms_data();
    void acceptsAndTransforms();
    void typing_data();
    void typing();
    void insertMode();
    void erasing_data();
    void erasing();
    void noMask();
};

void TestEditMask::refusalMessage() {
    QCOMPARE(EditMask::InvalidInputMessage.toString(),
             QString::fromUtf8("Valor de entrada inv\xC3\xA1lido.  Use la tecla Escape para "
                               "abandonar los cambios"));
}

void TestEditMask::parse_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("length");
    QTest::addColumn<QChar>("blank");
    QTest::addColumn<bool>("saveLiterals");
    QTest::addColumn<bool>("rightAligned");
    QTest::addColumn<bool>("required");
    QTest::addColumn<QString>("blankText");

    QTest::addRow("expedient") << "0000000000;0;_" << 10 << QChar(u'_') << false << false << true
                               << "__________";
    QTest::addRow("no fields") << "00000" << 5 << QChar(u'_') << true << false << true << "_____";
    QTest::addRow("blank space") << "00;0; " << 2 << QChar(u' ') << false << false << true << "  ";
    QTest::addRow("right aligned")
        << "!999999999;1; " << 9 << QChar(u' ') << true << true << false << "         ";
    QTest::addRow("upper case free")
        << upper(40) << 40 << QChar(u'_') << true << false << false << QString(40, u'_');
    QTest::addRow("date") << "!99/99/9999;1;_" << 10 << QChar(u'_') << true << true << false
                          << "__/__/____";
    QTest::addRow("empty blank field")
        << "00;1;" << 2 << QChar(u'_') << true << false << true << "__";
    QTest::addRow("only save field")
        << "99-99;0" << 5 << QChar(u'_') << false << false << false << "__-__";
    QTest::addRow("escaped literals")
        << "\\0\\9-00;1;*" << 5 << QChar(u'*') << true << false << true << "09-**";
    QTest::addRow("escaped separator")
        << "\\;99;0;x" << 3 << QChar(u'x') << false << false << false << ";xx";
    QTest::addRow("case marks take no position")
        << ">L<l<>Aa" << 4 << QChar(u'_') << true << false << true << "____";
    QTest::addRow("empty") << "" << 0 << QChar(u'_') << true << false << false << "";
}

void TestEditMask::parse() {
    QFETCH(QString, mask);
    const EditMask m(mask);
    QFETCH(int, length);
    QCOMPARE(m.length(), length);
    QFETCH(QChar, blank);
    QCOMPARE(m.blankChar(), blank);
    QFETCH(bool, saveLiterals);
    QCOMPARE(m.savesLiterals(), saveLiterals);
    QFETCH(bool, rightAligned);
    QCOMPARE(m.isRightAligned(), rightAligned);
    QFETCH(bool, required);
    QCOMPARE(m.hasRequiredPositions(), required);
    QFETCH(QString, blankText);
    QCOMPARE(m.blankText(), blankText);
    QCOMPARE(m.isEmpty(), mask.isEmpty());
}

// The installation's masks: what the user types and what is stored.
void TestEditMask::installationMasks_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");

    const QString expedient = QStringLiteral("0000000000;0;_");
    QTest::addRow("EXPEDIENTE ten digits") << expedient << "1000000002"
                                           << "1000000002";
    QTest::addRow("EXPEDIENTE nine digits") << expedient << "100000000" << Refused;
    QTest::addRow("EXPEDIENTE emptied") << expedient << "" << Refused;
    QTest::addRow("EXPEDIENTE eleven digits") << expedient << "10000000021" << Refused;
    QTest::addRow("EXPEDIENTE letter") << expedient << "10000A0002" << Refused;

    QTest::addRow("CODIGO_POSTAL five digits") << "00000"
                                               << "28001"
                                               << "28001";
    QTest::addRow("CODIGO_POSTAL four digits") << "00000"
                                               << "2800" << Refused;
    QTest::addRow("CODIGO_POSTAL emptied") << "00000"
                                           << "" << Refused;

    QTest::addRow("CODIGO_PROVINCIA two digits") << "00;0; "
                                                 << "08"
                                                 << "08";
    QTest::addRow("CODIGO_PROVINCIA one digit") << "00;0; "
                                                << "8" << Refused;

    const QString municipality = QStringLiteral("9999999999;0; ");
    QTest::addRow("CODIGO_MUNICIPIO three digits") << municipality << "123"
                                                   << "123";
    QTest::addRow("CODIGO_MUNICIPIO ten digits") << municipality << "0801930001"
                                                 << "0801930001";
    QTest::addRow("CODIGO_MUNICIPIO emptied") << municipality << ""
                                              << "";

    const QString ct = QStringLiteral("!999999999;1; ");
    QTest::addRow("MAPRED_CT three digits") << ct << "123"
                                            << "      123";
    QTest::addRow("MAPRED_CT nine digits") << ct << "123456789"
                                           << "123456789";
    QTest::addRow("MAPRED_CT emptied") << ct << ""
                                       << "         ";

    QTest::addRow("MAPRED_LINEA two digits") << "!00;1; "
                                             << "07"
                                             << "07";
    QTest::addRow("MAPRED_LINEA one digit") << "!00;1; "
                                            << "7" << Refused;
    QTest::addRow("MAPRED_LINEA emptied") << "!00;1; "
                                          << "" << Refused;
    QTest::addRow("MAPRED_UTM_X six digits") << "!000000;1; "
                                             << "440123"
                                             << "440123";
    QTest::addRow("MAPRED_UTM_X five digits") << "!000000;1; "
                                              << "44012" << Refused;
    QTest::addRow("MAPRED_UTM_Y seven digits") << "!0000000;1; "
                                               << "4474123"
                                               << "4474123";
    QTest::addRow("MAPRED_UTM_Y six digits") << "!0000000;1; "
                                             << "447412" << Refused;

    QTest::addRow("LOCALIZA_CALLE") << upper(40) << "calle de la fuente"
                                    << "CALLE DE LA FUENTE";
    QTest::addRow("LOCALIZA_CALLE accents") << upper(40) << QString::fromUtf8("avda. españa, ñu")
                                            << QString::fromUtf8("AVDA. ESPAÑA, ÑU");
    QTest::addRow("LOCALIZA_CALLE trailing spaces") << upper(40) << "mayor   "
                                                    << "MAYOR";
    QTest::addRow("LOCALIZA_CALLE leading space kept") << upper(40) << " mayor"
                                                       << " MAYOR";
    QTest::addRow("LOCALIZA_CALLE full") << upper(40) << QString(40, u'x') << QString(40, u'X');
    QTest::addRow("LOCALIZA_CALLE too long") << upper(40) << QString(41, u'x') << Refused;
    QTest::addRow("LOCALIZA_CALLE emptied") << upper(40) << ""
                                            << "";
    QTest::addRow("LOCALIZA_PORTAL") << upper(6) << "12 bis"
                                     << "12 BIS";
    QTest::addRow("LOCALIZA_PORTAL too long") << upper(6) << "1234567" << Refused;
    QTest::addRow("SOLICITANTE_NOMBRE") << upper(50) << QString(50, u'n') << QString(50, u'N');
    QTest::addRow("SOLICITANATE_NIF") << upper(13) << "12345678z"
                                      << "12345678Z";
    QTest::addRow("SOLICITANTE_TELEFONO too long") << upper(13) << "91 123 45 67 8" << Refused;
    QTest::addRow("SOLICITANTE_NOTA") << upper(115) << QString(115, u'a') << QString(115, u'A');
    QTest::addRow("CGP_UBICACION_OTRO") << upper(30) << "fachada"
                                        << "FACHADA";
    QTest::addRow("CGP_LOCALIZACION") << upper(60) << QString(60, u'l') << QString(60, u'L');
    QTest::addRow("MEDIDA_LOCALIZACION_OTRO") << upper(32) << QString(33, u'm') << Refused;
    QTest::addRow("MEDIDA_DIRECCION") << upper(81) << QString(81, u'd') << QString(81, u'D');

    // Branch, search and reference-editor masks.
    QTest::addRow("branch field") << ">cccccc;0; "
                                  << "1 a"
                                  << "1 A";
    QTest::addRow("branch field emptied") << ">cccccc;0; "
                                          << ""
                                          << "";
    QTest::addRow("expedient search") << ">cccccccccc;0; "
                                      << "ab12"
                                      << "AB12";
    QTest::addRow("installer postal code") << "00000"
                                           << "4600" << Refused;
    QTest::addRow("date emptied") << "!99/99/9999;1;_"
                                  << ""
                                  << "  /  /    ";
    QTest::addRow("date full") << "!99/99/9999;1;_"
                               << "01/02/2024"
                               << "01/02/2024";
    QTest::addRow("date digits only") << "!99/99/9999;1;_"
                                      << "01022024"
                                      << "01/02/2024";
    QTest::addRow("date short fields") << "!99/99/9999;1;_"
                                       << "1/2/2024"
                                       << " 1/ 2/2024";
}

void TestEditMask::installationMasks() {
    QFETCH(QString, mask);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(orRefused(typeAndLeave(EditMask(mask), typed)), stored);
}

// Edit texts as a control may hold them (after pasting, setting, erasing).
void TestEditMask::storedFromEditText_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("editText");
    QTest::addColumn<QString>("stored");

    QTest::addRow("blanks left in free text") << upper(10) << "CALLE MAYOR"
                                              << "CALLE MAYO"; // longer text is cut
    QTest::addRow("trailing blank chars") << upper(16) << "CALLE MAYOR_____"
                                          << "CALLE MAYOR";
    QTest::addRow("lower case raised") << upper(3) << "abc"
                                       << "ABC";
    QTest::addRow("lower case lowered")
        << "<LLL" << QString::fromUtf8("ÁBC") << QString::fromUtf8("ábc");
    QTest::addRow("as typed after <>") << ">L<>L"
                                       << "ab"
                                       << "Ab";
    QTest::addRow("short text padded") << upper(5) << "ab"
                                       << "AB";
    QTest::addRow("gap kept as space") << "999;0;_"
                                       << "1_3"
                                       << "1 3";
    QTest::addRow("letter in digit position") << "00000"
                                              << "12a45" << Refused;
    QTest::addRow("digit in letter position") << "LL"
                                              << "a1" << Refused;
    QTest::addRow("letter or digit") << "AA"
                                     << "a1"
                                     << "a1";
    QTest::addRow("sign") << "#99"
                          << "-12"
                          << "-12";
    QTest::addRow("sign not in digit") << "999"
                                       << "-12" << Refused;
    QTest::addRow("space in digit position") << "0000"
                                             << "12 4" << Refused;
    QTest::addRow("required any char") << "CC;1;_"
                                       << "a_" << Refused;
    QTest::addRow("required any char space") << "CC;1;_"
                                             << "a "
                                             << "a";
    QTest::addRow("literals saved") << "99-99;1;_"
                                    << "12-34"
                                    << "12-34";
    QTest::addRow("literals not saved") << "99-99;0;_"
                                        << "12-34"
                                        << "1234";
    QTest::addRow("literal in edit text ignored") << "99-99;0;_"
                                                  << "12x34"
                                                  << "1234";
    QTest::addRow("half filled, literals saved") << "99-99;1;_"
                                                 << "12-__"
                                                 << "12-";
    QTest::addRow("half filled, not saved") << "99-99;0;_"
                                            << "12-__"
                                            << "12";
    QTest::addRow("gap before literal") << "99-99;1;_"
                                        << "__-34"
                                        << "  -34";
    QTest::addRow("escaped literals") << "\\0\\9-00;1;_"
                                      << "09-12"
                                      << "09-12";
    QTest::addRow("escaped literals not saved") << "\\0\\9-00;0;_"
                                                << "09-12"
                                                << "12";
    QTest::addRow("right aligned from the left") << "!999999999;1; "
                                                 << "12       "
                                                 << "       12";
    QTest::addRow("right aligned with gap") << "!999999999;1;_"
                                            << "1_3______"
                                            << "      1 3";
    QTest::addRow("right aligned not saved") << "!999;0;_"
                                             << "1__"
                                             << "  1";
    QTest::addRow("right aligned per field") << "!99/99/9999;1;_"
                                             << "1_/2_/2024"
                                             << " 1/ 2/2024";
    QTest::addRow("right aligned meets required") << "!9900;1;_"
                                                  << "12__"
                                                  << "  12";
    QTest::addRow("right aligned required short") << "!9900;1;_"
                                                  << "1___" << Refused;
    QTest::addRow("right aligned free text") << "!>cccc;1;_"
                                             << "ab__"
                                             << "  AB";
    QTest::addRow("no required, emptied") << "9999;1;_"
                                          << "____"
                                          << "";
    QTest::addRow("required, emptied") << "0000;1;_"
                                       << "____" << Refused;
    QTest::addRow("spaces only") << upper(4) << "    "
                                 << "";
}

void TestEditMask::storedFromEditText() {
    QFETCH(QString, mask);
    QFETCH(QString, editText);
    QFETCH(QString, stored);
    QCOMPARE(orRefused(EditMask(mask).storedText(editText)), stored);
}

void TestEditMask::displayText_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");

    QTest::addRow("expedient") << "0000000000;0;_"
                               << "1000000002"
                               << "1000000002";
    QTest::addRow("expedient null") << "0000000000;0;_"
                                    << ""
                                    << "__________";
    QTest::addRow("postal code") << "00000"
                                 << "28001"
                                 << "28001";
    QTest::addRow("municipality short") << "9999999999;0; "
                                        << "123"
                                        << "123       ";
    QTest::addRow("CT stored") << "!999999999;1; "
                               << "      123"
                               << "      123";
    QTest::addRow("CT short value") << "!999999999;1; "
                                    << "123"
                                    << "      123";
    QTest::addRow("CT blank shown") << "!999999999;1;_"
                                    << "      123"
                                    << "______123";
    QTest::addRow("CT null") << "!999999999;1; "
                             << ""
                             << "         ";
    QTest::addRow("free text") << upper(8) << "AB CD"
                               << "AB CD___";
    QTest::addRow("free text too long") << upper(3) << "ABCD"
                                        << "ABC";
    QTest::addRow("free text case as stored") << upper(4) << "ab"
                                              << "ab__";
    QTest::addRow("date empty") << "!99/99/9999;1;_"
                                << "  /  /    "
                                << "__/__/____";
    QTest::addRow("date") << "!99/99/9999;1;_"
                          << "01/02/2024"
                          << "01/02/2024";
    QTest::addRow("literals not saved") << "99-99;0;_"
                                        << "1234"
                                        << "12-34";
    QTest::addRow("literals not saved, short") << "99-99;0;_"
                                               << "12"
                                               << "12-__";
    QTest::addRow("right aligned, not saved") << "!99-99;0;_"
                                              << "12"
                                              << "__-12";
    QTest::addRow("literals saved, short") << "99-99;1;_"
                                           << "12-"
                                           << "12-__";
}

void TestEditMask::displayText() {
    QFETCH(QString, mask);
    QFETCH(QString, stored);
    const EditMask m(mask);
    QFETCH(QString, shown);
    const QString actual = m.displayText(stored);
    QCOMPARE(actual, shown);
    QCOMPARE(actual.size(), m.length());
}

// A stored value shown in a box and left unchanged stores the same text.
void TestEditMask::roundTrip_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("stored");

    QTest::addRow("expedient") << "0000000000;0;_"
                               << "5000000000";
    QTest::addRow("postal code") << "00000"
                                 << "46001";
    QTest::addRow("province") << "00;0; "
                              << "46";
    QTest::addRow("municipality") << "9999999999;0; "
                                  << "4625";
    QTest::addRow("CT") << "!999999999;1; "
                        << "     4567";
    QTest::addRow("CT empty") << "!999999999;1; "
                              << "         ";
    QTest::addRow("line") << "!00;1; "
                          << "03";
    QTest::addRow("UTM X") << "!000000;1; "
                           << "725123";
    QTest::addRow("UTM Y") << "!0000000;1; "
                           << "4372123";
    QTest::addRow("street") << upper(40) << "PZA. DEL AYUNTAMIENTO 1";
    QTest::addRow("branch") << ">cccccc;0; "
                            << "2 B";
    QTest::addRow("date") << "!99/99/9999;1;_"
                          << "31/12/2023";
    QTest::addRow("date empty") << "!99/99/9999;1;_"
                                << "  /  /    ";
}

void TestEditMask::roundTrip() {
    QFETCH(QString, mask);
    QFETCH(QString, stored);
    const EditMask m(mask);
    QCOMPARE(orRefused(m.storedText(m.displayText(stored))), stored);
}

void TestEditMask::acceptsAndTransforms_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("pos");
    QTest::addColumn<QChar>("ch");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QChar>("entered");

    QTest::addRow("digit") << "0" << 0 << QChar(u'5') << true << QChar(u'5');
    QTest::addRow("digit refuses letter") << "0" << 0 << QChar(u'a') << false << QChar(u'a');
    QTest::addRow("digit refuses space") << "9" << 0 << QChar(u' ') << false << QChar(u' ');
    QTest::addRow("digit refuses sign") << "9" << 0 << QChar(u'-') << false << QChar(u'-');
    QTest::addRow("sign plus") << "#" << 0 << QChar(u'+') << true << QChar(u'+');
    QTest::addRow("sign minus") << "#" << 0 << QChar(u'-') << true << QChar(u'-');
    QTest::addRow("sign digit") << "#" << 0 << QChar(u'7') << true << QChar(u'7');
    QTest::addRow("letter") << "L" << 0 << QChar(0xF1) << true << QChar(0xF1);
    QTest::addRow("letter refuses digit") << "l" << 0 << QChar(u'1') << false << QChar(u'1');
    QTest::addRow("alnum digit") << "A" << 0 << QChar(u'1') << true << QChar(u'1');
    QTest::addRow("alnum refuses dash") << "a" << 0 << QChar(u'-') << false << QChar(u'-');
    QTest::addRow("any char dash") << "C" << 0 << QChar(u'-') << true << QChar(u'-');
    QTest::addRow("any char space") << "c" << 0 << QChar(u' ') << true << QChar(u' ');
    QTest::addRow("any char refuses blank char")
        << "c;1;_" << 0 << QChar(u'_') << false << QChar(u'_');
    QTest::addRow("any char refuses control") << "c" << 0 << QChar(u'\t') << false << QChar(u'\t');
    QTest::addRow("upper a") << ">c" << 0 << QChar(u'a') << true << QChar(u'A');
    QTest::addRow("upper n tilde") << ">c" << 0 << QChar(0xF1) << true << QChar(0xD1);
    QTest::addRow("upper digit unchanged") << ">c" << 0 << QChar(u'1') << true << QChar(u'1');
    QTest::addRow("lower") << "<c" << 0 << QChar(0xD1) << true << QChar(0xF1);
    QTest::addRow("as typed") << "<>c" << 0 << QChar(u'a') << true << QChar(u'a');
    QTest::addRow("upper then as typed") << ">c<>c" << 1 << QChar(u'a') << true << QChar(u'a');
    QTest::addRow("upper then lower") << ">c<c" << 1 << QChar(u'A') << true << QChar(u'a');
    QTest::addRow("literal position") << "9-9" << 1 << QChar(u'-') << false << QChar(u'-');
    QTest::addRow("outside") << "9" << 1 << QChar(u'1') << false << QChar(u'1');
}

void TestEditMask::acceptsAndTransforms() {
    QFETCH(QString, mask);
    QFETCH(int, pos);
    QFETCH(QChar, ch);
    const EditMask m(mask);
    QFETCH(bool, accepted);
    QCOMPARE(m.acceptsChar(pos, ch), accepted);
    QFETCH(QChar, entered);
    QCOMPARE(m.transform(pos, ch), entered);
}

void TestEditMask::typing_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("editText");
    QTest::addColumn<int>("cursor");

    QTest::addRow("digits") << "0000000000;0;_"
                            << "123"
                            << "123_______" << 3;
    QTest::addRow("no room") << "00;0;_"
                             << "123" << Refused << -1;
    QTest::addRow("refused letter") << "00000"
                                    << "2a" << Refused << -1;
    QTest::addRow("upper case as typed") << upper(6) << "abc"
                                         << "ABC___" << 3;
    QTest::addRow("literal skipped") << "99-99;0;_"
                                     << "1234"
                                     << "12-34" << 5;
    QTest::addRow("literal typed over") << "99-99;0;_"
                                        << "12-34"
                                        << "12-34" << 5;
    QTest::addRow("cursor after literal") << "99-99;0;_"
                                          << "12"
                                          << "12-__" << 3;
    QTest::addRow("literal closes field") << "!99/99/9999;1;_"
                                          << "1/"
                                          << "1_/__/____" << 3;
    QTest::addRow("short fields") << "!99/99/9999;1;_"
                                  << "1/2/2024"
                                  << "1_/2_/2024" << 10;
}

void TestEditMask::typing() {
    QFETCH(QString, mask);
    QFETCH(QString, typed);
    QFETCH(QString, editText);
    const EditMask m(mask);
    const std::optional<EditMask::Edit> edit = m.typeText(m.blankText(), 0, typed);
    QCOMPARE(edit ? edit->text : Refused, editText);
    QFETCH(int, cursor);
    if (edit)
        QCOMPARE(edit->cursor, cursor);
}

void TestEditMask::insertMode() {
    const EditMask m(QStringLiteral(">cccccc"));
    using Mode = EditMask::TypingMode;

    auto inserted = m.typeChar(u"ACD___", 1, u'b', Mode::Insert);
    QVERIFY(inserted);
    QCOMPARE(inserted->text, QStringLiteral("ABCD__"));
    QCOMPARE(inserted->cursor, 2);

    QVERIFY(!m.typeChar(u"ABCDEF", 2, u'x', Mode::Insert)); // full: nothing moves out
    auto overwritten = m.typeChar(u"ABCDEF", 2, u'x', Mode::Overwrite);
    QVERIFY(overwritten);
    QCOMPARE(overwritten->text, QStringLiteral("ABXDEF"));

    // A character that would land on a position of another kind: overwrite.
    const EditMask mixed(QStringLiteral("LL00;1;_"));
    auto noShift = mixed.typeChar(u"AB1_", 0, u'C', Mode::Insert);
    QVERIFY(noShift);
    QCOMPARE(noShift->text, QStringLiteral("CB1_"));
}

void TestEditMask::erasing_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("editText");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("cursor");

    const QString free = upper(6);
    QTest::addRow("backspace moves left") << free << "ABCD__"
                                          << "backspace" << 2 << 0 << "ACD___" << 1;
    QTest::addRow("backspace at start") << free << "ABCD__"
                                        << "backspace" << 0 << 0 << "ABCD__" << 0;
    QTest::addRow("delete moves left") << free << "ABCD__"
                                       << "delete" << 1 << 0 << "ACD___" << 1;
    QTest::addRow("delete at end") << free << "ABCDEF"
                                   << "delete" << 6 << 0 << "ABCDEF" << 6;
    QTest::addRow("backspace over literal") << "99-99;1;_"
                                            << "12-34"
                                            << "backspace" << 3 << 0 << "1_-34" << 1;
    QTest::addRow("delete on literal") << "99-99;1;_"
                                       << "12-34"
                                       << "delete" << 2 << 0 << "12-4_" << 2;
    QTest::addRow("erase across fields") << "99-99;1;_"
                                         << "12-34"
                                         << "erase" << 1 << 4 << "1_-4_" << 1;
    QTest::addRow("erase all") << "!99/99/9999;1;_"
                               << "01/02/2024"
                               << "erase" << 0 << 10 << "__/__/____" << 0;
    QTest::addRow("mixed kinds blank instead") << "LL00;1;_"
                                               << "AB12"
                                               << "backspace" << 2 << 0 << "A_12" << 1;
}

void TestEditMask::erasing() {
    QFETCH(QString, mask);
    QFETCH(QString, editText);
    QFETCH(QString, operation);
    QFETCH(int, from);
    QFETCH(int, to);
    const EditMask m(mask);
    EditMask::Edit edit;
    if (operation == u"backspace")
        edit = m.backspace(editText, from);
    else if (operation == u"delete")
        edit = m.deleteChar(editText, from);
    else
        edit = m.eraseRange(editText, from, to);
    QFETCH(QString, result);
    QCOMPARE(edit.text, result);
    QFETCH(int, cursor);
    QCOMPARE(edit.cursor, cursor);
}

void TestEditMask::noMask() {
    const EditMask m;
    QVERIFY(m.isEmpty());
    QCOMPARE(m.length(), 0);
    QCOMPARE(m.displayText(QStringLiteral("abc ")), QStringLiteral("abc "));
    QCOMPARE(m.storedText(u"abc "), std::optional<QString>(QStringLiteral("abc ")));
    QVERIFY(!m.acceptsChar(0, u'a'));
}

QTEST_APPLESS_MAIN(TestEditMask)
#include "tst_editmask.moc"
