#pragma once

#include <functional>

class QHBoxLayout;
class QWidget;

namespace kw {

// "Als PNG speichern...": asks for a file name and writes what `picture` shows as a PNG
// image; a failure is reported in a German message over `window`.
void SavePictureAsPng(QWidget* window, QWidget* picture);

// The buttons below a picture: "Als PNG speichern..." (calls `save`) and "Schließen".
QHBoxLayout* PictureButtons(QWidget* window, const std::function<void()>& save);

} // namespace kw
