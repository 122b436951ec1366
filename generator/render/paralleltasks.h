#pragma once

#include <functional>

// Runs numbered tasks on a few threads and joins them before returning, so
// work stays inside the call that started it. Tasks must not depend on which
// thread runs them or in which order; each gets the number of its worker
// (0 .. threads − 1) to pick per-thread scratch space.
class ParallelTasks
{
public:
    // Runs task(index, worker) for index 0 .. count − 1 on at most threads
    // threads, the calling thread included.
    static void run(int count, int threads, const std::function<void(int index, int worker)> &task);

    // One thread per core the machine reports, at least one.
    static int defaultThreads();
    // threads when positive, defaultThreads() otherwise.
    static int resolve(int threads);
};
