#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>

#include <string_view>

namespace kw {

// The coloured heading strip that opens most windows ("   Serienlängen-Analyse").
QLabel* HeadingStrip(const QString& text, QWidget* parent, const QString& name);

// The engines' texts are UTF-8; the windows show them as Qt strings.
QString FromUtf8(std::string_view text);

// A label whose text wraps; the bold one for the captions of the tool windows.
QLabel* WrappedLabel(const QString& text, const QString& name, QWidget* parent);
QLabel* BoldLabel(const QString& text, const QString& name, QWidget* parent);

// A sunken value panel with centred text, as the windows show figures and slider values.
QLabel* SunkenPanel(const QString& text, const QString& name, QWidget* parent);

// The small "?" button that opens the help at the window's page.
QPushButton* HelpButton(int helpContext, const QString& name, QWidget* parent);

} // namespace kw
