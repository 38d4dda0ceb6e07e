#pragma once

// Qt ends a worker inside QThread::wait with a futex of its own, which the thread sanitizer
// cannot see. These marks tell it what that wait guarantees: all the worker did before its
// end happens before whatever follows a successful wait. They cost nothing in other builds.

#if defined(__SANITIZE_THREAD__)
#define TRIVO_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TRIVO_TSAN 1
#endif
#endif

#ifdef TRIVO_TSAN
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
#endif

class QThread;

// Called on the worker's thread as the last thing it does.
inline void MarkWorkerEnd(QThread *worker)
{
#ifdef TRIVO_TSAN
    __tsan_release(worker);
#else
    (void)worker;
#endif
}

// Called by the thread that waited for the worker to end.
inline void MarkWorkerJoined(QThread *worker)
{
#ifdef TRIVO_TSAN
    __tsan_acquire(worker);
#else
    (void)worker;
#endif
}
