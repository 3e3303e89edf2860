#pragma once

#include <QString>

namespace kw {

class Application;

// Runs the real start-up, types a short permanence on the pad and writes a PNG of every
// window into the folder; returns the process exit code.
int TakeScreenshots(Application& app, const QString& folder);

} // namespace kw
