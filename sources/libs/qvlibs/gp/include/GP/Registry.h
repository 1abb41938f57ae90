// A facade over a settings store. The store itself is a separate implementation object, installed
// by whoever provides one; every use of it is serialised by one recursive mutex.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace QV::GP {

class Registry {
public:
    // What get() reads; the store interprets it.
    enum eGetMode : int {
        eGetModeValue = 1,  // one value
        eGetModeList = 2,   // a list of strings (the preferred languages, for example)
    };

    // The settings store behind the facade.
    class Impl {
    public:
        virtual ~Impl() = default;
        // Fills `values` for `key`; false when the store has nothing for it.
        virtual bool get(const char* key, std::vector<std::string>& values, eGetMode mode) = 0;
        // Called once before the store is destroyed.
        virtual void shutdown() = 0;
    };

    // The store's answer; false when no store is installed.
    static bool get(const char* key, std::vector<std::string>& values, eGetMode mode);

    // Installs `impl`, shutting down and destroying a store installed before.
    static void install(std::unique_ptr<Impl> impl);

    // Shuts down and destroys the installed store, if any. Always true.
    static bool deInit();

    static bool isInstalled();

private:
    static Impl* s_pImpl;  // owned; null when none is installed
};

namespace DETAIL {

// Serialises every use of the registry's store.
struct Autolock {
    static std::recursive_mutex s_mutex;
};

}  // namespace DETAIL

}  // namespace QV::GP
