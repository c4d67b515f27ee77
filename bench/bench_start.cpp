// How long the program takes to show itself, measured from outside as a user sees it,
// against a bare Qt Widgets program of the same build (amends_bench_bare_window: an
// application object and an empty main window, or with text controls).
//
// The bench starts its own X server (Xvfb, on a display number the server picks itself
// through -displayfd), so nothing else draws there, and connects to it as an X client
// (xcb). It asks the root window for SubstructureNotify, so it is told of every
// top-level window that is made (CreateNotify) and mapped (MapNotify), and puts a DAMAGE
// object on each new top-level, so it is told when the program first draws into it.
// Menus and tooltips (override-redirect windows) do not count. For each run it then
//   1. takes the monotonic clock and spawns the program (posix_spawn) on that display
//      with QT_QPA_PLATFORM=xcb and a private HOME and XDG folders, so that no user's
//      settings count;
//   2. notes, for each top-level window the program maps, the time of its MapNotify
//      ("mapped") and of its first damage ("drawn"), keyed by the window's title;
//   3. once every window it waits for is drawn, kills the program (SIGKILL) and waits
//      for it; a run that does not get there within 20 seconds is a failure.
// The program itself does nothing for the measurement: the X server reports what it
// maps and draws.
//
// What a user sees first is the main window ("Amends") with the start window ("New
// Apology Card") over it; the program has no setting that skips the start window. The
// bench measures four kinds of run, alternating, N times each:
//   fresh  the program on a new, empty profile (the first start: the resource folder
//          is seeded from the shipped resources);
//   warm   the program on a profile that an earlier, unmeasured run has seeded;
//   bare   the bare program ("Bare window");
//   text   the bare program with the kinds of text-bearing controls the program's first
//          screen shows and nothing behind them ("Bare window with text", --text);
// and prints the median of each figure with its ratio to the bare window's and to the
// bare window with text's (what any window showing such controls pays). As on a
// desktop, the programs find a session bus: the bench starts a private one (dbus-daemon
// --session) beside the X server (without one, Qt would start dbus-launch each time).
//
// A fourth argument names another build of the program (say, of an earlier commit),
// run in turn with the others and reported as "other".
//
//     taskset -c 2,3 amends_bench_start [runs (20)] [amends] [bare program] [other amends]

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto RunLimit = std::chrono::seconds(20);

double msSince(Clock::time_point start, Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(t - start).count();
}

[[noreturn]] void fail(const std::string &why) {
  std::fprintf(stderr, "amends_bench_start: %s\n", why.c_str());
  std::exit(1);
}

// Starts `argv` with its standard output and error on /dev/null, passing it the write
// end of a pipe as "-FLAG=FD" style argument built by `withFd`, and returns the first
// line the server writes there (its display number or bus address).
std::string startServer(pid_t &pid, const std::function<std::vector<std::string>(int)> &withFd,
                        const char *what) {
  int fds[2];
  if (pipe(fds) != 0)
    fail(std::string("no pipe for ") + what);
  const std::vector<std::string> args = withFd(fds[1]);
  pid = fork();
  if (pid < 0)
    fail(std::string("cannot start ") + what);
  if (pid == 0) {
    close(fds[0]);
    const int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, 0);
    dup2(devnull, 1);
    dup2(devnull, 2);
    std::vector<char *> argv;
    for (const std::string &arg : args)
      argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(fds[1]);
  std::string line;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n')
    line += c;
  close(fds[0]);
  if (line.empty())
    fail(std::string(what) + " did not start (is it installed?)");
  return line;
}

// A private X server and session bus, ended with the bench.
class PrivateServers {
public:
  PrivateServers() {
    m_display = ":" + startServer(
                          m_xvfb,
                          [](int fd) {
                            return std::vector<std::string>{"Xvfb",       "-displayfd", std::to_string(fd),
                                                            "-screen",    "0",          "1920x1200x24",
                                                            "-nolisten",  "tcp",        "-noreset"};
                          },
                          "Xvfb");
    m_bus = startServer(
        m_dbus,
        [](int fd) {
          return std::vector<std::string>{"dbus-daemon", "--session", "--nofork",
                                          "--print-address=" + std::to_string(fd)};
        },
        "dbus-daemon");
  }
  ~PrivateServers() {
    for (pid_t pid : {m_dbus, m_xvfb}) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  }
  const std::string &display() const { return m_display; }
  const std::string &bus() const { return m_bus; }

private:
  pid_t m_xvfb = -1;
  pid_t m_dbus = -1;
  std::string m_display;
  std::string m_bus;
};

struct WindowTimes {
  std::string title;
  std::optional<double> mapped;
  std::optional<double> drawn;
};

// The bench's X connection: watches the root window's children.
class Watcher {
public:
  explicit Watcher(const std::string &display) {
    m_c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(m_c))
      fail("cannot connect to " + display);
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(m_c, &xcb_damage_id);
    if (!damage || !damage->present)
      fail("the X server has no DAMAGE extension");
    m_damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
    free(xcb_damage_query_version_reply(m_c, xcb_damage_query_version(m_c, 1, 1), nullptr));
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
    m_utf8 = atom("UTF8_STRING");
    m_netWmName = atom("_NET_WM_NAME");
    sync();
  }
  ~Watcher() { xcb_disconnect(m_c); }

  // Forgets the windows of the last run and every event still queued.
  void reset() {
    sync();
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_c))
      free(event);
    m_windows.clear();
  }

  // Reads events until every wanted title has a drawn window or the deadline passes.
  bool waitFor(Clock::time_point start, const std::vector<std::string> &wanted) {
    const Clock::time_point deadline = start + RunLimit;
    while (!allDrawn(wanted)) {
      xcb_generic_event_t *event = xcb_poll_for_event(m_c);
      if (!event) {
        if (xcb_connection_has_error(m_c))
          fail("lost the X connection");
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
          return false;
        pollfd pfd{xcb_get_file_descriptor(m_c), POLLIN, 0};
        poll(&pfd, 1, int(left));
        continue;
      }
      const Clock::time_point now = Clock::now();
      handle(event, msSince(start, now));
      free(event);
    }
    return true;
  }

  std::optional<WindowTimes> window(const std::string &title) const {
    for (const auto &[id, times] : m_windows)
      if (times.title == title && times.mapped)
        return times;
    return std::nullopt;
  }

private:
  xcb_atom_t atom(const char *name) {
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
  }

  void sync() { free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr)); }

  std::string title(xcb_window_t window) {
    for (const auto &[property, type] : {std::pair{m_netWmName, m_utf8}, std::pair{xcb_atom_t(XCB_ATOM_WM_NAME),
                                                                                 xcb_atom_t(XCB_ATOM_STRING)}}) {
      xcb_get_property_reply_t *reply =
          xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, window, property, type, 0, 256), nullptr);
      std::string text;
      if (reply)
        text.assign(static_cast<const char *>(xcb_get_property_value(reply)),
                    size_t(xcb_get_property_value_length(reply)));
      free(reply);
      if (!text.empty())
        return text;
    }
    return {};
  }

  void handle(xcb_generic_event_t *event, double at) {
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_CREATE_NOTIFY) {
      const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
      if (created->parent != m_root || created->override_redirect)
        return;
      // The damage object is made before the window can be drawn into, so the first
      // drawing is never missed.
      const xcb_damage_damage_t damage = xcb_generate_id(m_c);
      xcb_damage_create(m_c, damage, created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
      xcb_flush(m_c);
      m_windows[created->window];
    } else if (type == XCB_MAP_NOTIFY) {
      const auto *mapped = reinterpret_cast<xcb_map_notify_event_t *>(event);
      auto found = m_windows.find(mapped->window);
      if (mapped->event != m_root || mapped->override_redirect || found == m_windows.end())
        return;
      if (!found->second.mapped) {
        found->second.mapped = at;
        found->second.title = title(mapped->window);
      }
    } else if (type == m_damageEvent) {
      const auto *damaged = reinterpret_cast<xcb_damage_notify_event_t *>(event);
      auto found = m_windows.find(damaged->drawable);
      // Drawing counts once the window is mapped: what is drawn before is not seen.
      if (found != m_windows.end() && found->second.mapped && !found->second.drawn)
        found->second.drawn = at;
      xcb_damage_subtract(m_c, damaged->damage, XCB_NONE, XCB_NONE);
      xcb_flush(m_c);
    }
  }

  bool allDrawn(const std::vector<std::string> &wanted) const {
    for (const std::string &title : wanted) {
      const std::optional<WindowTimes> times = window(title);
      if (!times || !times->drawn)
        return false;
    }
    return true;
  }

  xcb_connection_t *m_c = nullptr;
  xcb_window_t m_root = 0;
  uint8_t m_damageEvent = 0;
  xcb_atom_t m_utf8 = XCB_ATOM_NONE;
  xcb_atom_t m_netWmName = XCB_ATOM_NONE;
  std::map<xcb_window_t, WindowTimes> m_windows;
};

// A private profile: HOME and the XDG folders in one temporary folder.
class Profile {
public:
  Profile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "amends_bench_start.XXXXXX").string();
    if (!mkdtemp(pattern.data()))
      fail("cannot make a temporary folder");
    m_root = pattern;
    for (const char *sub : {"home", "config", "data", "cache", "runtime"})
      std::filesystem::create_directory(m_root / sub);
    std::filesystem::permissions(m_root / "runtime", std::filesystem::perms::owner_all);
  }
  ~Profile() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
  }
  std::vector<std::string> environment(const PrivateServers &servers) const {
    std::vector<std::string> env = {
        "DISPLAY=" + servers.display(),
        "DBUS_SESSION_BUS_ADDRESS=" + servers.bus(),
        "QT_QPA_PLATFORM=xcb",
        "HOME=" + (m_root / "home").string(),
        "XDG_CONFIG_HOME=" + (m_root / "config").string(),
        "XDG_DATA_HOME=" + (m_root / "data").string(),
        "XDG_CACHE_HOME=" + (m_root / "cache").string(),
        "XDG_RUNTIME_DIR=" + (m_root / "runtime").string(),
    };
    for (const char *keep : {"PATH", "LANG", "LC_ALL"})
      if (const char *value = std::getenv(keep))
        env.push_back(std::string(keep) + "=" + value);
    return env;
  }

private:
  std::filesystem::path m_root;
};

struct Kind {
  const char *name;
  std::string program;
  std::vector<std::string> titles; // the windows to wait for; the first is the main window
  std::vector<std::string> arguments = {};
};

// One run: the times of the wanted windows, or nothing when the run failed.
std::optional<std::vector<WindowTimes>> runOnce(Watcher &watcher, const PrivateServers &servers, const Kind &kind,
                                                const Profile &profile) {
  watcher.reset();
  const std::vector<std::string> env = profile.environment(servers);
  std::vector<char *> envp;
  for (const std::string &entry : env)
    envp.push_back(const_cast<char *>(entry.c_str()));
  envp.push_back(nullptr);
  std::string program = kind.program;
  std::vector<std::string> arguments = kind.arguments;
  std::vector<char *> argv = {program.data()};
  for (std::string &argument : arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const Clock::time_point start = Clock::now();
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0)
    fail("cannot start " + program + ": " + std::strerror(spawned));

  const bool seen = watcher.waitFor(start, kind.titles);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  if (!seen) {
    std::fprintf(stderr, "amends_bench_start: %s: not every window was drawn within %lld s\n", kind.name,
                 static_cast<long long>(RunLimit.count()));
    return std::nullopt;
  }
  std::vector<WindowTimes> times;
  for (const std::string &title : kind.titles)
    times.push_back(*watcher.window(title));
  return times;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const std::string amends = argc > 2 ? argv[2] : AMENDS_PROGRAM;
  const std::string bare = argc > 3 ? argv[3] : AMENDS_BARE_PROGRAM;
  std::vector<Kind> programs = {{"amends", amends, {"Amends", "New Apology Card"}}};
  if (argc > 4)
    programs.push_back({"other", argv[4], {"Amends", "New Apology Card"}});
  const Kind yardstick{"bare", bare, {"Bare window"}};
  const Kind textYardstick{"text", bare, {"Bare window with text"}, {"--text"}};
  for (const Kind &kind : programs)
    if (access(kind.program.c_str(), X_OK) != 0)
      fail(kind.program + " is not an executable program");
  if (access(bare.c_str(), X_OK) != 0)
    fail(bare + " is not an executable program");

  PrivateServers server;
  Watcher watcher(server.display());

  // Each program's warm profile is seeded by one run that is not counted; one run of
  // each kind before the count also brings the programs' files into the page cache.
  std::vector<std::unique_ptr<Profile>> warmProfiles;
  {
    Profile scratch;
    for (const Kind &kind : programs) {
      warmProfiles.push_back(std::make_unique<Profile>());
      if (!runOnce(watcher, server, kind, *warmProfiles.back()))
        fail(kind.program + " does not start");
    }
    for (const Kind *kind : {&yardstick, &textYardstick})
      if (!runOnce(watcher, server, *kind, scratch))
        fail(bare + " does not start");
  }

  std::map<std::string, std::vector<double>> figures;
  int failures = 0;
  const auto note = [&](const std::string &prefix, const std::optional<std::vector<WindowTimes>> &times) {
    if (!times) {
      ++failures;
      return;
    }
    figures[prefix + " main mapped"].push_back(*(*times)[0].mapped);
    figures[prefix + " main drawn"].push_back(*(*times)[0].drawn);
    if (times->size() > 1)
      figures[prefix + " start window drawn"].push_back(*(*times)[1].drawn);
  };
  for (int run = 0; run < runs; ++run) {
    for (size_t i = 0; i < programs.size(); ++i) {
      {
        Profile fresh;
        note(std::string(programs[i].name) + " fresh", runOnce(watcher, server, programs[i], fresh));
      }
      note(std::string(programs[i].name) + " warm", runOnce(watcher, server, programs[i], *warmProfiles[i]));
    }
    Profile scratch;
    note("bare", runOnce(watcher, server, yardstick, scratch));
    note("text", runOnce(watcher, server, textYardstick, scratch));
  }
  if (figures["bare main mapped"].empty())
    fail("no run succeeded");

  const double bareMapped = median(figures["bare main mapped"]);
  const double bareDrawn = median(figures["bare main drawn"]);
  const double textMapped = figures["text main mapped"].empty() ? 0 : median(figures["text main mapped"]);
  const double textDrawn = figures["text main drawn"].empty() ? 0 : median(figures["text main drawn"]);
  std::printf("%d runs of each kind, alternating; medians from spawn, in ms (ratio to the bare window; to the\n"
              "bare window with text)\n",
              runs);
  std::printf("  %-34s %8.1f\n", "bare window mapped", bareMapped);
  std::printf("  %-34s %8.1f\n", "bare window drawn", bareDrawn);
  std::printf("  %-34s %8.1f  (%.2fx)\n", "bare window with text mapped", textMapped, textMapped / bareMapped);
  std::printf("  %-34s %8.1f  (%.2fx)\n", "bare window with text drawn", textDrawn, textDrawn / bareDrawn);
  for (const Kind &kind : programs) {
    for (const char *profile : {"fresh", "warm"}) {
      for (const char *what : {"main mapped", "main drawn", "start window drawn"}) {
        const std::string key = std::string(kind.name) + " " + profile + " " + what;
        const std::vector<double> &values = figures[key];
        if (values.empty())
          continue;
        const double m = median(values);
        const bool mapped = std::strcmp(what, "main mapped") == 0;
        const double yardstickValue = mapped ? bareMapped : bareDrawn;
        const double textValue = mapped ? textMapped : textDrawn;
        std::printf("  %-34s %8.1f  (%.2fx; %.2fx)\n", key.c_str(), m, m / yardstickValue, m / textValue);
      }
    }
  }
  if (argc > 4)
    std::printf("  other: %s\n", argv[4]);
  if (failures)
    std::printf("  %d runs failed\n", failures);
  return failures ? 1 : 0;
}
