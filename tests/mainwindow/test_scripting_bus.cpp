// The document on the bus: a script lists, adds and removes card objects with gdbus on a
// private session bus (dbus-run-session); hostile values are refused; without a session
// bus the program goes on without it.

#include "mainwindow/DocumentScriptingBus.h"

#include "core/QLNDocument.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

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

class ScriptingBusTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!haveBusTools()) return;
    s_bus = std::make_unique<PrivateBus>();
    if (!s_bus->start()) {
      s_bus.reset();
      return;
    }
    s_connection = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(s_bus->address, QStringLiteral("amends-scripting-test")));
  }
  static void TearDownTestSuite() {
    if (s_connection) {
      QDBusConnection::disconnectFromBus(QStringLiteral("amends-scripting-test"));
      s_connection.reset();
    }
    s_bus.reset();
  }

  void SetUp() override {
    if (!s_connection || !s_connection->isConnected())
      GTEST_SKIP() << "no private session bus (dbus-run-session, gdbus)";
    document = std::make_unique<QLNDocument>();
    bus = DocumentScriptingBus::registerDocument(document.get(), *s_connection);
    ASSERT_NE(bus, nullptr);
    EXPECT_TRUE(bus->ownsServiceName());
  }
  void TearDown() override { document.reset(); }  // takes the bus object with it

  // Calls `method` of the document with gdbus, serving the call from this thread's
  // event loop meanwhile.
  static GdbusResult call(const QString &method, const QStringList &arguments = {}) {
    QProcess gdbus;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), s_bus->address);
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

  // The message of the exception a direct call throws, "" when it throws none.
  static QString refusal(const std::function<void()> &action) {
    try {
      action();
    } catch (const std::runtime_error &e) {
      return QString::fromUtf8(e.what());
    }
    return QString();
  }

  static std::unique_ptr<PrivateBus> s_bus;
  static std::unique_ptr<QDBusConnection> s_connection;
  std::unique_ptr<QLNDocument> document;
  DocumentScriptingBus *bus = nullptr;
};

std::unique_ptr<PrivateBus> ScriptingBusTest::s_bus;
std::unique_ptr<QDBusConnection> ScriptingBusTest::s_connection;

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

TEST(ScriptingBusWithoutSession, TheProgramGoesOnWithoutASessionBus) {
  ScopedEnvironment noBus("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
  QLNDocument document;
  EXPECT_EQ(DocumentScriptingBus::registerOnSessionBus(&document), nullptr);
  EXPECT_EQ(DocumentScriptingBus::registerDocument(&document, QDBusConnection(QStringLiteral("no such connection"))),
            nullptr);
}
