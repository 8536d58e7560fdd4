#include "platform/vqStringList.h"

#include <algorithm>
#include <numeric>

#include "platform/vqStrings.h"

namespace ombrant {

TStringList::TStringList(std::initializer_list<std::string> lines) {
  for (const std::string& line : lines) Add(line);
}

int TStringList::Compare(std::string_view a, std::string_view b) const {
  return caseSensitive_ ? a.compare(b) : CompareText(a, b);
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) {
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  }
}

const std::string& TStringList::operator[](int index) const {
  CheckIndex(index);
  return lines_[static_cast<std::size_t>(index)];
}

std::intptr_t TStringList::Objects(int index) const {
  CheckIndex(index);
  return tags_[static_cast<std::size_t>(index)];
}

void TStringList::PutObject(int index, std::intptr_t tag) {
  CheckIndex(index);
  tags_[static_cast<std::size_t>(index)] = tag;
}

void TStringList::InsertAt(int index, std::string line, std::intptr_t tag) {
  lines_.insert(lines_.begin() + index, std::move(line));
  tags_.insert(tags_.begin() + index, tag);
}

int TStringList::LowerBound(std::string_view line) const {
  const auto it = std::lower_bound(lines_.begin(), lines_.end(), line,
                                   [this](const std::string& a, std::string_view b) {
                                     return Compare(a, b) < 0;
                                   });
  return static_cast<int>(it - lines_.begin());
}

int TStringList::Add(std::string line) { return AddObject(std::move(line), 0); }

int TStringList::AddObject(std::string line, std::intptr_t tag) {
  if (!sorted_) {
    InsertAt(Count(), std::move(line), tag);
    return Count() - 1;
  }
  int index = LowerBound(line);
  if (index < Count() && Compare(lines_[static_cast<std::size_t>(index)], line) == 0) {
    if (duplicates_ == TDuplicates::dupIgnore) return index;
    if (duplicates_ == TDuplicates::dupError) {
      throw EStringListError("String list does not allow duplicates");
    }
    // Equal lines keep the order they were added in.
    while (index < Count() && Compare(lines_[static_cast<std::size_t>(index)], line) == 0) ++index;
  }
  InsertAt(index, std::move(line), tag);
  return index;
}

void TStringList::AddStrings(const TStringList& other) {
  if (&other == this) {
    const TStringList copy = other;  // adding to the list being read would never end
    AddStrings(copy);
    return;
  }
  for (int i = 0; i < other.Count(); ++i) AddObject(other.lines_[i], other.tags_[i]);
}

void TStringList::Insert(int index, std::string line) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) {
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  InsertAt(index, std::move(line), 0);
}

void TStringList::Put(int index, std::string line) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index);
  lines_[static_cast<std::size_t>(index)] = std::move(line);
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  lines_.erase(lines_.begin() + index);
  tags_.erase(tags_.begin() + index);
}

void TStringList::Clear() {
  lines_.clear();
  tags_.clear();
}

bool TStringList::Find(std::string_view line, int& index) const {
  if (sorted_) {
    index = LowerBound(line);
    return index < Count() && Compare(lines_[static_cast<std::size_t>(index)], line) == 0;
  }
  for (int i = 0; i < Count(); ++i) {
    if (Compare(lines_[static_cast<std::size_t>(i)], line) == 0) {
      index = i;
      return true;
    }
  }
  index = Count();
  return false;
}

int TStringList::IndexOf(std::string_view line) const {
  int index = 0;
  return Find(line, index) ? index : -1;
}

void TStringList::Sort() {
  std::vector<std::size_t> order(lines_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
    return Compare(lines_[a], lines_[b]) < 0;
  });
  std::vector<std::string> lines;
  std::vector<std::intptr_t> tags;
  lines.reserve(order.size());
  tags.reserve(order.size());
  for (std::size_t i : order) {
    lines.push_back(std::move(lines_[i]));
    tags.push_back(tags_[i]);
  }
  lines_ = std::move(lines);
  tags_ = std::move(tags);
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == caseSensitive_) return;
  caseSensitive_ = caseSensitive;
  if (sorted_) Sort();
}

std::string TStringList::Text() const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void TStringList::SetText(std::string_view text) {
  Clear();
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
      Add(std::string(text.substr(pos)));
      break;
    }
    Add(std::string(text.substr(pos, end - pos)));
    pos = end + 1;
    if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
}

std::string TStringList::Names(int index) const {
  const std::string& line = (*this)[index];
  const std::size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const {
  const std::string& line = (*this)[index];
  const std::size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

int TStringList::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& line = lines_[static_cast<std::size_t>(i)];
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos && SameText(std::string_view(line).substr(0, eq), name)) return i;
  }
  return -1;
}

std::string TStringList::Values(std::string_view name) const {
  const int index = IndexOfName(name);
  return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
  const int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  std::string line = std::string(name) + "=" + std::string(value);
  if (index < 0) {
    Add(std::move(line));
  } else if (sorted_) {
    // The new line may belong elsewhere in the order.
    const std::intptr_t tag = tags_[static_cast<std::size_t>(index)];
    Delete(index);
    AddObject(std::move(line), tag);
  } else {
    lines_[static_cast<std::size_t>(index)] = std::move(line);
  }
}

}  // namespace ombrant
