// probe.cpp: the whole-program benchmark of the game and of the floor on a private X server.
//
// Measured: start-up to the window's map and first frame, click-to-repaint, resident memory.
// The X server tells when a window is mapped (MapNotify on the root) and when pixels reach it
// (DAMAGE); clicks are XTEST input. Times are taken on this process's monotonic clock when the
// events are read, from just before the program's fork.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "forms/forms.h"
#include "platform/twips.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using Time = Clock::time_point;

double millis(Time from, Time to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// ---- child processes ----------------------------------------------------------------------

// A child that dies with this process and is stopped by its pid, never by name.
class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { stop(); }

  // `keepFd` stays open in the child; stdout and stderr go to `logPath`.
  void start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
             const std::string& logPath, int keepFd = -1) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (log < 0) throw Failure("cannot open " + logPath);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0) throw Failure("fork failed");
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(127);
      dup2(log, STDOUT_FILENO);
      dup2(log, STDERR_FILENO);
      const int devnull = open("/dev/null", O_RDONLY);
      if (devnull >= 0) dup2(devnull, STDIN_FILENO);
      if (keepFd >= 0) fcntl(keepFd, F_SETFD, 0);
      execvpe(args[0], args.data(), envp.data());
      _exit(127);
    }
    close(log);
  }

  pid_t pid() const { return pid_; }

  // True while the child runs; reaps it once it has gone.
  bool running() {
    if (pid_ <= 0) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return false;
    }
    return true;
  }

  void stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 200; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return;
      }
      usleep(10'000);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

std::vector<std::string> environmentFor(const std::string& display) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (name == "DISPLAY" || name == "WAYLAND_DISPLAY" || name == "QT_QPA_PLATFORM") continue;
    env.push_back(entry);
  }
  if (display.empty()) return env;
  env.push_back("DISPLAY=" + display);
  env.push_back("QT_QPA_PLATFORM=xcb");
  return env;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// VmRSS and VmHWM in KiB.
std::pair<double, double> residentMemory(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  double rss = -1, hwm = -1;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("VmRSS:", 0) == 0) rss = std::stod(line.substr(6));
    if (line.rfind("VmHWM:", 0) == 0) hwm = std::stod(line.substr(6));
  }
  if (rss < 0 || hwm < 0) throw Failure("no memory figures for pid " + std::to_string(pid));
  return {rss, hwm};
}

struct TopLevel {
  Time created;
  std::optional<Time> mapped;
  std::optional<Time> firstDamage;
  std::optional<Time> damageAfterMark;
};

// One connection that watches every top-level window: created, mapped, drawn.
class Watcher {
 public:
  explicit Watcher(const std::string& display) {
    connection_ = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(connection_)) throw Failure("cannot connect to " + display);
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection_, &xcb_damage_id);
    if (damage == nullptr || !damage->present) throw Failure("the X server has no DAMAGE");
    damageEvent_ = damage->first_event;
    free(xcb_damage_query_version_reply(connection_, xcb_damage_query_version(connection_, 1, 1),
                                        nullptr));
    const xcb_query_extension_reply_t* test = xcb_get_extension_data(connection_, &xcb_test_id);
    if (test == nullptr || !test->present) throw Failure("the X server has no XTEST");
    free(xcb_test_get_version_reply(connection_, xcb_test_get_version(connection_, 2, 2), nullptr));
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
  }
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;
  ~Watcher() { xcb_disconnect(connection_); }

  std::map<xcb_window_t, TopLevel>& windows() { return windows_; }

  // Reads what has arrived, waiting at most `timeout` for something.
  void pump(std::chrono::milliseconds timeout) {
    pollfd p{xcb_get_file_descriptor(connection_), POLLIN, 0};
    if (xcb_connection_has_error(connection_)) throw Failure("lost the X connection");
    if (!queued()) poll(&p, 1, static_cast<int>(timeout.count()));
    const Time now = Clock::now();
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
      handle(*event, now);
      free(event);
    }
  }

  // Waits for `done` and returns when it is true; a Failure after `limit`, or if `alive` fails.
  template <typename Done, typename Alive>
  void waitFor(Done done, Alive alive, std::chrono::milliseconds limit, const char* what) {
    const Time deadline = Clock::now() + limit;
    while (!done()) {
      if (Clock::now() > deadline) throw Failure(std::string("timed out waiting for ") + what);
      if (!alive()) throw Failure(std::string("the program ended while waiting for ") + what);
      pump(std::chrono::milliseconds(20));
    }
  }

  // Reads events until no window has been drawn for `quiet`, and at least that long.
  void settle(std::chrono::milliseconds quiet) {
    const Time start = Clock::now();
    const Time limit = start + std::chrono::seconds(2);
    while (Clock::now() < limit) {
      const Time now = Clock::now();
      if (now - start >= quiet && now - lastDamage_ >= quiet) return;
      pump(std::chrono::milliseconds(5));
    }
  }

  // From now on, each window's next damage is recorded as its damageAfterMark.
  void mark() {
    for (auto& [id, w] : windows_) w.damageAfterMark.reset();
  }

  void moveTo(int x, int y) {
    xcb_test_fake_input(connection_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root_,
                        static_cast<int16_t>(x), static_cast<int16_t>(y), 0);
    xcb_flush(connection_);
  }

  void button(bool press) {
    xcb_test_fake_input(connection_, press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, 1,
                        XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection_);
  }

  // The window's top-left on the screen; without a window manager its parent is the root.
  std::pair<int, int> origin(xcb_window_t window) {
    xcb_get_geometry_reply_t* g =
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
    if (g == nullptr) throw Failure("the window has gone");
    const std::pair<int, int> at{g->x + g->border_width, g->y + g->border_width};
    free(g);
    return at;
  }

  void forget() { windows_.clear(); }

 private:
  bool queued() {
    if (xcb_generic_event_t* event = xcb_poll_for_queued_event(connection_)) {
      handle(*event, Clock::now());
      free(event);
      return true;
    }
    return false;
  }

  void handle(const xcb_generic_event_t& event, Time now) {
    const uint8_t type = event.response_type & 0x7f;
    if (type == XCB_CREATE_NOTIFY) {
      const auto& e = reinterpret_cast<const xcb_create_notify_event_t&>(event);
      if (e.parent != root_) return;
      windows_[e.window] = TopLevel{now, {}, {}, {}};
      // Before the program can draw: it must map the window and wait for its Expose first.
      xcb_damage_create(connection_, xcb_generate_id(connection_), e.window,
                        XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
      xcb_flush(connection_);
    } else if (type == XCB_MAP_NOTIFY) {
      const auto& e = reinterpret_cast<const xcb_map_notify_event_t&>(event);
      auto found = windows_.find(e.window);
      if (e.event == root_ && found != windows_.end() && !found->second.mapped) {
        found->second.mapped = now;
      }
    } else if (type == XCB_DESTROY_NOTIFY) {
      const auto& e = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
      windows_.erase(e.window);  // the server frees its damage object with it
    } else if (type == damageEvent_ + XCB_DAMAGE_NOTIFY) {
      const auto& e = reinterpret_cast<const xcb_damage_notify_event_t&>(event);
      lastDamage_ = now;
      auto found = windows_.find(e.drawable);
      if (found == windows_.end()) return;
      if (!found->second.firstDamage) found->second.firstDamage = now;
      if (!found->second.damageAfterMark) found->second.damageAfterMark = now;
    }
    // Errors (a window gone before its damage object was made) and other events are of no use.
  }

  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
  uint8_t damageEvent_ = 0;
  Time lastDamage_{};
  std::map<xcb_window_t, TopLevel> windows_;
};

// ---- one run of one program ---------------------------------------------------------------

// Client pixels of what is clicked, from the main window's design: p20 at home and on the
// parking cell (where p0 starts), and the centre of "Brasser".
std::pair<int, int> centreOf(std::string_view name) {
  using platform::toPixels;
  const auto& design = forms::kVorekDesign;
  const auto& row = design.controls[static_cast<std::size_t>(design.indexOf(name))];
  return {toPixels(row.left) + toPixels(row.width) / 2,
          toPixels(row.top) + toPixels(row.height) / 2};
}
const std::pair<int, int> kP20Home = centreOf("p20");
const std::pair<int, int> kP20Parked = centreOf("p0");
const std::pair<int, int> kBrasser = centreOf("Command1");

struct Options {
  std::string programs[2];
  int runs = 5;
  int clicks = 20;
  int shuffles = 10;
  int growth = 10000;
  int warmup = 1000;
  int memoryDelayMs = 1000;
  int starts = 5;      // start-ups measured per run and program, the full run's included
  std::string logDir;  // made afresh when not given
  bool verbose = false;
};

struct Samples {
  std::vector<double> mapped, frame, rss, hwm, slide, shuffleMapped, shuffleFrame;
  std::optional<double> growth;  // KiB of VmRSS over the measured shuffles
  std::vector<std::pair<int, double>> growthTrace;
};

class Session {
 public:
  Session(Watcher& x, std::string display, const Options& options)
      : x_(x), display_(std::move(display)), options_(options) {}

  // Starts the program, measures its start-up and returns its main window.
  xcb_window_t launch(const std::string& program, Child& child, Samples& out, int index) {
    x_.pump(std::chrono::milliseconds(0));
    x_.forget();
    log_ = options_.logDir + "/vorek-probe-" + std::to_string(getpid()) + "-" +
           std::to_string(index) + ".log";
    start_ = Clock::now();
    child.start({program}, environmentFor(display_), log_);
    alive_ = [&child] { return child.running(); };
    xcb_window_t main = 0;
    x_.waitFor([&] { return (main = mappedWindow()) != 0; }, alive(), std::chrono::seconds(60),
               "the window's map");
    x_.waitFor([&] { return x_.windows()[main].firstDamage.has_value(); }, alive(),
               std::chrono::seconds(60), "the first frame");
    out.mapped.push_back(millis(start_, *x_.windows()[main].mapped));
    out.frame.push_back(millis(start_, *x_.windows()[main].firstDamage));
    return main;
  }

  void memory(Child& child, Samples& out) {
    const Time at = start_ + std::chrono::milliseconds(options_.memoryDelayMs);
    while (Clock::now() < at) x_.pump(std::chrono::milliseconds(10));
    const auto [rss, hwm] = residentMemory(child.pid());
    out.rss.push_back(rss);
    out.hwm.push_back(hwm);
  }

  // p20 and the hole change places; p20 is clicked where it stands now.
  void slides(xcb_window_t main, Samples& out) {
    const auto [ox, oy] = x_.origin(main);
    for (int i = 0; i < options_.clicks; ++i) {
      const auto [cx, cy] = i % 2 == 0 ? kP20Home : kP20Parked;
      try {
        out.slide.push_back(clickAndWait(ox + cx, oy + cy, main));
      } catch (const Failure& failure) {
        throw Failure(std::string(failure.what()) + " (slide " + std::to_string(i + 1) + ")");
      }
    }
  }

  // "Brasser": the window is destroyed and built again; the new one's first frame ends it.
  xcb_window_t shuffles(xcb_window_t main, int count, Samples* out) {
    for (int i = 0; i < count; ++i) main = shuffle(main, out, out != nullptr);
    return main;
  }

  void stop(Child& child) {
    child.stop();
    x_.pump(std::chrono::milliseconds(50));
    x_.forget();
  }

  const std::string& log() const { return log_; }
  int lost() const { return lost_; }

 private:
  std::function<bool()> alive() const { return alive_; }

  xcb_window_t mappedWindow() {
    for (auto& [id, w] : x_.windows()) {
      if (w.mapped) return id;
    }
    return 0;
  }

  // The game drops the input that reaches it while it handles an event, its repaint included,
  // so that a click sent during a shuffle cannot land on the new window; a press sent at once
  // after a repaint may therefore be lost. No player clicks that fast: every press waits for a
  // quiet moment, and a click that was lost all the same is sent again.
  static constexpr std::chrono::milliseconds kQuiet{30};
  static constexpr std::chrono::milliseconds kQuickQuiet{5};
  static constexpr std::chrono::milliseconds kLost{3000};
  static constexpr int kAttempts = 3;

  // The time from the release to what `arrived` waits for, after up to kAttempts clicks.
  template <typename Arrived>
  double click(int x, int y, std::chrono::milliseconds quiet, bool settlePress, Arrived arrived,
               const char* what) {
    for (int attempt = 1;; ++attempt) {
      x_.moveTo(x, y);
      x_.settle(quiet);
      x_.button(true);
      // The press repaints on its own (focus, the pressed button); the game acts on the release.
      if (settlePress) x_.settle(quiet);
      x_.mark();
      const Time released = Clock::now();
      x_.button(false);
      try {
        x_.waitFor([&] { return arrived(released).has_value(); }, alive(), kLost, what);
        return millis(released, *arrived(released));
      } catch (const Failure&) {
        if (attempt == kAttempts || !alive_()) throw;
        ++lost_;
      }
    }
  }

  double clickAndWait(int x, int y, xcb_window_t window) {
    return click(
        x, y, kQuiet, true,
        [&](Time) -> std::optional<Time> {
          auto found = x_.windows().find(window);
          if (found == x_.windows().end()) return std::nullopt;
          return found->second.damageAfterMark;
        },
        "the repaint after a click");
  }

  // A measured Brasser waits for quiet before the press and after it, like a slide; the many
  // of the growth run wait only a little before the press.
  xcb_window_t shuffle(xcb_window_t main, Samples* out, bool measured) {
    const auto [ox, oy] = x_.origin(main);
    xcb_window_t fresh = 0;
    const double frame = click(
        ox + kBrasser.first, oy + kBrasser.second, measured ? kQuiet : kQuickQuiet, measured,
        [&](Time released) -> std::optional<Time> {
          for (auto& [id, w] : x_.windows()) {
            if (id != main && w.created >= released && w.mapped && w.firstDamage) {
              fresh = id;
              return w.firstDamage;
            }
          }
          return std::nullopt;
        },
        "the new window after Brasser");
    if (out != nullptr) {
      out->shuffleFrame.push_back(frame);
      out->shuffleMapped.push_back(
          frame - millis(*x_.windows()[fresh].mapped, *x_.windows()[fresh].firstDamage));
    }
    return fresh;
  }

  Watcher& x_;
  std::string display_;
  const Options& options_;
  Time start_{};
  std::string log_;
  std::function<bool()> alive_;
  int lost_ = 0;
};

// ---- figures ------------------------------------------------------------------------------

struct Summary {
  double median = NAN, min = NAN, max = NAN;
};

Summary summarise(std::vector<double> v) {
  Summary s;
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  s.median = n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  s.min = v.front();
  s.max = v.back();
  return s;
}

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string spread(const Summary& s, int decimals, const char* unit) {
  if (std::isnan(s.median)) return "—";
  return fixed(s.median, decimals) + " " + unit + " [" + fixed(s.min, decimals) + "–" +
         fixed(s.max, decimals) + "]";
}

enum class Target { None, FloorRatio, Ceiling };

struct Row {
  const char* figure;
  std::vector<double> Samples::*field;
  double scale;  // from the samples' unit to the printed one
  int decimals;
  const char* unit;
  Target target;
  double limit;
};

std::string verdict(bool held) { return held ? "yes" : "**no**"; }

void printTable(const Samples& vorek, const Samples& floor, const Options& options, int lost) {
  const Row rows[] = {
      {"start → main window mapped", &Samples::mapped, 1, 1, "ms", Target::None, 0},
      {"start → first frame drawn", &Samples::frame, 1, 1, "ms", Target::FloorRatio, 1.1},
      {"slide (p20 click) → repaint", &Samples::slide, 1, 2, "ms", Target::Ceiling, 2},
      {"Brasser click → new window mapped", &Samples::shuffleMapped, 1, 2, "ms", Target::None, 0},
      {"Brasser click → new window's first frame", &Samples::shuffleFrame, 1, 2, "ms",
       Target::Ceiling, 16},
      {"VmRSS 1 s after start", &Samples::rss, 1.0 / 1024, 1, "MiB", Target::FloorRatio, 1.1},
      {"VmHWM 1 s after start", &Samples::hwm, 1.0 / 1024, 1, "MiB", Target::FloorRatio, 1.1},
  };
  std::printf(
      "| figure | vorek median [min–max] | floor median [min–max] | ratio | target | held? |\n");
  std::printf("|---|---|---|---|---|---|\n");
  for (const Row& row : rows) {
    auto scaled = [&](const Samples& s) {
      std::vector<double> v = s.*row.field;
      for (double& x : v) x *= row.scale;
      return summarise(v);
    };
    const Summary a = scaled(vorek), b = scaled(floor);
    const double ratio = a.median / b.median;
    std::string target = "—", held = "—";
    // A figure with no samples (a count of zero asked for) is not judged.
    if (row.target == Target::FloorRatio) {
      target = "≤ " + fixed(row.limit, 1) + " × floor";
      if (!std::isnan(ratio)) held = verdict(ratio <= row.limit);
    } else if (row.target == Target::Ceiling) {
      target = "≤ " + fixed(row.limit, 0) + " " + row.unit + " median";
      if (!std::isnan(a.median)) held = verdict(a.median <= row.limit);
    }
    std::printf("| %s | %s | %s | %s | %s | %s |\n", row.figure,
                spread(a, row.decimals, row.unit).c_str(),
                spread(b, row.decimals, row.unit).c_str(),
                std::isnan(ratio) ? "—" : fixed(ratio, 2).c_str(), target.c_str(), held.c_str());
  }
  if (vorek.growth) {
    // Pages come and go with the allocator; a leak of even a few bytes a shuffle shows here.
    const double tolerance = 64;
    auto text = [](const Samples& s) {
      return s.growth ? (*s.growth >= 0 ? "+" : "") + fixed(*s.growth, 0) + " KiB" : "—";
    };
    std::printf(
        "| VmRSS growth over %d Brasser (after %d) | %s | %s | — | none (≤ %.0f KiB) | %s |\n",
        options.growth, options.warmup, text(vorek).c_str(), text(floor).c_str(), tolerance,
        verdict(*vorek.growth <= tolerance).c_str());
  }
  std::printf(
      "\n%d interleaved runs after one unmeasured start of each program; a run is %d starts of "
      "each, one of them followed by the memory reading, %d slides and %d measured Brasser "
      "clicks. %d clicks were lost and sent again.\n",
      options.runs, options.starts, options.clicks, options.shuffles, lost);
  std::fflush(stdout);
}

void trace(const char* name, const Samples& s) {
  std::fprintf(stderr, "%s growth trace (shuffles: VmRSS KiB):", name);
  for (const auto& [n, rss] : s.growthTrace) std::fprintf(stderr, " %d:%.0f", n, rss);
  std::fprintf(stderr, "\n");
}

int usage() {
  std::fprintf(stderr,
               "usage: vorek_probe [--runs N] [--clicks N] [--shuffles N] [--growth N] "
               "[--warmup N] [--starts N] [--memory-delay MS] [--logs DIR] [--verbose] VOREK "
               "FLOOR\n");
  return 2;
}

std::optional<Options> parse(int argc, char** argv) {
  Options o;
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto number = [&](int& into) {
      if (i + 1 >= argc) return false;
      into = std::atoi(argv[++i]);
      return true;
    };
    bool ok = true;
    if (a == "--runs")
      ok = number(o.runs);
    else if (a == "--clicks")
      ok = number(o.clicks);
    else if (a == "--shuffles")
      ok = number(o.shuffles);
    else if (a == "--growth")
      ok = number(o.growth);
    else if (a == "--warmup")
      ok = number(o.warmup);
    else if (a == "--starts")
      ok = number(o.starts);
    else if (a == "--memory-delay")
      ok = number(o.memoryDelayMs);
    else if (a == "--logs" && i + 1 < argc)
      o.logDir = argv[++i];
    else if (a == "--verbose")
      o.verbose = true;
    else if (!a.empty() && a[0] != '-' && positional < 2)
      o.programs[positional++] = a;
    else
      ok = false;
    if (!ok) return std::nullopt;
  }
  if (positional != 2 || o.runs < 1 || o.starts < 1 || o.clicks < 0 || o.shuffles < 0 ||
      o.growth < 0) {
    return std::nullopt;
  }
  return o;
}

int probe(const Options& options) {
  // The X server is the caller's: the tests' X session helper starts a private one.
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    throw Failure("no DISPLAY: run the probe in a private X server, for instance through "
                  "tests/support/in_xsession.py");
  }
  Watcher x(display);
  Session session(x, display, options);
  Samples samples[2];
  const char* names[2] = {"vorek", "floor"};
  int index = 0;

  // A first start of each, not counted, reads the libraries and fonts into the page cache.
  for (int which = 0; which < 2; ++which) {
    Child child;
    Samples scratch;
    try {
      session.launch(options.programs[which], child, scratch, index++);
    } catch (const Failure& failure) {
      throw Failure(std::string(names[which]) + ": " + failure.what() + "\n" +
                    slurp(session.log()));
    }
    session.stop(child);
  }

  // Interleaved, and the order flips every run, so that drift of the machine hits both alike.
  for (int run = 0; run < options.runs; ++run) {
    // Start-up varies most from one start to the next: it gets more samples, from starts that
    // measure nothing else.
    for (int extra = 1; extra < options.starts; ++extra) {
      for (int k = 0; k < 2; ++k) {
        const int which = (run + extra) % 2 == 0 ? k : 1 - k;
        Child child;
        try {
          session.launch(options.programs[which], child, samples[which], index++);
        } catch (const Failure& failure) {
          throw Failure(std::string(names[which]) + ": " + failure.what() + "\n" +
                        slurp(session.log()));
        }
        session.stop(child);
      }
    }
    for (int k = 0; k < 2; ++k) {
      const int which = run % 2 == 0 ? k : 1 - k;
      Child child;
      try {
        const xcb_window_t main =
            session.launch(options.programs[which], child, samples[which], index++);
        session.memory(child, samples[which]);
        session.slides(main, samples[which]);
        session.shuffles(main, options.shuffles, &samples[which]);
      } catch (const Failure& failure) {
        throw Failure(std::string(names[which]) + ": " + failure.what() + "\n" +
                      slurp(session.log()));
      }
      session.stop(child);
      if (options.verbose) {
        const Samples& s = samples[which];
        std::fprintf(stderr, "run %d %s: mapped %.1f ms, frame %.1f ms, rss %.0f KiB\n", run,
                     names[which], s.mapped.back(), s.frame.back(), s.rss.back());
      }
    }
  }

  // The growth over many shuffles, one long run of each program.
  if (options.growth > 0) {
    for (int which = 0; which < 2; ++which) {
      Child child;
      Samples scratch;
      try {
        xcb_window_t main = session.launch(options.programs[which], child, scratch, index++);
        main = session.shuffles(main, options.warmup, nullptr);
        const double before = residentMemory(child.pid()).first;
        samples[which].growthTrace.push_back({0, before});
        for (int done = 0; done < options.growth;) {
          const int step = std::min(1000, options.growth - done);
          main = session.shuffles(main, step, nullptr);
          done += step;
          samples[which].growthTrace.push_back({done, residentMemory(child.pid()).first});
        }
        samples[which].growth = samples[which].growthTrace.back().second - before;
      } catch (const Failure& failure) {
        throw Failure(std::string(names[which]) + ": " + failure.what() + "\n" +
                      slurp(session.log()));
      }
      session.stop(child);
      if (options.verbose) trace(names[which], samples[which]);
    }
  }

  printTable(samples[0], samples[1], options, session.lost());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<Options> options = parse(argc, argv);
  if (!options) return usage();
  signal(SIGPIPE, SIG_IGN);
  // The programs' and the server's output, kept only while the probe runs.
  std::filesystem::path logs;
  if (options->logDir.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "vorek-probe-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::fprintf(stderr, "vorek_probe: cannot make a folder for the logs\n");
      return 1;
    }
    logs = pattern;
    options->logDir = pattern;
  }
  int status = 1;
  try {
    status = probe(*options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vorek_probe: %s\n", error.what());
  }
  std::error_code ignored;
  if (!logs.empty()) std::filesystem::remove_all(logs, ignored);
  return status;
}
