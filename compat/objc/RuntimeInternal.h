// The runtime's own records behind the opaque types of <objc/runtime.h>. Only the runtime's files
// include this.
//
// Implements: the class, ivar, method, protocol and selector records and the tables that hold them.
// Lacks: nothing the runtime needs.
// Deviations: the tables are never destroyed (classes may be disposed by static destructors).
#pragma once

#include "objc/message.h"
#include "objc/runtime.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

struct objc_selector {
    std::string name;
};

struct objc_ivar {
    std::string name;
    std::string types;  // as given, never parsed
    ptrdiff_t offset;
    size_t size;
};

struct objc_method {
    SEL name;
    IMP imp;
    std::string types;  // as given, never parsed
};

struct objc_protocol {
    std::string name;
    bool registered = false;
};

namespace qvcompat::runtime {

struct ClassPair;

// One class or metaclass. The structure (methods, ivars, protocols, flags) is guarded by the
// runtime's lock; `holds` counts what keeps the pair's memory alive.
struct ClassRecord final : objc_class {
    ClassRecord* superclass = nullptr;
    ClassPair* pair = nullptr;
    std::string name;
    bool meta = false;
    bool registered = false;
    bool disposed = false;
    size_t instanceSize = sizeof(Class);  // ivars end here; the class pointer comes first
    size_t alignment = alignof(Class);    // the largest ivar alignment
    std::vector<std::unique_ptr<objc_ivar>> ivars;
    std::unordered_map<SEL, std::unique_ptr<objc_method>> methods;
    std::vector<Protocol*> protocols;
    // Caches replaced by a newer one; a send may still read them, so they go with the class only.
    // Guarded by the cache lock.
    std::vector<const objc::detail::MethodCache*> retiredCaches;

    ClassRecord() = default;
    ClassRecord(const ClassRecord&) = delete;
    ClassRecord& operator=(const ClassRecord&) = delete;
    ~ClassRecord();
};

// A class and its metaclass, made and freed together. The pair lives while its name is in the table
// and while instances or subclass pairs of it live.
struct ClassPair {
    ClassRecord cls;
    ClassRecord meta;
    std::atomic<long> holds{1};  // the table's, dropped by objc_disposeClassPair
};

inline ClassRecord* record(Class cls) { return static_cast<ClassRecord*>(cls); }

// Every table of classes and protocols, behind one reader-writer lock. Made on first use and never
// destroyed, so classes can be made during static initialisation and disposed during static
// destruction in any order.
struct Runtime {
    std::shared_mutex lock;
    std::mutex cacheLock;  // serialises the filling of method caches; never held with `lock`
    std::unordered_map<std::string, ClassRecord*> classes;  // built and registered pairs, by name
    std::unordered_map<std::string, std::unique_ptr<objc_protocol>> protocols;

    static Runtime& instance();
};

// The method for `name` from `cls` upward, or null. Takes the runtime's lock.
objc_method* findMethod(ClassRecord* cls, SEL name);

// Keeps a pair alive / lets it go; the last release frees it and releases its superclass's pair.
void holdPair(ClassPair* pair);
void releasePair(ClassPair* pair);

// Reports a programming error on standard error and aborts.
[[noreturn]] void fatal(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace qvcompat::runtime
