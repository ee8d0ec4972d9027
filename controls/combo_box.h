#pragma once

#include <QComboBox>

// A drop-down list whose Click runs when the person picks an entry (even the
// one already selected) or when the program selects a different entry.
class ComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit ComboBox(QWidget* parent = nullptr);

    int listIndex() const { return currentIndex(); }
    // Selects entry `index`; raises Click only when the selection changes.
    void setListIndex(int index);
    QString List(int index) const { return itemText(index); }

signals:
    void Click();

#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
protected:
    // A screen reader on Qt before 6.5 ignores every change of a closed
    // list's entry; a focus on the entry in the drop-down it speaks.
    bool event(QEvent* event) override;
#endif
};
