// Costs of the pieces the folder collection leans on: queueing listing tasks,
// posting pool tasks, and URL-encoding remote paths.
#include "foundation/locked_queue.h"
#include "foundation/thread_pool.h"
#include "foundation/url_encoding.h"

#include <benchmark/benchmark.h>

#include <atomic>

namespace {

const std::string kListingTask = "3-|||||-/我的资源/电影/2024-|||||-0-|||||-1";

void BM_LockedQueuePushPop(benchmark::State& state) {
  LockedQueue queue;
  std::string out;
  for (auto _ : state) {
    queue.PushText(kListingTask);
    queue.PopText(out);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_LockedQueuePushPop);

// The dispatcher pushes unique texts: the duplicate walk grows with the queue.
void BM_LockedQueueUniquePush(benchmark::State& state) {
  for (auto _ : state) {
    LockedQueue queue;
    for (int i = 0; i < state.range(0); ++i)
      queue.PushText(kListingTask + std::to_string(i), true);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LockedQueueUniquePush)->Range(16, 1024)->Complexity();

std::atomic<long> s_done{0};
void CountTask(int, int) {
  ++s_done;
}

void BM_ThreadPoolPost(benchmark::State& state) {
  ThreadPool* pool = ThreadPool::Create(1, 10);
  for (auto _ : state)
    ThreadPool::Post(pool, CountTask, 1, 2);
  while (!ThreadPool::IsIdle(pool)) {
  }
  ThreadPool::Shutdown(pool);
}
BENCHMARK(BM_ThreadPoolPost);

void BM_UrlEncodeText(benchmark::State& state) {
  const std::string path = "/我的资源/电影/2024 新片 (合集)/第01集 'final'+extra.mp4";
  for (auto _ : state)
    benchmark::DoNotOptimize(UrlEncodeText(path));
}
BENCHMARK(BM_UrlEncodeText);

}  // namespace
