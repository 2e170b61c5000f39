// runtime.cpp: form instances, the event dispatcher and the end of the program.
#include "platform/runtime.h"

#include <new>
#include <string>

#include "platform/errors.h"

namespace platform {
namespace {

constexpr int kFailureStatus = 1;

}  // namespace

Form& FormRef::instance() const { return runtime_->form(slot_); }
void FormRef::Show() const { instance().Show(); }
void FormRef::Unload() const { instance().Unload(); }

Runtime::Runtime(const ProjectRecord& project, Host& host, Random& random)
    : project_(&project),
      host_(&host),
      random_(&random),
      slots_(project.forms.size()),
      handlers_(project.forms.size()) {
  host_->attach(*this);
}

Runtime::~Runtime() = default;

Form& Runtime::form(int slot) {
  auto& instance = slots_.at(static_cast<std::size_t>(slot));
  if (!instance) {
    instance =
        std::make_unique<Form>(*this, slot, *project_->forms[static_cast<std::size_t>(slot)]);
  }
  return *instance;
}

bool Runtime::created(int slot) const {
  return slots_.at(static_cast<std::size_t>(slot)) != nullptr;
}

int Runtime::loadedCount() const {
  int count = 0;
  for (const auto& instance : slots_) count += instance && instance->loaded() ? 1 : 0;
  return count;
}

void Runtime::bind(int slot, std::string_view handlerName, std::function<void()> handler) {
  const FormDesign& design = *project_->forms[static_cast<std::size_t>(slot)];
  bool named = handlerName == design.load && !design.load.empty();
  for (const ControlDesign& row : design.controls) named = named || row.click == handlerName;
  if (!named) {
    throw RuntimeError(ErrorNumber::ObjectRequired,
                       std::string(design.name) + "." + std::string(handlerName));
  }
  handlers_[static_cast<std::size_t>(slot)][std::string(handlerName)] = std::move(handler);
}

void Runtime::checkBindings() const {
  for (std::size_t slot = 0; slot < project_->forms.size(); ++slot) {
    const FormDesign& design = *project_->forms[slot];
    auto missing = [&](std::string_view name) {
      return !name.empty() && !handlers_[slot].contains(name);
    };
    if (missing(design.load)) {
      throw RuntimeError(ErrorNumber::ObjectRequired, std::string(design.load));
    }
    for (const ControlDesign& row : design.controls) {
      if (missing(row.click))
        throw RuntimeError(ErrorNumber::ObjectRequired, std::string(row.click));
    }
  }
}

std::function<void()>* Runtime::handlerFor(int slot, std::string_view name) {
  auto& table = handlers_.at(static_cast<std::size_t>(slot));
  auto found = table.find(name);
  return found == table.end() ? nullptr : &found->second;
}

void Runtime::start() {
  dispatch([this] {
    checkBindings();
    form(0).Show();
  });
}

void Runtime::click(int slot, std::uint64_t generation, int index) {
  dispatch([this, slot, generation, index] {
    Form& target = form(slot);
    if (!target.loaded() || target.generation() != generation) return;
    const ControlDesign& row = target.design().controls[static_cast<std::size_t>(index)];
    // A control without a Click handler ignores the click.
    if (row.click.empty()) return;
    if (auto* handler = handlerFor(slot, row.click)) (*handler)();
  });
}

void Runtime::closeRequest(int slot, std::uint64_t generation) {
  dispatch([this, slot, generation] {
    Form& target = form(slot);
    if (target.loaded() && target.generation() == generation) target.Unload();
  });
}

void Runtime::runLoadHandler(int slot) {
  const FormDesign& design = *project_->forms[static_cast<std::size_t>(slot)];
  if (design.load.empty()) return;
  if (auto* handler = handlerFor(slot, design.load)) (*handler)();
}

void Runtime::dispatch(const std::function<void()>& work) {
  // One event at a time: nothing is delivered while a handler runs, which includes the time a
  // message box is open inside it, and nothing at all once the program has ended.
  if (busy_ || ended()) return;
  busy_ = true;
  try {
    work();
  } catch (const ProgramEnded&) {
  } catch (const RuntimeError& error) {
    fail(error);
  } catch (const std::bad_alloc&) {
    fail(RuntimeError(ErrorNumber::OutOfMemory));
  } catch (const std::exception& error) {
    fail(RuntimeError(ErrorNumber::Internal, error.what()));
  } catch (...) {
    fail(RuntimeError(ErrorNumber::Internal));
  }
  busy_ = false;
  // Judged only now, so that a handler may unload its window and show it again.
  if (!ended() && loadedCount() == 0) finish(0);
}

void Runtime::fail(const RuntimeError& error) {
  try {
    host_->errorBox(error.boxText(), project_->title);
  } catch (...) {
    // The box is the last courtesy; the program ends with its failure status either way.
  }
  finish(kFailureStatus);
}

void Runtime::finish(int status) {
  if (ended()) return;
  exitStatus_ = status;
  for (auto& instance : slots_) {
    if (!instance || !instance->loaded()) continue;
    try {
      instance->Unload();
    } catch (...) {
    }
  }
  host_->quit(status);
}

void Runtime::End() {
  finish(0);
  throw ProgramEnded{};
}

void Runtime::terminate(int status) { finish(status); }

void Runtime::stopIfEnded() const {
  if (ended()) throw ProgramEnded{};
}

void Runtime::MsgBox(std::string_view prompt, int buttons, std::string_view title) {
  if (buttons != vbOKOnly) throw RuntimeError(ErrorNumber::InvalidCall, "MsgBox");
  host_->messageBox(prompt, title);
  stopIfEnded();
}

void Runtime::Randomize() { random_->Randomize(); }

float Runtime::Rnd() { return random_->Rnd(); }

}  // namespace platform
