#include "platform/controls/Binding.h"

#include "platform/controls/DBCheckBox.h"
#include "platform/controls/DBEdit.h"
#include "platform/controls/DBGrid.h"
#include "platform/controls/DBLookupComboBox.h"
#include "platform/controls/DBMemo.h"
#include "platform/controls/DBNavigator.h"
#include "platform/controls/DBRadioGroup.h"
#include "platform/controls/DBTexto.h"

namespace platform {

void bind(db::DataSource &source, std::initializer_list<Binding> table) {
    for (const Binding &row : table)
        std::visit(
            [&](auto *control) {
                if constexpr (requires { control->setCharCase(MaskedLineEdit::CharCase::Upper); })
                    if (row.upperCase)
                        control->setCharCase(MaskedLineEdit::CharCase::Upper);
                control->setDataSource(&source);
                if constexpr (requires { control->setDataField(QString()); })
                    control->setDataField(QLatin1String(row.field));
            },
            row.control);
}

DBGridColumn gridColumn(const char *field, const char *title, int width, bool centred) {
    DBGridColumn c;
    c.fieldName = QLatin1String(field);
    c.title = QString::fromUtf8(title);
    c.width = width;
    if (centred)
        c.alignment = Qt::AlignCenter;
    c.titleAlignment = Qt::AlignCenter;
    return c;
}

} // namespace platform
