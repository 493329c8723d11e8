// Two faults planted where the program's own hand-overs run: in a slot that
// Qt's event loop calls (a timer callback), so that every report has Qt's
// frames below ours, as a report of a fault in a queued call or a slot of the
// program would.
//
//   planted_faults race   a global written by a plain thread and by the slot,
//                         with nothing ordering the two writes
//   planted_faults leak   a block the slot allocates and drops
//
// Under a sanitizer that can see these faults the program is stopped with a
// report, or its exit status says so; it exits 0 only when nothing was seen.

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

int g_plantedRace = 0;
// Relaxed: tells the slot the thread has written, without ordering the writes.
std::atomic<bool> g_threadWrote{false};
char* volatile g_plantedLeak = nullptr;

[[gnu::noinline]] void WritePlantedRace(int value) {
  g_plantedRace = value;
}

[[gnu::noinline]] void AllocatePlantedLeak() {
  g_plantedLeak = new char[64];
  std::memset(g_plantedLeak, 1, 64);
  g_plantedLeak = nullptr;
}

int PlantRace(QCoreApplication& app) {
  std::thread writer([] {
    WritePlantedRace(1);
    g_threadWrote.store(true, std::memory_order_relaxed);
  });
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &app, [&app] {
    if (g_threadWrote.load(std::memory_order_relaxed)) {
      WritePlantedRace(2);
      app.quit();
    }
  });
  timer.start(1);
  const int status = app.exec();
  writer.join();
  // Read, so that the writes are kept.
  std::printf("planted_faults: %d\n", g_plantedRace);
  return status;
}

int PlantLeak(QCoreApplication& app) {
  QTimer::singleShot(0, &app, [&app] {
    AllocatePlantedLeak();
    app.quit();
  });
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc == 2 && std::strcmp(argv[1], "race") == 0) {
    return PlantRace(app);
  }
  if (argc == 2 && std::strcmp(argv[1], "leak") == 0) {
    return PlantLeak(app);
  }
  std::fprintf(stderr, "usage: planted_faults race|leak\n");
  return 2;
}
