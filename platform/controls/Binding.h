#pragma once

#include "platform/controls/RecordSetModel.h"

#include <initializer_list>
#include <variant>

namespace db {
class DataSource;
}

namespace platform {

class DBCheckBox;
class DBEdit;
class DBGrid;
class DBLookupComboBox;
class DBMemo;
class DBNavigator;
class DBRadioGroup;
class DBTexto;

// One row of a window's binding table: a data-aware control and the field it shows. The
// control's type is checked when the table is written: only data-aware controls fit.
struct Binding {
    using Control = std::variant<DBEdit *, DBLookupComboBox *, DBRadioGroup *, DBCheckBox *,
                                 DBMemo *, DBTexto *, DBGrid *, DBNavigator *>;
    Control control;
    const char *field = nullptr; // none for grids and navigators
    bool upperCase = false;      // letters typed are entered in upper case (edits)
};

// Binds every control of the table to the data source and its field.
void bind(db::DataSource &source, std::initializer_list<Binding> table);

// A grid column with its title centred, as every grid of the program shows them.
DBGridColumn gridColumn(const char *field, const char *title, int width, bool centred = false);

} // namespace platform
