// Handing a document or a URL to the desktop, which opens it with the user's program.
#pragma once

class QString;

namespace zento {

// A local path (relative ones against the working directory) or a URL with a scheme. Returns
// whether the desktop accepted it; a local file that does not exist is not handed on.
bool openWithDesktop(const QString& pathOrUrl);

} // namespace zento
