// The platform core's thread-local key, made by the library start and deleted by its stop.
// Whether the key exists is kept apart from its value: 0 is a valid key.
#pragma once

#include <pthread.h>

namespace QV::GP {

class TLS {
public:
    // The first call creates the key (the module is started even when the system refuses one);
    // later calls do nothing.
    static void init();
    // Deletes the key when there is one and clears the started mark.
    static void deInit();

    static bool isInitialized() { return s_bIsInit; }
    static bool hasKey() { return s_bKeyCreated; }
    // The key; meaningful only while hasKey().
    static pthread_key_t getKey() { return s_aThreadFlagKey; }

    // The system calls behind init and deInit; tests replace them to reach the refusal and the
    // key 0 on purpose. Returns the calls that were in place.
    struct tKeyCalls {
        int (*create)(pthread_key_t* key, void (*destructor)(void*));
        int (*remove)(pthread_key_t key);
    };
    static tKeyCalls setKeyCalls(const tKeyCalls& calls);

private:
    static pthread_key_t s_aThreadFlagKey;
    static bool s_bKeyCreated;
    static bool s_bIsInit;
    static tKeyCalls s_keyCalls;
};

}  // namespace QV::GP
