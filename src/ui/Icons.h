#pragma once

#include <QIcon>
#include <QString>

namespace kw {

// An icon of the desktop theme where it has one, else the picture bundled under
// resources/icons/<name>.svg.
QIcon AppIcon(const QString& name);

} // namespace kw
