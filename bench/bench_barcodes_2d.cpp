// Encodes 10,000 different 60-byte texts as QR Code (level M, automatic version and
// mask) and as DataMatrix (automatic modes and size) on one thread, and prints symbols
// per second for each. Run it on one core: taskset -c 0 amends_bench_barcodes_2d

#include "barcode/encoding/DataMatrixEncoder.h"
#include "barcode/encoding/QRSymbolEncoder.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

int main() {
  const int count = 10000;
  std::vector<std::string> texts;
  texts.reserve(count);
  for (int i = 0; i < count; ++i) {
    std::string text = "https://amends.example/sorry?card=" + std::to_string(1000000 + i) + "&from=Sam&to=Alex";
    text.resize(60, 'x');
    texts.push_back(text);
  }
  // The thread's processor time: the figure does not depend on what else the machine
  // is running (wall-clock time is printed beside it).
  auto cpuNow = [] {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
  };
  using Clock = std::chrono::steady_clock;

  auto qr = std::make_unique<QRSymbolEncoder>();
  long modules = 0;
  auto start = Clock::now();
  double cpuStart = cpuNow();
  for (const std::string &text : texts) {
    if (!qr->EncodeData(1, 0, false, -1, text.data(), int64_t(text.size()))) {
      std::fprintf(stderr, "QR: a text was refused\n");
      return 1;
    }
    modules += qr->m_byModuleData[0][0];
  }
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  double cpu = cpuNow() - cpuStart;
  std::printf("QR Code (level M, version %d): %.0f symbols per second of processor time (%.0f by the clock)\n",
              int(qr->m_nVersion), count / cpu, count / seconds);

  start = Clock::now();
  cpuStart = cpuNow();
  for (const std::string &text : texts) {
    const DataMatrixSymbol symbol =
        ecc200_encode(0, 0, nullptr, int(text.size()), reinterpret_cast<const uint8_t *>(text.data()));
    if (!symbol.ok()) {
      std::fprintf(stderr, "DataMatrix: %s\n", symbol.error.c_str());
      return 1;
    }
    modules += symbol.grid[0];
  }
  seconds = std::chrono::duration<double>(Clock::now() - start).count();
  cpu = cpuNow() - cpuStart;
  std::printf("DataMatrix: %.0f symbols per second of processor time (%.0f by the clock)\n", count / cpu,
              count / seconds);
  return modules < 0;
}
