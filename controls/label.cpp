#include "label.h"

#include "accessible_factory.h"
#include "text_ink.h"

#include <QAccessibleWidget>
#include <QPainter>

namespace {

class LabelInterface : public QAccessibleWidget
{
public:
    explicit LabelInterface(Label* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text text) const override
    {
        if (text == QAccessible::Name)
            return widget()->accessibleName().isEmpty() ? static_cast<const Label*>(widget())->text()
                                                        : widget()->accessibleName();
        return QAccessibleWidget::text(text);
    }

    // The control it is the caption of, as Qt tells it for its own labels.
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        QWidget* buddy = static_cast<const Label*>(widget())->buddy();
        if ((match & QAccessible::Labelled) && buddy)
            found.append({QAccessible::queryAccessibleInterface(buddy), QAccessible::Labelled});
        return found;
    }
};

}  // namespace

Label::Label(QWidget* parent)
    : QLabel(parent)
{
    installAccessibleInterface<Label, LabelInterface>();
}

void Label::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect();
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(QPointF(room.left(), inkBaseline(*this, room.top(), text())), text());
}
