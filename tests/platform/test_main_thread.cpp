// Work handed to the GUI thread from workers (alerts and questions asked by batch
// output), and the log written from many threads.

#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/QtUiServices.h"
#include "tests/common/ModalResponder.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QRegularExpression>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Spins the GUI thread until the workers are done. A worker stuck waiting for the
// GUI thread would block join() forever, so a timeout ends the program instead.
void spinAndJoin(std::vector<std::thread> &workers, const std::atomic<int> &finished) {
  if (!spinUntil([&] { return finished.load() == int(workers.size()); }, 30000)) {
    std::fprintf(stderr, "workers did not finish: the GUI thread never served them\n");
    std::abort();
  }
  for (std::thread &worker : workers)
    worker.join();
}

}  // namespace

TEST(MainThread, WorkerAlertsAndQuestionsRunOnTheGuiThreadWhileTheWorkerWaits) {
  ScopedScriptedUi ui;
  ui.expectAlert();
  ui.answerYesNo(true);

  std::atomic<int> finished{0};
  bool workerIsMain = true;
  bool alertOnMain = false;
  bool questionOnMain = false;
  bool answer = false;
  std::vector<std::thread> workers;
  workers.emplace_back([&] {
    workerIsMain = MainThread::isMainThread();
    MainThread::runAndWait([&] {
      alertOnMain = MainThread::isMainThread();
      UiServices::instance().alert(QStringLiteral("\nSaved"));
    });
    MainThread::runAndWait([&] {
      questionOnMain = MainThread::isMainThread();
      answer = UiServices::instance().askYesNo(QStringLiteral("Stop sending?"));
    });
    ++finished;
  });
  spinAndJoin(workers, finished);

  EXPECT_FALSE(workerIsMain);
  EXPECT_TRUE(alertOnMain);
  EXPECT_TRUE(questionOnMain);
  EXPECT_TRUE(answer);
  EXPECT_EQ(ui.alertTexts(), QStringList({QStringLiteral("\nSaved"), QStringLiteral("Stop sending?")}));
}

TEST(MainThread, ExceptionsComeBackToTheCaller) {
  std::atomic<int> finished{0};
  std::string caught;
  std::vector<std::thread> workers;
  workers.emplace_back([&] {
    try {
      MainThread::runAndWait([] { throw std::runtime_error("disk full"); });
    } catch (const std::runtime_error &error) {
      caught = error.what();
    }
    ++finished;
  });
  spinAndJoin(workers, finished);
  EXPECT_EQ(caught, "disk full");

  // On the GUI thread the call is direct: done before runAndWait returns, without
  // any event loop turning, and exceptions pass straight through.
  EXPECT_TRUE(MainThread::isMainThread());
  bool ran = false;
  MainThread::runAndWait([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_THROW(MainThread::runAndWait([] { throw std::logic_error("bad"); }), std::logic_error);
}

TEST(MainThread, ManyWorkersAskAtOnceAndEachGetsItsAnswer) {
  constexpr int Workers = 4;
  constexpr int Questions = 5;
  ScopedScriptedUi ui;
  for (int i = 0; i < Workers * Questions; ++i)
    ui.answerYesNo(true);

  std::atomic<int> finished{0};
  std::atomic<int> yes{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < Workers; ++w) {
    workers.emplace_back([&, w] {
      for (int q = 0; q < Questions; ++q) {
        bool answer = false;
        MainThread::runAndWait([&] {
          answer = UiServices::instance().askYesNo(QStringLiteral("Worker %1, question %2").arg(w).arg(q));
        });
        if (answer)
          ++yes;
      }
      ++finished;
    });
  }
  spinAndJoin(workers, finished);
  EXPECT_EQ(yes.load(), Workers * Questions);
  EXPECT_EQ(ui.requests().size(), size_t(Workers * Questions));
}

TEST(MainThread, QtServicesAskedFromAWorkerShowTheRealQuestionOnTheGuiThread) {
  QtUiServices services;
  bool shownOnMain = false;
  QStringList buttons;
  ModalResponder responder([&](QWidget *modal) {
    shownOnMain = MainThread::isMainThread();
    auto *box = qobject_cast<QMessageBox *>(modal);
    ASSERT_NE(box, nullptr);
    for (QAbstractButton *button : box->buttons()) {
      buttons << button->text();
      if (button->text() == QStringLiteral("No"))
        button->click();
    }
  });

  std::atomic<int> finished{0};
  bool answer = true;
  std::vector<std::thread> workers;
  workers.emplace_back([&] {
    answer = services.askYesNo(QStringLiteral("Stop sending?"), QString());
    ++finished;
  });
  spinAndJoin(workers, finished);
  EXPECT_TRUE(shownOnMain);
  EXPECT_EQ(buttons.size(), 2);
  EXPECT_FALSE(answer);
}

TEST(Log, LinesFromManyThreadsArriveWholeAndUnchanged) {
  constexpr int Threads = 8;
  constexpr int Lines = 200;
  {
    ScopedLogCapture capture;
    std::vector<std::thread> writers;
    for (int t = 0; t < Threads; ++t) {
      writers.emplace_back([t] {
        for (int i = 0; i < Lines; ++i)
          Log::write(QStringLiteral("writer %1 line %2").arg(t).arg(i));
      });
    }
    for (std::thread &writer : writers)
      writer.join();
    const QStringList lines = capture.lines();
    ASSERT_EQ(lines.size(), Threads * Lines);
    QStringList sorted = lines;
    sorted.removeDuplicates();
    EXPECT_EQ(sorted.size(), Threads * Lines);
    // Each writer's lines keep their order.
    EXPECT_LT(lines.indexOf(QStringLiteral("writer 3 line 10")), lines.indexOf(QStringLiteral("writer 3 line 11")));
  }

  // Without a sink: standard error, one time-stamped line per message.
  testing::internal::CaptureStderr();
  std::vector<std::thread> writers;
  for (int t = 0; t < Threads; ++t) {
    writers.emplace_back([t] {
      for (int i = 0; i < Lines; ++i)
        Log::write(QStringLiteral("Find_Str_Case_Insensitive exception %1/%2 \u00e9").arg(t).arg(i));
    });
  }
  for (std::thread &writer : writers)
    writer.join();
  const QString written = QString::fromStdString(testing::internal::GetCapturedStderr());
  const QStringList lines = written.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), Threads * Lines);
  const QRegularExpression shape(QStringLiteral(
      R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} Find_Str_Case_Insensitive exception \d/\d+ é$)"));
  for (const QString &line : lines)
    ASSERT_TRUE(shape.match(line).hasMatch()) << line.toStdString();
}
