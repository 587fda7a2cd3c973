#pragma once

#include "platform/controls/FieldLink.h"
#include "platform/controls/MaskedLineEdit.h"

namespace platform {

// Data-bound edit: shows its field's display text, and its edit text while it has the focus
// and may edit; edits under the field's edit mask. The first change puts the record set into
// edit (its before-edit rules may refuse: the text then stays as it was). Leaving the box, or
// a post, writes changed text into the field; text the mask refuses raises
// EditMask::InvalidInputMessage and the focus stays. Escape drops pending text.
class DBEdit : public MaskedLineEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget *parent = nullptr);

    void setDataSource(db::DataSource *source) { m_link.setSource(source); }
    db::DataSource *dataSource() const { return m_link.dataSource(); }
    void setDataField(const QString &name) { m_link.setFieldName(name); }
    const QString &dataField() const { return m_link.fieldName(); }
    db::Field *field() const { return m_link.field(); }

    // Writes changed text into the field. On refusal the focus comes here, the text stays
    // pending, and the error passes on.
    void updateRecord();
    // Shows the field's value again, dropping pending text.
    void reset();

protected:
    bool handleKey(QKeyEvent *event) override;
    bool changeAllowed() const override;
    void aboutToChange() override;
    void revert() override { reset(); }
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void refresh();

    FieldLink m_link;
    bool m_startingEdit = false;
    bool m_leftWithWindow = false; // the focus went to another window or a popup
};

} // namespace platform
