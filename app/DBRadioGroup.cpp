#include "app/DBRadioGroup.h"

#include <QGridLayout>

namespace vantrelo {

TDBRadioGroup::TDBRadioGroup(TRecordLink& link, std::u16string fieldName, const QString& title,
                             const std::vector<TRadioItem>& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), FLink(link), FFieldName(std::move(fieldName)), FValues(items) {
    auto grid = std::make_unique<QGridLayout>();
    grid->setContentsMargins(8, 2, 8, 2);
    grid->setSpacing(2);
    int rows = int(items.size() + columns - 1) / columns;
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto button = std::make_unique<QRadioButton>(QString::fromStdU16String(items[i].Caption), this);
        FButtons.addButton(button.get(), int(i));
        // Filled column by column.
        grid->addWidget(button.get(), int(i) % rows, int(i) / rows);
        FItems.push_back(std::move(button));
    }
    setLayout(grid.release());  // the group owns its layout
    connect(&FButtons, &QButtonGroup::idClicked, this, [this](int index) { Guarded(FLink.Dialogs(), [&] { Clicked(index); }); });
    FLink.Add(*this);
}

TDBRadioGroup::~TDBRadioGroup() {
    // The buttons go before the group box, so they leave its layout first.
    for (auto& b : FItems) FButtons.removeButton(b.get());
    FItems.clear();
}

void TDBRadioGroup::Reload() {
    std::u16string value = FLink.Field(FFieldName).AsString();
    FButtons.setExclusive(false);  // lets every item be unchecked
    for (std::size_t i = 0; i < FItems.size(); ++i) FItems[i]->setChecked(value == FValues[i].Value);
    FButtons.setExclusive(true);
}

void TDBRadioGroup::Clicked(int index) {
    if (!FLink.BeginEdit()) {
        Reload();
        return;
    }
    FLink.Field(FFieldName).SetAsString(FValues.at(index).Value);
    Reload();
    FLink.Changed();
}

} // namespace vantrelo
