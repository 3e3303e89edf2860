#pragma once

class QWidget;

namespace kw {

// "Als PNG speichern...": asks for a file name and writes what `picture` shows as a PNG
// image; a failure is reported in a German message over `window`.
void SavePictureAsPng(QWidget* window, QWidget* picture);

} // namespace kw
