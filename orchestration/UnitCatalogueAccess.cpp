#include "orchestration/UnitCatalogueAccess.h"

#include <stdexcept>

#include "catalogue/kvrShortcutFiles.h"
#include "resources/OmbrantStrings.h"

namespace ombrant {

std::string FormatStr(std::string_view format,
                      std::initializer_list<std::string_view> arguments) {
  std::string out;
  auto next = arguments.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' &&
        next != arguments.end()) {
      out += *next++;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

std::string RestrictedShortcutArguments(std::string_view userName, std::string_view executable,
                                        std::string_view runParameters) {
  return FormatStr(LoadStr(sRunAsArguments), {userName, executable, runParameters});
}

bool TPlainApplication::CreateRestrictedShortcut(std::string_view linkFile,
                                                 std::string_view userName) {
  try {
    WriteShortcut(port_, linkFile, "runas", data_.executable,
                  FormatStr("Starts %s under a limited user account.", {data_.displayName}),
                  RestrictedShortcutArguments(userName, data_.executable, data_.runParameters), 0);
    return LinkExists(linkFile);
  } catch (...) {
    return false;
  }
}

bool TPlainApplication::CreateDirectShortcut(std::string_view linkFile) {
  try {
    WriteShortcut(port_, linkFile, data_.executable, data_.executable,
                  FormatStr("Starts %s under your current user account.", {data_.displayName}),
                  data_.runParameters, 0);
    return LinkExists(linkFile);
  } catch (...) {
    return false;
  }
}

bool TPlainApplication::LinkExists(std::string_view linkFile) const {
  std::uint32_t attributes = 0;
  return port_.files.GetFileAttributes(linkFile, &attributes) == port::kErrorSuccess &&
         (attributes & port::kFileAttributeDirectory) == 0;
}

TPlainApplication& TPlainCatalogue::Add(port::Port& port, TPlainApplication::Data data) {
  items_.push_back(std::make_unique<TPlainApplication>(port, std::move(data)));
  return *items_.back();
}

TOrchestratedApplication& TPlainCatalogue::Items(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("catalogue index out of range");
  return *items_[static_cast<std::size_t>(index)];
}

}  // namespace ombrant
