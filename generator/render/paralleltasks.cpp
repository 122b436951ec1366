#include "paralleltasks.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

void ParallelTasks::run(int count, int threads, const std::function<void(int index, int worker)> &task)
{
    const int workers = std::max(1, std::min(threads, count));
    std::atomic<int> next {0};
    auto work = [&](int worker) {
        for (int index = next++; index < count; index = next++)
            task(index, worker);
    };
    std::vector<std::thread> pool;
    for (int worker = 1; worker < workers; ++worker)
        pool.emplace_back(work, worker);
    work(0);
    for (std::thread &thread : pool)
        thread.join();
}

int ParallelTasks::defaultThreads()
{
    return std::max(1, int(std::thread::hardware_concurrency()));
}

int ParallelTasks::resolve(int threads)
{
    return threads > 0 ? threads : defaultThreads();
}
