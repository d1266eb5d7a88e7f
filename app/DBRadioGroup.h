#pragma once
// A group of radio items bound to a field: each item stands for a stored value; the item
// whose value equals the field's text is checked, none when no item matches.
#include <memory>
#include <string>
#include <vector>

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>

#include "app/RecordLink.h"

namespace vantrelo {

struct TRadioItem {
    const char16_t* Caption;
    const char16_t* Value;
};

class TDBRadioGroup : public QGroupBox, public TBoundControl {
public:
    TDBRadioGroup(TRecordLink& link, std::u16string fieldName, const QString& title, const std::vector<TRadioItem>& items,
                  int columns, QWidget* parent);
    ~TDBRadioGroup() override;

    const std::u16string& FieldName() const noexcept { return FFieldName; }
    int ItemIndex() const { return FButtons.checkedId(); }  // -1 when none is checked
    QRadioButton& Item(int index) { return *FItems.at(index); }
    void Reload() override;

private:
    void Clicked(int index);

    TRecordLink& FLink;
    std::u16string FFieldName;
    std::vector<TRadioItem> FValues;
    QButtonGroup FButtons;
    std::vector<std::unique_ptr<QRadioButton>> FItems;
};

} // namespace vantrelo
