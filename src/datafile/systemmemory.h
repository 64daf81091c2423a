// Hints to the system about memory, where it takes them; elsewhere they do nothing.
#pragma once

#include <cstddef>

namespace zento {

// A text of many megabytes is written into fresh memory; where the system gives huge pages on
// request (Linux), asking for them saves most of the page faults.
void AdviseHugePages(const char* data, std::size_t size);

} // namespace zento
