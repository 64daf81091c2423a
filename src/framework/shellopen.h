// Handing a document to the desktop, which opens it with the user's program.
#pragma once

#include <functional>

class QString;

namespace zento {

// Opens a local file (relative paths against the working directory) with the desktop; failed
// runs, now or a moment later, when the desktop has no program that opens it.
using DesktopOpener = std::function<void(const QString& path, std::function<void()> failed)>;
void openWithDesktop(const QString& path, std::function<void()> failed);

} // namespace zento
