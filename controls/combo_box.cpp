#include "combo_box.h"

ComboBox::ComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, &ComboBox::Click);
}

void ComboBox::setListIndex(int index)
{
    if (index == currentIndex())
        return;
    setCurrentIndex(index);
    emit Click();
}
