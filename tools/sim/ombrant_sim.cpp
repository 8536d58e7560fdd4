// ombrant-sim MACHINE SCRIPT OUT: runs the wizard headless on a simulated machine, step by step
// from SCRIPT, and writes the resulting machine and a log of what the user saw to OUT.
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <string>
#include <vector>

#include "definitions/kvrSoftwareClasses.h"
#include "orchestration/UnitNetworkingApps.h"
#include "platform/port/kvrPort.h"
#include "platform/sim/simMachine.h"
#include "platform/vqNTStuff.h"
#include "platform/vqNetInfo.h"
#include "wizard/FormUnitMain.h"

namespace fs = std::filesystem;

namespace ombrant::tools {
namespace {

struct Step {
  int line = 0;
  std::string verb;
  std::string arg1;  // control, number or text
  std::string arg2;  // text after the control
};

// A script that cannot be read: exit status 2.
struct ScriptError {
  std::string message;
};
// A step that failed: exit status 1.
struct StepFailure {
  std::string message;
};

std::string Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

// Splits off the first word; the rest (trimmed) stays in `rest`.
std::string Word(std::string& rest) {
  rest = Trim(rest);
  const std::size_t space = rest.find_first_of(" \t");
  std::string word = rest.substr(0, space);
  rest = space == std::string::npos ? std::string() : Trim(rest.substr(space));
  return word;
}

std::vector<Step> ReadScript(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw ScriptError{file.string() + ": cannot be read"};
  std::vector<Step> steps;
  std::string raw;
  int number = 0;
  auto fail = [&](const std::string& why) {
    throw ScriptError{file.string() + ":" + std::to_string(number) + ": " + why};
  };
  while (std::getline(in, raw)) {
    ++number;
    std::string rest = Trim(raw);
    if (rest.empty() || rest[0] == '#') continue;
    Step step;
    step.line = number;
    step.verb = Word(rest);
    const std::string& v = step.verb;
    if (v == "next" || v == "previous" || v == "uninstall" || v == "exit") {
      if (!rest.empty()) fail("\"" + v + "\" takes nothing after it");
    } else if (v == "tab") {
      step.arg1 = rest;
      if (rest.size() != 1 || rest[0] < '0' || rest[0] > '3') fail("tab takes a page 0 to 3");
    } else if (v == "set" || v == "pick" || v == "tick" || v == "untick" || v == "select" ||
               v == "expect-status") {
      step.arg1 = Word(rest);
      step.arg2 = rest;
      if (step.arg1.empty()) fail("\"" + v + "\" needs a control");
      if (v != "set" && step.arg2.empty()) fail("\"" + v + "\" needs a name");
      if (v == "expect-status") {
        // expect-status NAME = TEXT: the name may hold blanks, so " = " separates.
        const std::string whole = step.arg1 + " " + step.arg2;
        const std::size_t equals = whole.find(" = ");
        if (equals == std::string::npos) fail("expect-status takes NAME = STATUS");
        step.arg1 = whole.substr(0, equals);
        step.arg2 = whole.substr(equals + 3);
      }
    } else if (v == "check") {
      step.arg1 = rest;
      if (rest.empty()) fail("check needs a control");
    } else if (v == "answer") {
      step.arg1 = rest;
      if (rest != "ok" && rest != "yes" && rest != "no" && rest != "cancel") {
        fail("answer takes ok, yes, no or cancel");
      }
    } else if (v == "close" || v == "expect-box") {
      step.arg1 = rest;
      if (rest.empty()) fail("\"" + v + "\" needs a text");
    } else {
      fail("unknown step \"" + v + "\"");
    }
    steps.push_back(std::move(step));
  }
  return steps;
}

std::string Quote(std::string_view text) {
  std::string result = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') result += '\\';
    if (c == '\n') {
      result += "\\n";
    } else if (c == '\r') {
      result += "\\r";
    } else {
      result += c;
    }
  }
  return result + "\"";
}

std::string BoxType(std::uint32_t type) {
  std::string icon = "plain";
  switch (type & 0xF0) {
    case port::kMbIconError: icon = "error"; break;
    case port::kMbIconQuestion: icon = "question"; break;
    case port::kMbIconWarning: icon = "warning"; break;
    case port::kMbIconInformation: icon = "information"; break;
    default: break;
  }
  std::string buttons = "ok";
  switch (type & 0x0F) {
    case port::kMbOkCancel: buttons = "okcancel"; break;
    case port::kMbYesNo: buttons = "yesno"; break;
    case port::kMbYesNoCancel: buttons = "yesnocancel"; break;
    default: break;
  }
  return icon + "-" + buttons;
}

std::string AnswerName(int answer) {
  switch (answer) {
    case port::kIdOk: return "ok";
    case port::kIdCancel: return "cancel";
    case port::kIdYes: return "yes";
    case port::kIdNo: return "no";
    default: return "none";
  }
}

// The user at the screen: answers boxes from the queue, closes programs when asked, and logs.
class ScriptedUser final : public port::IUi {
 public:
  ScriptedUser(sim::SimProcesses& processes, std::vector<std::string>& log)
      : processes_(processes), log_(log) {}

  void QueueAnswer(int answer) { queue_.push_back({answer, {}}); }
  void QueueClose(std::string path) { queue_.push_back({0, std::move(path)}); }

  int MessageBox(port::HWnd, std::string_view text, std::string_view caption,
                 std::uint32_t type) override {
    // Programs to close go first: the user closes them, then answers.
    while (!queue_.empty() && !queue_.front().closePath.empty()) {
      processes_.CloseProcessesWithPath(queue_.front().closePath);
      queue_.pop_front();
    }
    int answer = 0;
    if (queue_.empty()) {
      if (!unanswered_) unanswered_ = std::string(text);
    } else {
      answer = queue_.front().answer;
      queue_.pop_front();
    }
    shown_.emplace_back(text);
    log_.push_back("box " + BoxType(type) + " " + Quote(caption) + " " + Quote(text) + " -> " +
                   AnswerName(answer));
    return answer;
  }

  // The text of a box that found no answer, once.
  std::optional<std::string> TakeUnanswered() { return std::exchange(unanswered_, std::nullopt); }
  [[nodiscard]] const std::vector<std::string>& Shown() const { return shown_; }

 private:
  struct Queued {
    int answer;
    std::string closePath;
  };
  sim::SimProcesses& processes_;
  std::vector<std::string>& log_;
  std::deque<Queued> queue_;
  std::vector<std::string> shown_;
  std::optional<std::string> unanswered_;
};

class PortAccountFacts final : public IAccountFacts {
 public:
  explicit PortAccountFacts(port::IAccounts& accounts) : accounts_(accounts) {}
  std::string GetCurrentUserName() override { return ombrant::GetCurrentUserName(accounts_); }
  std::vector<std::string> GetLocalUserNames() override {
    std::vector<std::string> names;
    ombrant::GetLocalUserNames(accounts_, names);
    return names;
  }
  bool GetCurrentUserPrivilege(std::uint32_t* privilege) override {
    return ombrant::GetCurrentUserPrivilege(accounts_, privilege);
  }

 private:
  port::IAccounts& accounts_;
};

template <class T>
T& ControlOf(TformKestrova& form, const std::string& name, const char* kind) {
  auto* control = dynamic_cast<T*>(form.FindControl(name));
  if (control == nullptr) throw StepFailure{"no " + std::string(kind) + " named \"" + name + "\""};
  return *control;
}

int ListItemNamed(ui::ListView& view, const std::string& name) {
  for (int i = 0; i < view.ItemCount(); ++i) {
    if (view.Item(i).caption == name) return i;
  }
  throw StepFailure{"\"" + view.Name() + "\" has no item \"" + name + "\""};
}

void Require(bool done, const std::string& what) {
  if (!done) throw StepFailure{what + " is not available"};
}

int Run(const fs::path& machineFolder, const fs::path& scriptFile, const fs::path& out) {
  sim::SimFileError loadError;
  std::unique_ptr<sim::SimMachine> machine = sim::SimMachine::Load(machineFolder, &loadError);
  if (!machine) {
    std::cerr << "ombrant-sim: " << loadError.ToString() << "\n";
    return 2;
  }
  std::vector<Step> steps;
  try {
    steps = ReadScript(scriptFile);
  } catch (const ScriptError& e) {
    std::cerr << "ombrant-sim: " << e.message << "\n";
    return 2;
  }

  std::vector<std::string> log;
  ScriptedUser user(machine->ProcessArea(), log);
  sim::SimMachine& started = *machine;
  machine->Shell().OnShellExecute = [&log, &started](const sim::ShellExecuteRecord& record) {
    log.push_back("run " + record.operation + " " + Quote(record.file) + " " +
                  Quote(record.parameters));
    return started.StartProgram(record);
  };
  port::Port port{machine->Registry(),        machine->System(),   machine->Files(),
                  machine->Shell(),           user,                machine->AccountDatabase(),
                  machine->Security(),        machine->ProcessArea()};
  TNTStuff nt(port.system);
  PortAccountFacts facts(port.accounts);
  TSoftwareClassRegistry classes;
  RegisterSoftwareClasses(classes);
  int status = 0;
  std::string failure;
  {
    TKestrovaServices services{
        user, nt, facts,
        [&port, &classes]() -> std::unique_ptr<TNetworkingApps> {
          return std::make_unique<TNetworkingApps>(port, classes);
        },
        []() -> std::string { throw std::runtime_error("no introduction in a simulated run"); },
        {}};
    std::unique_ptr<TformKestrova> form;
    int page = -1;
    auto notePage = [&] {
      if (form && form->pcMain.ActivePageIndex() != page) {
        page = form->pcMain.ActivePageIndex();
        log.push_back("page " + std::to_string(page));
      }
    };
    auto checkBoxes = [&] {
      if (const auto text = user.TakeUnanswered()) {
        throw StepFailure{"a message box had no answer queued: " + Quote(*text)};
      }
    };
    std::size_t expected = 0;  // boxes already matched by expect-box
    int line = 0;
    try {
      form = std::make_unique<TformKestrova>(std::move(services));
      form->FormShow();
      form->FormPaint();
      checkBoxes();
      notePage();
      for (const Step& step : steps) {
        line = step.line;
        const std::string& v = step.verb;
        if (v == "next") {
          Require(form->bnNext.UserClick(), "next");
        } else if (v == "previous") {
          Require(form->bnPrevious.UserClick(), "previous");
        } else if (v == "uninstall") {
          Require(form->bnCustom.UserClick(), "uninstall");
        } else if (v == "exit") {
          Require(form->bnExit.UserClick(), "exit");
          checkBoxes();
          break;
        } else if (v == "tab") {
          Require(form->pcMain.UserSelectTab(step.arg1[0] - '0'), "tab " + step.arg1);
        } else if (v == "set") {
          Require(ControlOf<ui::Edit>(*form, step.arg1, "edit field").UserSetText(step.arg2),
                  "typing into " + step.arg1);
        } else if (v == "check") {
          ui::Control* control = form->FindControl(step.arg1);
          if (auto* radio = dynamic_cast<ui::RadioButton*>(control)) {
            Require(radio->UserClick(), step.arg1);
          } else if (auto* box = dynamic_cast<ui::CheckBox*>(control)) {
            Require(box->UserClick(), step.arg1);
          } else {
            throw StepFailure{"no radio button or check box named \"" + step.arg1 + "\""};
          }
        } else if (v == "pick") {
          auto& combo = ControlOf<ui::ComboBox>(*form, step.arg1, "combo box");
          int index = -1;
          for (std::size_t i = 0; i < combo.Items().size(); ++i) {
            if (combo.Items()[i].text == step.arg2) index = static_cast<int>(i);
          }
          if (index < 0) throw StepFailure{"\"" + step.arg1 + "\" has no entry \"" + step.arg2 + "\""};
          Require(combo.UserSelect(index), "picking " + step.arg2);
        } else if (v == "tick" || v == "untick") {
          auto& view = ControlOf<ui::ListView>(*form, step.arg1, "list view");
          Require(view.UserSetChecked(ListItemNamed(view, step.arg2), v == "tick"),
                  v + " " + step.arg2);
        } else if (v == "select") {
          auto& view = ControlOf<ui::ListView>(*form, step.arg1, "list view");
          const int index = ListItemNamed(view, step.arg2);
          Require(view.UserClick(index) || view.UserSelect(index), "selecting " + step.arg2);
        } else if (v == "expect-status") {
          auto& view = ControlOf<ui::ListView>(*form, "lvMigrationApps", "list view");
          const int index = ListItemNamed(view, step.arg1);
          const std::string shown = view.ColumnText(index, 1);
          if (shown != step.arg2) {
            throw StepFailure{"expected the status " + Quote(step.arg2) + " for " +
                              Quote(step.arg1) + ", but it was " + Quote(shown)};
          }
        } else if (v == "answer") {
          const std::string& a = step.arg1;
          user.QueueAnswer(a == "ok" ? port::kIdOk
                           : a == "yes" ? port::kIdYes
                           : a == "no"  ? port::kIdNo
                                        : port::kIdCancel);
        } else if (v == "close") {
          user.QueueClose(step.arg1);
        } else if (v == "expect-box") {
          if (expected >= user.Shown().size()) {
            throw StepFailure{"expected the box " + Quote(step.arg1) + ", but no box was shown"};
          }
          const std::string& shown = user.Shown()[expected++];
          if (shown != step.arg1) {
            throw StepFailure{"expected the box " + Quote(step.arg1) + ", but it was " +
                              Quote(shown)};
          }
        }
        checkBoxes();
        notePage();
      }
      line = 0;
      form.reset();  // closes the window
      checkBoxes();
    } catch (const StepFailure& e) {
      status = 1;
      failure = e.message;
    } catch (const std::exception& e) {
      status = 1;
      failure = std::string("the program failed: ") + e.what();
    }
    if (status != 0) {
      std::cerr << "ombrant-sim: " << scriptFile.string();
      if (line > 0) std::cerr << ":" << line;
      std::cerr << ": " << failure << "\n";
    }
  }
  log.push_back("exit " + std::to_string(status));

  std::error_code ec;
  fs::create_directories(out, ec);
  sim::SimFileError saveError;
  if (!machine->Save(out, &saveError)) {
    std::cerr << "ombrant-sim: cannot write: " << saveError.ToString() << "\n";
    return status != 0 ? status : 1;
  }
  std::ofstream logFile(out / "log.txt", std::ios::binary);
  for (const std::string& entry : log) logFile << entry << "\n";
  return status;
}

}  // namespace
}  // namespace ombrant::tools

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: ombrant-sim MACHINE SCRIPT OUT\n";
    return 2;
  }
  return ombrant::tools::Run(argv[1], argv[2], argv[3]);
}
