// runtime.h: the form runtime: form instances, event dispatch, End, MsgBox and random numbers.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/design.h"
#include "platform/errors.h"
#include "platform/form.h"
#include "platform/form_ref.h"
#include "platform/host.h"
#include "platform/random.h"

namespace platform {

// MsgBox's buttons value for one "OK" button and no icon, the only style the program uses.
inline constexpr int vbOKOnly = 0;

class Runtime {
 public:
  Runtime(const ProjectRecord& project, Host& host, Random& random);
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  const ProjectRecord& project() const { return *project_; }
  Host& host() { return *host_; }

  // The default instance of form number `slot` of the project, made on its first use.
  Form& form(int slot);
  bool created(int slot) const;
  int loadedCount() const;

  // Wires `handler` to the event named `<control>_Click` or `Form_Load` of form `slot`. Runtime
  // error 424 if the design names no such handler.
  void bind(int slot, std::string_view handlerName, std::function<void()> handler);
  // Runtime error 424 unless every handler that the designs name is bound.
  void checkBindings() const;

  // The program's start, as one event: checks the bindings, then opens the first form.
  void start();

  // Events from the window system. Each is one dispatch: delivered only when no other handler
  // is running (nor a message box open), and dropped when it comes from a stale window.
  // Input that the player makes while a handler runs waits in the window system's queue and is
  // delivered in turn once the handler has returned, as on any desktop: no click made after a
  // handler has returned is ever lost. What was aimed at a window that the handler unloaded goes
  // with that window; only the windows behind an open message box refuse input outright.
  void click(int slot, std::uint64_t generation, int index);
  void closeRequest(int slot, std::uint64_t generation);

  // Runs `work` as one event: runtime errors become the error box and the end of the program,
  // and once it has returned the program ends if no window is left loaded.
  void dispatch(const std::function<void()>& work);
  bool busy() const { return busy_; }
  bool ended() const { return exitStatus_.has_value(); }
  std::optional<int> exitStatus() const { return exitStatus_; }

  // Stops the program at once: every window goes and no further event is delivered. Called
  // from a handler, it does not return to it.
  [[noreturn]] void End();
  // Ends the program from outside any handler, as a termination signal does. A handler that is
  // waiting on a message box does not go on once the box has gone.
  void terminate(int status);
  // Throws ProgramEnded once the program has ended, so that no handler goes on after the end.
  void stopIfEnded() const;

  // Modal; returns when the player has closed the box. Only vbOKOnly is known.
  void MsgBox(std::string_view prompt, int buttons, std::string_view title);
  void Randomize();
  float Rnd();

  // For the forms: run the load handler of form `slot`, if it has one.
  void runLoadHandler(int slot);

 private:
  std::function<void()>* handlerFor(int slot, std::string_view name);
  void fail(const RuntimeError& error);
  void finish(int status);

  const ProjectRecord* project_;
  Host* host_;
  Random* random_;
  std::vector<std::unique_ptr<Form>> slots_;
  std::vector<std::map<std::string, std::function<void()>, std::less<>>> handlers_;
  bool busy_ = false;
  std::optional<int> exitStatus_;
};

}  // namespace platform
