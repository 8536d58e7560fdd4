// The program's string list: ordered lines, optionally kept sorted, with a name=value view.
//
// All text is UTF-8, so the narrow and the wide list are the same class. Comparisons ignore
// case unless `SetCaseSensitive(true)`; they use the shared `CompareText`. Look-ups by name
// (`IndexOfName`, `Values`) always ignore case and find the first line of that name.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ombrant {

// What a sorted list does with a line equal to one it already holds (unsorted lists accept
// every line).
enum class TDuplicates { dupIgnore, dupAccept, dupError };

// Index out of range, a change that would break the order of a sorted list, or a duplicate in
// a list that forbids them.
class EStringListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TStringList {
 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> lines);

  [[nodiscard]] int Count() const { return static_cast<int>(lines_.size()); }
  [[nodiscard]] bool Empty() const { return lines_.empty(); }
  [[nodiscard]] const std::string& operator[](int index) const;
  [[nodiscard]] const std::vector<std::string>& Strings() const { return lines_; }
  [[nodiscard]] std::vector<std::string>::const_iterator begin() const { return lines_.begin(); }
  [[nodiscard]] std::vector<std::string>::const_iterator end() const { return lines_.end(); }

  // An integer carried by each line (a process id, for example); 0 unless set.
  [[nodiscard]] std::intptr_t Objects(int index) const;
  void PutObject(int index, std::intptr_t tag);

  // Appends, or on a sorted list inserts at the line's place. Returns the line's index; with
  // dupIgnore an equal line is not added and its index is returned; dupError throws.
  int Add(std::string line);
  int AddObject(std::string line, std::intptr_t tag);
  void AddStrings(const TStringList& other);
  // Not allowed on a sorted list (throws).
  void Insert(int index, std::string line);
  void Put(int index, std::string line);
  void Delete(int index);
  void Clear();

  // Index of the first line equal to `line`, or -1.
  [[nodiscard]] int IndexOf(std::string_view line) const;
  // True when found, with `index` the first equal line; otherwise false with `index` where
  // the line would go (a sorted list) or Count() (an unsorted one).
  bool Find(std::string_view line, int& index) const;

  [[nodiscard]] bool Sorted() const { return sorted_; }
  // Switching it on sorts the lines (duplicates already present stay).
  void SetSorted(bool sorted);
  [[nodiscard]] TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  [[nodiscard]] bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);
  void Sort();

  // Every line followed by CR LF.
  [[nodiscard]] std::string Text() const;
  // Replaces the lines; CR LF, LF and CR each end a line; a final line ending adds no empty
  // line. Lines go through `Add`, so a sorted list stays sorted and applies `Duplicates`.
  void SetText(std::string_view text);

  // The name=value view: the first "=" separates. A line without "=" has an empty name and
  // an empty value and matches no name.
  [[nodiscard]] std::string Names(int index) const;
  [[nodiscard]] std::string ValueFromIndex(int index) const;
  [[nodiscard]] int IndexOfName(std::string_view name) const;
  // The value of the first line of that name; empty when there is none.
  [[nodiscard]] std::string Values(std::string_view name) const;
  // Replaces the first line of that name or adds name=value; an empty value removes the line.
  void SetValue(std::string_view name, std::string_view value);

 private:
  [[nodiscard]] int Compare(std::string_view a, std::string_view b) const;
  void CheckIndex(int index) const;
  // First index whose line is not less than `line` (sorted lists only).
  [[nodiscard]] int LowerBound(std::string_view line) const;
  void InsertAt(int index, std::string line, std::intptr_t tag);

  std::vector<std::string> lines_;
  std::vector<std::intptr_t> tags_;  // parallel to lines_
  bool sorted_ = false;
  TDuplicates duplicates_ = TDuplicates::dupIgnore;
  bool caseSensitive_ = false;
};

// Both kinds of list the program uses hold UTF-8 text.
using TWideStringList = TStringList;

}  // namespace ombrant
