// What the orchestrator uses of the catalogue of detected applications, and a plain in-memory
// catalogue that writes shortcuts as the application model does. The application model proper
// is adapted to these two interfaces once it is in the program.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPort.h"

namespace ombrant {

// Display texts of the categories, by ordinal (the list-view group id).
inline constexpr std::string_view kSoftwareCategoryNames[] = {"Other", "Browser", "Email", "Chat",
                                                               "Multimedia"};

// Replaces each "%s" in turn by the next argument; a "%s" without an argument stays.
[[nodiscard]] std::string FormatStr(std::string_view format,
                                    std::initializer_list<std::string_view> arguments);

// The runas.exe arguments that start `executable` under `userName`: string 65169 filled with
// the account, the program and its run parameters.
[[nodiscard]] std::string RestrictedShortcutArguments(std::string_view userName,
                                                      std::string_view executable,
                                                      std::string_view runParameters);

// One detected application as the orchestrator sees it.
class TOrchestratedApplication {
 public:
  virtual ~TOrchestratedApplication() = default;

  [[nodiscard]] virtual std::string DisplayName() const = 0;
  [[nodiscard]] virtual std::string Executable() const = 0;
  [[nodiscard]] virtual std::string RunParameters() const = 0;
  [[nodiscard]] virtual int Category() const = 0;  // ordinal, 0 (other) to 4 (multimedia)
  [[nodiscard]] virtual int ImageIndex() const = 0;
  [[nodiscard]] virtual bool Active() const = 0;
  virtual void SetActive(bool active) = 0;
  // Write a shortcut starting the program under `userName` through runas / under the running
  // account; true when the link file exists afterwards.
  virtual bool CreateRestrictedShortcut(std::string_view linkFile, std::string_view userName) = 0;
  virtual bool CreateDirectShortcut(std::string_view linkFile) = 0;
};

class TOrchestratedCatalogue {
 public:
  virtual ~TOrchestratedCatalogue() = default;
  [[nodiscard]] virtual int Count() const = 0;
  // Throws std::out_of_range for an index outside 0..Count()-1.
  [[nodiscard]] virtual TOrchestratedApplication& Items(int index) = 0;
};

// An application known by its data only.
class TPlainApplication final : public TOrchestratedApplication {
 public:
  struct Data {
    std::string displayName;
    std::string executable;
    std::string runParameters;
    int category = 0;
    int imageIndex = -1;
  };

  TPlainApplication(port::Port& port, Data data) : port_(port), data_(std::move(data)) {}

  [[nodiscard]] std::string DisplayName() const override { return data_.displayName; }
  [[nodiscard]] std::string Executable() const override { return data_.executable; }
  [[nodiscard]] std::string RunParameters() const override { return data_.runParameters; }
  [[nodiscard]] int Category() const override { return data_.category; }
  [[nodiscard]] int ImageIndex() const override { return data_.imageIndex; }
  [[nodiscard]] bool Active() const override { return active_; }
  void SetActive(bool active) override { active_ = active; }
  bool CreateRestrictedShortcut(std::string_view linkFile, std::string_view userName) override;
  bool CreateDirectShortcut(std::string_view linkFile) override;

 private:
  [[nodiscard]] bool LinkExists(std::string_view linkFile) const;

  port::Port& port_;
  Data data_;
  bool active_ = true;
};

class TPlainCatalogue final : public TOrchestratedCatalogue {
 public:
  TPlainApplication& Add(port::Port& port, TPlainApplication::Data data);
  [[nodiscard]] int Count() const override { return static_cast<int>(items_.size()); }
  [[nodiscard]] TOrchestratedApplication& Items(int index) override;

 private:
  std::vector<std::unique_ptr<TPlainApplication>> items_;
};

}  // namespace ombrant
