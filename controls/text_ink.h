#pragma once

#include <QtGlobal>

class QString;
class QWidget;

// Where a line of text stands so that all of its ink shows: the dots of
// capital umlauts rise above the font's ascent at some sizes, and a widget
// cuts off whatever its text draws above its top.
//
// The baseline, in `widget`'s own logical coordinates, at which a line of
// `text` in the widget's font has the top of its ink on the first whole
// device pixel at or below `top`. The ink is that of `text` together with
// "ÄÖÜgpy", drawn at the widget's display scale, so that captions of one
// font stand on one line whatever letters they hold.
qreal inkBaseline(const QWidget& widget, int top, const QString& text);
