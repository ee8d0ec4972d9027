#pragma once

#include <QGroupBox>

// A group frame whose caption stands in its top border line, so that the
// controls inside sit where the window design places them.
class Frame : public QGroupBox
{
    Q_OBJECT

public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};
