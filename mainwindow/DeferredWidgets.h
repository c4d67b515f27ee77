#pragma once
// Widgets that a window makes when they are first needed instead of with the window.
//
// A `DeferredPart` is a group of widgets made together by one builder. Each widget of
// the group is held in a `Deferred<W>` member, which reads like the plain `W *` it
// replaces (`ui->Line_clr->setColor(...)`, `connect(ui->Line_clr, ...)`): the first read
// of any member of the group runs the builder, then the steps registered with
// `whenBuilt` (the owner's connections and first values), so code that uses a widget
// never sees it missing. Comparing a member with an object (`sender == ui->Line_clr`)
// and `ifBuilt()` read it without making the group.
//
// The builder runs once. While it runs, reads of the group's members return what is
// made so far (the builder places its own widgets through them); a step registered
// after the build runs at once.

#include <functional>
#include <utility>
#include <vector>

class DeferredPart {
public:
  explicit DeferredPart(std::function<void()> build) : m_build(std::move(build)) {}
  DeferredPart(const DeferredPart &) = delete;
  DeferredPart &operator=(const DeferredPart &) = delete;

  bool isBuilt() const { return m_state == State::Built; }

  void ensureBuilt() {
    if (m_state != State::NotBuilt)
      return;
    m_state = State::Building;
    m_build();
    m_state = State::Built;
    // A step may register another or read the group again: both are safe now.
    for (size_t index = 0; index < m_whenBuilt.size(); ++index) {
      const std::function<void()> step = m_whenBuilt[index];
      step();
    }
    m_whenBuilt.clear();
  }

  void whenBuilt(std::function<void()> step) {
    if (m_state == State::Built)
      step();
    else
      m_whenBuilt.push_back(std::move(step));
  }

private:
  enum class State { NotBuilt, Building, Built };
  State m_state = State::NotBuilt;
  std::function<void()> m_build;
  std::vector<std::function<void()>> m_whenBuilt;
};

template <class W>
class Deferred {
public:
  using Widget = W;

  explicit Deferred(DeferredPart &part) : m_part(&part) {}
  Deferred(const Deferred &) = delete;
  Deferred &operator=(const Deferred &) = delete;

  // The builder stores the widget it made.
  Deferred &operator=(W *widget) {
    m_widget = widget;
    return *this;
  }

  W *get() const {
    m_part->ensureBuilt();
    return m_widget;
  }
  W *operator->() const { return get(); }
  operator W *() const { return get(); }

  // The widget if its group is made (or being made), null otherwise; never builds.
  W *ifBuilt() const { return m_widget; }

  // Whether an object is this widget: an object that exists cannot be a widget not made
  // yet, so the comparison never builds.
  template <class Object>
  friend bool operator==(const Deferred &member, Object *object) {
    return object && member.m_widget == object;
  }

private:
  DeferredPart *m_part;
  W *m_widget = nullptr;
};

// The widget type a member holds, for a plain pointer or a deferred member alike.
template <class M>
struct HeldWidget;
template <class W>
struct HeldWidget<W *> {
  using type = W;
};
template <class W>
struct HeldWidget<Deferred<W>> {
  using type = W;
};
