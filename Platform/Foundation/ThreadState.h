// Per-thread state of the library: made on a thread's first use, destroyed
// when the thread ends. Not C++ thread_local: this tool chain destroys such
// objects after the storage that holds them has been freed, so their
// destructors would run on freed memory. The state lives on the heap instead,
// found through a key of the threads library, whose destructor deletes it.
// Internal to the library.
#pragma once

#include <pthread.h>

template <class TState>
TState &AfxThreadState()
{
    static const pthread_key_t key = [] {
        pthread_key_t made;
        pthread_key_create(&made, [](void *pState) { delete static_cast<TState *>(pState); });
        return made;
    }();
    TState *pState = static_cast<TState *>(pthread_getspecific(key));
    if (pState == NULL)
    {
        pState = new TState;
        pthread_setspecific(key, pState);
    }
    return *pState;
}
