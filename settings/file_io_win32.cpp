// Atomic replacement and the executable's folder on Windows.
#include "settings/file_io.h"

#include "app/win32_api.h"

#include <algorithm>
#include <atomic>

namespace nimbrel {
namespace {

class FileHandle {
  public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    bool close() {
        if (!valid()) return true;
        const bool ok = CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE h_;
};

bool fail(std::string* error, const std::string& what) {
    if (error) *error = what + " (error " + std::to_string(GetLastError()) + ")";
    return false;
}

} // namespace

bool write_file_atomically(const std::string& path, const Bytes& bytes, std::string* error) {
    static std::atomic<unsigned> counter{0};
    const std::string temp =
        path + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    FileHandle file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return fail(error, "cannot create " + temp);

    auto abandon = [&](const std::string& what) {
        const DWORD code = GetLastError();
        file.close();
        DeleteFileA(temp.c_str());
        SetLastError(code);
        return fail(error, what);
    };

    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return abandon("cannot write " + path);
        done += written;
    }
    if (!FlushFileBuffers(file.get())) return abandon("cannot flush " + path);
    if (!file.close()) return abandon("cannot write " + path);
    if (!MoveFileExA(temp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return abandon("cannot replace " + path);
    return true;
}

std::string executable_folder() {
    char buffer[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return ".\\";
    std::string path(buffer, n);
    return path.substr(0, path.find_last_of("\\/") + 1);
}

} // namespace nimbrel
