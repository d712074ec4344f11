#pragma once
// A font with its colour, as drawing events hand it to their handlers.
#include <QColor>
#include <QFont>

struct TFont {
    QFont Font;
    QColor Color = Qt::black;
};
