// A folder of its own under the system's temporary directory, removed with all it holds when the
// object goes: on every way out of a command, Ctrl+C included (see InterruptWatch).
#pragma once

#include "datafile/dataerror.h"

#include <filesystem>

namespace zento::cli {

class ScratchDirectory {
public:
    // A new empty folder only this user may enter (WriteFailed when none can be made).
    static Result<ScratchDirectory> Create();

    ScratchDirectory(ScratchDirectory&& other) noexcept;
    ScratchDirectory& operator=(ScratchDirectory&& other) noexcept;
    ~ScratchDirectory();

    const std::filesystem::path& path() const { return m_path; }

private:
    explicit ScratchDirectory(std::filesystem::path path) : m_path(std::move(path)) {}
    void Remove();

    std::filesystem::path m_path; // empty once moved from
};

} // namespace zento::cli
