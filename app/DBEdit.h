#pragma once
// A one-line text box bound to a field of the linked record.
#include <string>

#include <QLineEdit>

#include "app/RecordLink.h"

namespace vantrelo {

class TDBEdit : public QLineEdit, public TBoundControl {
public:
    // A read-only box only shows the value.
    TDBEdit(TRecordLink& link, std::u16string fieldName, bool editable, QWidget* parent);

    const std::u16string& FieldName() const noexcept { return FFieldName; }
    void Reload() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool NumericField();
    void Edited(const QString& text);

    TRecordLink& FLink;
    std::u16string FFieldName;
};

} // namespace vantrelo
