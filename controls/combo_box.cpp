#include "combo_box.h"

#include "accessible_factory.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
namespace {

// A screen reader reads a closed list's entry from the list's selected item,
// which Qt before 6.5 does not offer it, or else from the list's text, which
// is the entry here. Otherwise as Qt's own interface of a list that cannot
// be edited: the drop-down is its one child, and it opens and closes.
class ComboBoxInterface : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ComboBoxInterface(ComboBox* comboBox)
        : QAccessibleWidget(comboBox, QAccessible::ComboBox)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(comboBox()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == comboBox()->view() ? 0 : -1;
    }

    QString text(QAccessible::Text text) const override
    {
        if (text == QAccessible::Name || text == QAccessible::Value)
            return comboBox()->currentText();
        return QAccessibleWidget::text(text);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = comboBox()->view()->isVisible();
        return state;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& actionName) override
    {
        if (actionName != showMenuAction() && actionName != pressAction())
            return;
        if (comboBox()->view()->isVisible())
            comboBox()->hidePopup();
        else
            comboBox()->showPopup();
    }

    // The text: the entry, read only, with the caret before it.
    QString text(int startOffset, int endOffset) const override
    {
        return comboBox()->currentText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(comboBox()->currentText().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    ComboBox* comboBox() const { return static_cast<ComboBox*>(widget()); }
};


}  // namespace
#endif

ComboBox::ComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, &ComboBox::Click);
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    installAccessibleInterface<ComboBox, ComboBoxInterface>();
#endif
}

void ComboBox::setListIndex(int index)
{
    if (index == currentIndex())
        return;
    setCurrentIndex(index);
    emit Click();
}

#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
// A key or the wheel on the closed list; the handlers have run by then, and
// may have put the list on another entry.
bool ComboBox::event(QEvent* event)
{
    const int entryBefore = currentIndex();
    const bool handled = QComboBox::event(event);
    const bool byKeyOrWheel = event->type() == QEvent::KeyPress || event->type() == QEvent::Wheel;
    if (byKeyOrWheel && currentIndex() != entryBefore && hasFocus() && QAccessible::isActive()) {
        QAccessibleEvent focus(view(), QAccessible::Focus);
        focus.setChild(currentIndex());
        QAccessible::updateAccessibility(&focus);
    }
    return handled;
}
#endif
