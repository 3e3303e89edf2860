#pragma once

#include <QLabel>
#include <QString>

namespace kw {

// The coloured heading strip that opens most windows ("   Serienlängen-Analyse").
QLabel* HeadingStrip(const QString& text, QWidget* parent, const QString& name);

} // namespace kw
