#pragma once

#include <QLabel>
#include <QString>

namespace kw {

// The coloured heading strip that opens most windows ("   Serienlängen-Analyse").
QLabel* HeadingStrip(const QString& text, QWidget* parent, const QString& name);

// A sunken value panel with centred text, as the windows show figures and slider values.
QLabel* SunkenPanel(const QString& text, const QString& name, QWidget* parent);

} // namespace kw
