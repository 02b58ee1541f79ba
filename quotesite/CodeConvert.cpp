#include "quotesite/CodeConvert.h"

#include <cstdint>
#include <dlfcn.h>
#include <mutex>
#include <string>

#include "platform/Folders.h"

namespace fs = std::filesystem;

namespace mirolanda::quotesite {
namespace {

using KodemorphFunction = int32_t (*)(const char* source, const char* target);

// The library is loaded once and never unloaded: another thread may be converting with it.
struct Loader {
    std::mutex mutex;
    fs::path path;  // empty: the program's library folder
    KodemorphFunction function = nullptr;
};

Loader& TheLoader() {
    static Loader loader;
    return loader;
}

std::string DlError() {
    const char* text = ::dlerror();
    return text ? std::string(" (") + text + ")" : std::string();
}

KodemorphFunction Load(const fs::path& library) {
    // An absolute path, so dlopen never searches the system's library folders instead.
    const fs::path absolute = fs::absolute(library);
    void* handle = ::dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        throw KodemorphError("変換ライブラリを読み込めません: " + absolute.string() + DlError());
    }
    ::dlerror();
    void* symbol = ::dlsym(handle, "Kodemorph");
    if (!symbol) {
        throw KodemorphError("変換ライブラリに関数 Kodemorph がありません: " + absolute.string() + DlError());
    }
    return reinterpret_cast<KodemorphFunction>(symbol);
}

KodemorphFunction TheFunction() {
    Loader& loader = TheLoader();
    std::lock_guard lock(loader.mutex);
    if (!loader.function) {
        const fs::path library = loader.path.empty()
                                     ? platform::LibraryFolder(platform::ExecutableFolder()) / "libkodemorph.so"
                                     : loader.path;
        loader.function = Load(library);
    }
    return loader.function;
}

}  // namespace

void ConvertToShiftJis(const fs::path& source, const fs::path& target) {
    KodemorphFunction kodemorph = TheFunction();
    // Paths are passed as the system's own bytes; the library's result carries nothing.
    kodemorph(source.c_str(), target.c_str());
}

void SetKodemorphPath(const fs::path& library) {
    Loader& loader = TheLoader();
    std::lock_guard lock(loader.mutex);
    loader.path = library;
    loader.function = nullptr;
}

}  // namespace mirolanda::quotesite
