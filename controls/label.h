#pragma once

#include <QLabel>

// A caption or a display of text: one line of plain text, left and top
// aligned, whose ink stands wholly inside the label, the dots of capital
// umlauts included. Assistive technology reads its own text as its name,
// also when that text is empty: left to Qt, an empty label would be read
// under the title of the frame around it.
class Label : public QLabel
{
    Q_OBJECT

public:
    explicit Label(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
