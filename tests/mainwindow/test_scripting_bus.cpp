// The document on the bus: a script lists, adds and removes card objects and names them
// by ranges and neighbours with gdbus on a private session bus (dbus-run-session);
// hostile values are refused; the main window's undo and redo buttons follow what a
// script changes; without a session bus the program goes on without it.

#include "mainwindow/DocumentScriptingBus.h"

#include "tests/mainwindow/main_window_fixture.h"

#include "mainwindow/DrawWindow.h"

#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QMainWindow>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QToolButton>

#include <memory>
#include <stdexcept>

namespace {

bool haveBusTools() {
  return !QStandardPaths::findExecutable(QStringLiteral("dbus-run-session")).isEmpty() &&
         !QStandardPaths::findExecutable(QStringLiteral("gdbus")).isEmpty();
}

// A private session bus: dbus-run-session keeps it up while its child, a shell waiting
// on its standard input, runs.
class PrivateBus {
public:
  bool start() {
    m_process.start(QStringLiteral("dbus-run-session"),
                    {QStringLiteral("--"), QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                     QStringLiteral("echo \"$DBUS_SESSION_BUS_ADDRESS\"; exec cat >/dev/null")});
    if (!m_process.waitForStarted(10000)) return false;
    while (!m_process.canReadLine())
      if (!m_process.waitForReadyRead(10000)) return false;
    address = QString::fromUtf8(m_process.readLine()).trimmed();
    return !address.isEmpty();
  }
  ~PrivateBus() {
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(10000)) {
      m_process.kill();
      m_process.waitForFinished(5000);
    }
  }

  QString address;

private:
  QProcess m_process;
};

struct GdbusResult {
  int exitCode = -1;
  QString output;
  QString error;
};

// The private bus of a test suite and this process's connection to it.
struct SuiteBus {
  static void start() {
    if (!haveBusTools()) return;
    bus = std::make_unique<PrivateBus>();
    if (!bus->start()) {
      bus.reset();
      return;
    }
    connection = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(bus->address, QStringLiteral("amends-scripting-test")));
  }
  static void stop() {
    if (connection) {
      QDBusConnection::disconnectFromBus(QStringLiteral("amends-scripting-test"));
      connection.reset();
    }
    bus.reset();
  }
  static bool up() { return connection && connection->isConnected(); }

  // Calls `method` of the document with gdbus, serving the call from this thread's
  // event loop meanwhile.
  static GdbusResult call(const QString &method, const QStringList &arguments = {}) {
    QProcess gdbus;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus->address);
    gdbus.setProcessEnvironment(environment);
    QStringList all = {
        QStringLiteral("call"),          QStringLiteral("--session"),
        QStringLiteral("--dest"),        DocumentScriptingBus::ServiceName,
        QStringLiteral("--object-path"), DocumentScriptingBus::ObjectPath,
        QStringLiteral("--method"),      DocumentScriptingBus::InterfaceName + QLatin1Char('.') + method};
    all += arguments;
    gdbus.start(QStringLiteral("gdbus"), all);
    GdbusResult result;
    if (!spinUntil([&] { return gdbus.state() == QProcess::NotRunning; }, 20000)) {
      gdbus.kill();
      gdbus.waitForFinished();
      ADD_FAILURE() << "gdbus did not finish";
      return result;
    }
    result.exitCode = gdbus.exitStatus() == QProcess::NormalExit ? gdbus.exitCode() : -1;
    result.output = QString::fromUtf8(gdbus.readAllStandardOutput()).trimmed();
    result.error = QString::fromUtf8(gdbus.readAllStandardError()).trimmed();
    return result;
  }

  static std::unique_ptr<PrivateBus> bus;
  static std::unique_ptr<QDBusConnection> connection;
};

std::unique_ptr<PrivateBus> SuiteBus::bus;
std::unique_ptr<QDBusConnection> SuiteBus::connection;

class ScriptingBusTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { SuiteBus::start(); }
  static void TearDownTestSuite() { SuiteBus::stop(); }

  void SetUp() override {
    if (!SuiteBus::up()) GTEST_SKIP() << "no private session bus (dbus-run-session, gdbus)";
    document = std::make_unique<QLNDocument>();
    bus = DocumentScriptingBus::registerDocument(document.get(), *SuiteBus::connection);
    ASSERT_NE(bus, nullptr);
    EXPECT_TRUE(bus->ownsServiceName());
  }
  void TearDown() override { document.reset(); }  // takes the bus object with it

  static GdbusResult call(const QString &method, const QStringList &arguments = {}) {
    return SuiteBus::call(method, arguments);
  }

  // The message of the exception a direct call throws, "" when it throws none.
  static QString refusal(const std::function<void()> &action) {
    try {
      action();
    } catch (const std::runtime_error &e) {
      return QString::fromUtf8(e.what());
    }
    return QString();
  }

  std::unique_ptr<QLNDocument> document;
  DocumentScriptingBus *bus = nullptr;
};

// The running main window with its document on the private bus.
class ScriptedMainWindowTest : public MainWindowTest {
protected:
  static void SetUpTestSuite() { SuiteBus::start(); }
  static void TearDownTestSuite() { SuiteBus::stop(); }

  void SetUp() override {
    MainWindowTest::SetUp();
    if (!SuiteBus::up()) GTEST_SKIP() << "no private session bus (dbus-run-session, gdbus)";
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    controller->window()->show();
    document = session->document();
    ASSERT_NE(DocumentScriptingBus::registerDocument(document, *SuiteBus::connection), nullptr);
  }

  QLNWindowController *controller = nullptr;
  QLNDocument *document = nullptr;
};

}  // namespace

TEST_F(ScriptingBusTest, AScriptListsAddsAndRemovesCardObjectsWithGdbus) {
  GdbusResult r = call(QStringLiteral("Keys"));
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  EXPECT_TRUE(r.output.contains(QStringLiteral("'textAreas'"))) << r.output.toStdString();

  // A text, then a red circle after it (the circles are empty: appended).
  r = call(QStringLiteral("Insert"),
           {QStringLiteral("textAreas"), QStringLiteral("0"),
            QStringLiteral("{'bounds': <[10.0, 12.0, 120.0, 30.0]>, 'text': <'We are sorry'>}")});
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  EXPECT_EQ(r.output, QStringLiteral("(0,)"));
  r = call(QStringLiteral("Insert"),
           {QStringLiteral("circles"), QStringLiteral("0"),
            QStringLiteral("{'bounds': <[20, 50, 40, 40]>, 'fillColor': <(uint16 65535, uint16 0, uint16 0)>}")});
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  EXPECT_EQ(r.output, QStringLiteral("(1,)"));

  ASSERT_EQ(document->graphics().size(), 2);
  auto *text = dynamic_cast<QLNText *>(document->graphics().at(0).get());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Text_contents()->string, QStringLiteral("We are sorry"));
  EXPECT_EQ(text->bounds(), QRectF(10, 12, 120, 30));
  const QLNGraphicPtr circle = document->graphics().at(1);
  EXPECT_EQ(circle->Get_shape_type(), QStringLiteral("C"));
  EXPECT_EQ(circle->fillColor(), QColor(255, 0, 0));

  // Listing: the elements with their properties, and their count.
  r = call(QStringLiteral("Elements"), {QStringLiteral("circles")});
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  EXPECT_TRUE(r.output.contains(QStringLiteral("'class': <'Shape_Control'>"))) << r.output.toStdString();
  EXPECT_TRUE(r.output.contains(QStringLiteral("'frontIndex': <1>")));
  EXPECT_TRUE(r.output.contains(QStringLiteral("'fillColor': <(uint16 65535, uint16 0, uint16 0)>")))
      << r.output.toStdString();
  EXPECT_TRUE(r.output.contains(QStringLiteral("'bounds': <[20.0, 50.0, 40.0, 40.0]>")));
  r = call(QStringLiteral("Elements"), {QStringLiteral("textAreas")});
  EXPECT_TRUE(r.output.contains(QStringLiteral("'text': <'We are sorry'>"))) << r.output.toStdString();
  r = call(QStringLiteral("Count"), {QStringLiteral("graphics")});
  EXPECT_EQ(r.output, QStringLiteral("(2,)"));

  // An index that names no circle: the range error, and nothing changes.
  r = call(QStringLiteral("Insert"), {QStringLiteral("circles"), QStringLiteral("5"), QStringLiteral("{}")});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_TRUE(r.error.contains(
      QStringLiteral("org.amends.Amends.Error.Range: Could not find the given circle in the graphics.")))
      << r.error.toStdString();
  r = call(QStringLiteral("Remove"), {QStringLiteral("lines"), QStringLiteral("0")});
  EXPECT_TRUE(r.error.contains(QStringLiteral("Could not find the given line in the graphics.")));
  r = call(QStringLiteral("Insert"),
           {QStringLiteral("rectangles"), QStringLiteral("0"), QStringLiteral("{'bounds': <[1e300, 0.0, 1.0, 1.0]>}")});
  EXPECT_TRUE(r.error.contains(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"))) << r.error.toStdString();
  r = call(QStringLiteral("Count"), {QStringLiteral("ovals")});
  EXPECT_TRUE(r.error.contains(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs")));
  EXPECT_EQ(document->graphics().size(), 2);

  // Removing the text leaves the circle; the removal is undoable.
  r = call(QStringLiteral("Remove"), {QStringLiteral("textAreas"), QStringLiteral("0")});
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  EXPECT_EQ(document->graphics(), QLNGraphicList{circle});
  QCoreApplication::processEvents();
  document->undoManager()->undo();
  EXPECT_EQ(document->graphics().size(), 2);
}

TEST_F(ScriptingBusTest, HostileValuesAreRefusedAndChangeNothing) {
  const auto insert = [this](const QString &key, int index, const QVariantMap &properties) {
    return refusal([&] { bus->Insert(key, index, properties); });
  };
  using Map = QVariantMap;
  EXPECT_FALSE(
      insert(QStringLiteral("rectangles"), 0, Map{{"bounds", QVariantList{0.0, 0.0, qQNaN(), 4.0}}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("rectangles"), 0, Map{{"bounds", QVariantList{0.0, 0.0, 4.0}}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("rectangles"), 0, Map{{"bounds", QVariantList{0.0, 0.0, -4.0, 4.0}}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("rectangles"), 0, Map{{"bounds", QVariantList{5.0, 5.0, 0.0, 0.0}}}).isEmpty())
      << "an object of no size could be neither seen nor picked";
  EXPECT_FALSE(insert(QStringLiteral("rectangles"), 0, Map{{"bounds", QStringLiteral("0 0 4 4")}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("rectangles"), 0, Map{{"fillColor", QVariantList{70000, 0, 0}}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("rectangles"), 0, Map{{"fillColor", QVariantList{1.5, 0, 0}}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("rectangles"), 0, Map{{"strokeWidth", 1e9}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("rectangles"), 0, Map{{"text", QStringLiteral("not a text")}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("textAreas"), 0, Map{{"text", QString(200'000, QLatin1Char('x'))}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("textAreas"), 0, Map{{"text", 42}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("lines"), 0, Map{{"colour", 1}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("lines"), 0, Map{{"class", QStringLiteral("QLNText")}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("graphics"), 0, Map{{"class", QStringLiteral("QObject")}}).isEmpty());
  EXPECT_FALSE(insert(QStringLiteral("graphics"), 1, Map{}).isEmpty()) << "past the end of the front list";
  EXPECT_FALSE(insert(QStringLiteral("graphics_back"), 0, Map{}).isEmpty()) << "scripts change the front only";
  EXPECT_FALSE(refusal([&] { bus->Remove(QStringLiteral("graphics"), 0); }).isEmpty());
  EXPECT_FALSE(refusal([&] { bus->Remove(QStringLiteral("graphics_temp"), 0); }).isEmpty());
  EXPECT_TRUE(document->graphics().isEmpty());

  // A sound call made directly works the same as over the bus.
  EXPECT_EQ(
      bus->Insert(
          QStringLiteral("graphics"), 0,
          Map{{"class", QStringLiteral("QLNLine")}, {"strokeWidth", 3}, {"strokeColor", QVariantList{0, 0, 65535}}}),
      0);
  EXPECT_EQ(document->graphics().at(0)->className(), QStringLiteral("QLNLine"));
  EXPECT_EQ(document->graphics().at(0)->strokeWidth(), 3.0);
  EXPECT_EQ(bus->Count(QStringLiteral("lines")), 1);
}

TEST_F(ScriptingBusTest, AScriptNamesObjectsByRangesNeighboursAndSpecifiersWithGdbus) {
  // The front list: a text, a rectangle, a text. Without bounds an object takes its
  // tool's size at the next point of the cascade (here, without a main window, 10, 10).
  GdbusResult r = call(QStringLiteral("Insert"), {QStringLiteral("textAreas"), QStringLiteral("0"), QStringLiteral("{}")});
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  r = call(QStringLiteral("Insert"),
           {QStringLiteral("rectangles"), QStringLiteral("0"), QStringLiteral("{'bounds': <[0.0, 0.0, 30.0, 20.0]>}")});
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  r = call(QStringLiteral("Insert"),
           {QStringLiteral("textAreas"), QStringLiteral("1"), QStringLiteral("{'text': <'second'>}")});
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  EXPECT_EQ(r.output, QStringLiteral("(2,)")) << "one past the last text area appends to the front list";
  ASSERT_EQ(document->graphics().size(), 3);
  EXPECT_EQ(document->graphics().at(0)->bounds(), QRectF(10, 10, 50, 50));

  const auto indexes = [](const GdbusResult &result) {
    EXPECT_EQ(result.exitCode, 0) << result.error.toStdString();
    return result.output;
  };
  // Ranges: from the first text area to the last; from the start of the list to the
  // rectangle; from the object after the first text to the end.
  EXPECT_EQ(indexes(call(QStringLiteral("IndicesOfRange"),
                         {QStringLiteral("textAreas"), QStringLiteral("{'key': <'textAreas'>, 'index': <0>}"),
                          QStringLiteral("{'key': <'textAreas'>, 'index': <-1>}")})),
            QStringLiteral("([0, 1],)"));
  EXPECT_EQ(indexes(call(QStringLiteral("IndicesOfRange"), {QStringLiteral("graphics"), QStringLiteral("{}"),
                                                             QStringLiteral("{'key': <'rectangles'>, 'index': <0>}")})),
            QStringLiteral("([0, 1],)"));
  EXPECT_EQ(indexes(call(QStringLiteral("IndicesOfRange"),
                         {QStringLiteral("graphics"),
                          QStringLiteral("{'key': <'graphics'>, 'position': <'after'>, "
                                         "'base': <{'key': <'textAreas'>, 'index': <0>}>}"),
                          QStringLiteral("{}")})),
            QStringLiteral("([1, 2],)"));
  // Neighbours: the text area after the rectangle is the second one; no rectangle comes
  // before the first text.
  EXPECT_EQ(indexes(call(QStringLiteral("IndicesOfRelative"),
                         {QStringLiteral("textAreas"), QStringLiteral("after"),
                          QStringLiteral("{'key': <'rectangles'>, 'index': <0>}")})),
            QStringLiteral("([1],)"));
  EXPECT_EQ(indexes(call(QStringLiteral("IndicesOfRelative"),
                         {QStringLiteral("rectangles"), QStringLiteral("before"),
                          QStringLiteral("{'key': <'textAreas'>, 'index': <0>}")})),
            QStringLiteral("(@ai [],)"));
  // The lasting name of the second text area.
  EXPECT_EQ(indexes(call(QStringLiteral("ObjectSpecifier"), {QStringLiteral("textAreas"), QStringLiteral("1")})),
            QStringLiteral("('graphics', 2)"));

  // What names nothing is an error, never an empty answer.
  r = call(QStringLiteral("IndicesOfRange"), {QStringLiteral("graphics"), QStringLiteral("{}"), QStringLiteral("{}")});
  EXPECT_TRUE(r.error.contains(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"))) << r.error.toStdString();
  r = call(QStringLiteral("IndicesOfRange"),
           {QStringLiteral("graphics"), QStringLiteral("{'key': <'lines'>, 'index': <0>}"), QStringLiteral("{}")});
  EXPECT_TRUE(r.error.contains(QStringLiteral("org.amends.Amends.Error.Specifier"))) << r.error.toStdString();
  r = call(QStringLiteral("IndicesOfRange"),
           {QStringLiteral("rectangles_round"), QStringLiteral("{'key': <'graphics'>, 'index': <0>}"),
            QStringLiteral("{}")});
  EXPECT_TRUE(r.error.contains(QStringLiteral("org.amends.Amends.Error.Specifier"))) << r.error.toStdString();
  r = call(QStringLiteral("IndicesOfRelative"), {QStringLiteral("graphics"), QStringLiteral("beside"),
                                                 QStringLiteral("{'key': <'graphics'>, 'index': <0>}")});
  EXPECT_TRUE(r.error.contains(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"))) << r.error.toStdString();
  r = call(QStringLiteral("IndicesOfRelative"), {QStringLiteral("graphics"), QStringLiteral("after"),
                                                 QStringLiteral("{'key': <'graphics'>, 'index': <'0'>}")});
  EXPECT_TRUE(r.error.contains(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"))) << r.error.toStdString();
  r = call(QStringLiteral("ObjectSpecifier"), {QStringLiteral("graphics_back"), QStringLiteral("0")});
  EXPECT_TRUE(r.error.contains(QStringLiteral("org.amends.Amends.Error.Index"))) << r.error.toStdString();

  // A specifier nested without end is refused before it is evaluated.
  QVariantMap nested{{QStringLiteral("key"), QStringLiteral("graphics")}, {QStringLiteral("index"), 0}};
  for (int depth = 0; depth < 12; ++depth)
    nested = QVariantMap{{QStringLiteral("key"), QStringLiteral("graphics")},
                         {QStringLiteral("position"), QStringLiteral("after")},
                         {QStringLiteral("base"), nested}};
  EXPECT_FALSE(refusal([&] { bus->IndicesOfRelative(QStringLiteral("graphics"), QStringLiteral("after"), nested); })
                   .isEmpty());
  EXPECT_EQ(document->graphics().size(), 3);
}

TEST_F(ScriptedMainWindowTest, ScriptedObjectsCascadeAndTheUndoButtonsFollowThem) {
  DrawWindow *ui = controller->ui;
  EXPECT_FALSE(ui->Undo_btn->isEnabled());
  EXPECT_FALSE(ui->Redo_btn->isEnabled());
  const auto insert = [](const QString &key, const QString &index, const QString &properties) {
    return SuiteBus::call(QStringLiteral("Insert"), {key, index, properties});
  };

  // Without bounds: the tool's size at the next point of the cascade (10, 10 moved on
  // by a step of 20 for each new object); a call that fails does not move the cascade.
  GdbusResult r = insert(QStringLiteral("graphics"), QStringLiteral("0"), QStringLiteral("{'class': <'QLNBarcode'>}"));
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  r = insert(QStringLiteral("circles"), QStringLiteral("4"), QStringLiteral("{}"));
  EXPECT_TRUE(r.error.contains(QStringLiteral("Could not find the given circle in the graphics.")));
  r = insert(QStringLiteral("textAreas"), QStringLiteral("0"), QStringLiteral("{}"));
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  ASSERT_EQ(document->graphics().size(), 2);
  EXPECT_EQ(document->graphics().at(0)->bounds(), QRectF(30, 30, 120, 60));
  EXPECT_EQ(document->graphics().at(1)->bounds(), QRectF(50, 50, 50, 50));

  // The undo button comes on by itself, as after an edit on the canvas.
  EXPECT_TRUE(spinUntil([&] { return ui->Undo_btn->isEnabled(); }, 5000));
  EXPECT_FALSE(ui->Redo_btn->isEnabled());

  // Each call is one step: undoing both turns undo off and redo on.
  ui->Undo_btn->click();
  EXPECT_EQ(document->graphics().size(), 1);
  EXPECT_TRUE(ui->Undo_btn->isEnabled());
  EXPECT_TRUE(ui->Redo_btn->isEnabled());
  ui->Undo_btn->click();
  EXPECT_TRUE(document->graphics().isEmpty());
  EXPECT_FALSE(ui->Undo_btn->isEnabled());
  EXPECT_TRUE(ui->Redo_btn->isEnabled());

  // A script's change after an undo drops what could be redone, and the redo button
  // goes off with it.
  r = insert(QStringLiteral("lines"), QStringLiteral("0"), QStringLiteral("{'bounds': <[5.0, 5.0, 80.0, 0.0]>}"));
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  EXPECT_FALSE(ui->Redo_btn->isEnabled());
  EXPECT_TRUE(ui->Undo_btn->isEnabled());
  r = SuiteBus::call(QStringLiteral("Remove"), {QStringLiteral("lines"), QStringLiteral("0")});
  ASSERT_EQ(r.exitCode, 0) << r.error.toStdString();
  EXPECT_TRUE(document->graphics().isEmpty());
  EXPECT_TRUE(spinUntil([&] { return document->undoManager()->undoCount() == 2; }, 5000));
  ui->Undo_btn->click();
  EXPECT_EQ(document->graphics().size(), 1) << "the removal is undone from the toolbar";
  EXPECT_TRUE(ui->Redo_btn->isEnabled());
}

TEST(ScriptingBusWithoutSession, TheProgramGoesOnWithoutASessionBus) {
  ScopedEnvironment noBus("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
  QLNDocument document;
  EXPECT_EQ(DocumentScriptingBus::registerOnSessionBus(&document), nullptr);
  EXPECT_EQ(DocumentScriptingBus::registerDocument(&document, QDBusConnection(QStringLiteral("no such connection"))),
            nullptr);
}
