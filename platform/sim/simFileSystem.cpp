#include "platform/sim/simFileSystem.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ombrant::sim {

namespace fs = std::filesystem;
using namespace port;

namespace {

constexpr std::uint32_t kSettableAttributes =
    kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem | kFileAttributeArchive |
    kFileAttributeTemporary | kFileAttributeOffline | kFileAttributeNotContentIndexed;

// FILETIME of 1970-01-01.
constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

bool IsReservedChar(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' ||
         c == '/' || c == '\\' || c == '|' || c == '?' || c == '*';
}

bool IsValidName(std::string_view name) {
  if (name.empty()) return false;
  if (std::any_of(name.begin(), name.end(), IsReservedChar)) return false;
  return name.back() != '.' && name.back() != ' ';
}

bool HasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

bool IsValidPattern(std::string_view pattern) {
  return std::none_of(pattern.begin(), pattern.end(),
                      [](char c) { return c != '*' && c != '?' && IsReservedChar(c); });
}

// Host names are UTF-8 on every host (std::filesystem would take narrow text as the ANSI code
// page on Windows).
fs::path HostName(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string NameOf(const fs::path& path) {
  const std::u8string name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

std::string HostText(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// A full Windows path taken apart: the drive letter and the components, with "." and ".."
// applied and empty components dropped, as GetFullPathName does.
struct ParsedPath {
  char drive = 'C';
  std::vector<std::string> components;

  [[nodiscard]] std::string Key() const {
    std::string key{drive, ':'};
    for (const std::string& c : components) {
      key += '\\';
      key += UpperCase(c);
    }
    return key;
  }
};

Status ParsePath(std::string_view path, ParsedPath* parsed) {
  if (path.find('/') != std::string_view::npos) return kErrorInvalidName;
  if (path.size() < 3 || path[1] != ':' || path[2] != '\\') return kErrorInvalidName;
  const char letter = path[0];
  if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) {
    return kErrorInvalidName;
  }
  ParsedPath result;
  result.drive = static_cast<char>(letter & ~0x20);
  std::size_t pos = 3;
  while (pos <= path.size()) {
    std::size_t end = path.find('\\', pos);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view component = path.substr(pos, end - pos);
    pos = end + 1;
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (!result.components.empty()) result.components.pop_back();
      continue;
    }
    if (!IsValidName(component)) return kErrorInvalidName;
    result.components.emplace_back(component);
  }
  *parsed = std::move(result);
  return kErrorSuccess;
}

// The host entry of `dir` whose name equals `name` ignoring case; the exact spelling wins.
std::optional<fs::path> FindChild(const fs::path& dir, const std::string& name) {
  std::error_code ec;
#ifndef _WIN32
  // A case-sensitive host finds the exact spelling without listing the folder.
  fs::path exact = dir / HostName(name);
  if (fs::exists(fs::symlink_status(exact, ec))) return exact;
#endif
  std::optional<std::string> best;
  for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) {
    std::string entryName = NameOf(e.path());
    if (!SameText(entryName, name)) continue;
    if (entryName == name) return e.path();
    if (!best || entryName < *best) best = std::move(entryName);
  }
  if (!best) return std::nullopt;
  return dir / HostName(*best);
}

// Replaces `to` by a copy of `from`, with its modification time. The target is removed first:
// some hosts' copy_file takes two files of one drive for the same file and refuses to overwrite.
// `targetExists`: what the caller already knows of `to`.
bool CopyHostFile(const fs::path& from, const fs::path& to, bool targetExists) {
  std::error_code ec;
  if (targetExists && !fs::remove(to, ec)) return false;
#ifndef _WIN32
  // Copies of many small setting files: the fewest system calls, the kernel moving the bytes.
  struct Descriptor {
    int fd;
    ~Descriptor() {
      if (fd >= 0) ::close(fd);
    }
  };
  const Descriptor in{::open(from.c_str(), O_RDONLY | O_CLOEXEC)};
  if (in.fd < 0) return false;
  struct stat source {};
  if (::fstat(in.fd, &source) != 0) return false;
  Descriptor out{::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, source.st_mode & 07777)};
  if (out.fd < 0) return false;
  off_t left = source.st_size;
  // copy_file_range as cp does (a reflink or an in-kernel copy); sendfile where the kernel or
  // the file system refuses it, as across drives on different host file systems.
  bool ranged = true;
  while (left > 0) {
    ssize_t sent = -1;
    if (ranged) {
      sent = ::copy_file_range(in.fd, nullptr, out.fd, nullptr, static_cast<std::size_t>(left), 0);
      if (sent < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                       errno == EOPNOTSUPP || errno == EPERM)) {
        ranged = false;
        continue;
      }
    } else {
      sent = ::sendfile(out.fd, in.fd, nullptr, static_cast<std::size_t>(left));
    }
    if (sent <= 0) {
      ::close(out.fd);
      out.fd = -1;
      fs::remove(to, ec);
      return false;
    }
    left -= sent;
  }
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  (void)::futimens(out.fd, times);
  return true;
#else
  if (!fs::copy_file(from, to, ec) || ec) return false;
  fs::last_write_time(to, fs::last_write_time(from, ec), ec);
  return true;
#endif
}

// Copies the tree `from` into the folder `to`, merging with what is there.
void CopyHostTree(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const fs::directory_entry& e : fs::directory_iterator(from)) {
    const fs::path target = to / e.path().filename();
    // Junctions are recorded by the machine, not copied: a loop among them has no end.
    if (e.is_symlink()) continue;
    if (e.is_directory()) {
      CopyHostTree(e.path(), target);
    } else if (!CopyHostFile(e.path(), target, fs::exists(fs::symlink_status(target)))) {
      throw fs::filesystem_error("cannot copy", e.path(), target,
                                 std::make_error_code(std::errc::io_error));
    }
  }
}

std::uint64_t WriteTimeOf(const fs::path& host) {
  std::error_code ec;
  const fs::file_time_type time = fs::last_write_time(host, ec);
  if (ec) return 0;
  const auto since = std::chrono::file_clock::to_sys(time).time_since_epoch();
  const auto ticks = std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>>(since).count();
  return ticks < 0 ? 0 : kUnixEpochAsFileTime + static_cast<std::uint64_t>(ticks);
}

bool WriteHostFile(const fs::path& host, std::string_view bytes) {
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool ReadHostFile(const fs::path& host, std::string* bytes) {
  std::ifstream in(host, std::ios::binary);
  if (!in) return false;
  std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return false;
  *bytes = std::move(content);
  return true;
}

// A token of a find pattern after the DOS conversion FindFirstFile applies.
enum class PatternToken : char16_t { kStar = 1, kDosStar, kDosQm, kDosDot, kLiteral };

struct PatternChar {
  PatternToken token;
  char16_t ch = 0;
};

std::vector<PatternChar> ConvertPattern(const std::u16string& p) {
  std::vector<PatternChar> out;
  if (p == u"*.*") return {{PatternToken::kStar}};
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char16_t c = p[i];
    const char16_t next = i + 1 < p.size() ? p[i + 1] : 0;
    if (c == u'?') {
      out.push_back({PatternToken::kDosQm});
    } else if (c == u'*') {
      out.push_back({next == u'.' ? PatternToken::kDosStar : PatternToken::kStar});
    } else if (c == u'.' && (next == u'?' || next == u'*' || i + 1 == p.size())) {
      out.push_back({PatternToken::kDosDot});
    } else {
      out.push_back({PatternToken::kLiteral, c});
    }
  }
  return out;
}

char16_t FoldUnit(char16_t c) {
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  return static_cast<char16_t>(UpperCaseCodePoint(c));
}

}  // namespace

bool MatchesFindPattern(std::string_view pattern, std::string_view name) {
  const std::vector<PatternChar> p = ConvertPattern(Utf8ToUtf16(pattern));
  const std::u16string n = Utf8ToUtf16(name);
  const std::size_t lastDot = n.rfind(u'.');
  // reachable[i]: the pattern prefix read so far can end at name position i. One step per
  // pattern token; the state set is small, so this is linear in pattern x name.
  std::vector<char> reachable(n.size() + 1, 0);
  reachable[0] = 1;
  for (const PatternChar& t : p) {
    std::vector<char> next(n.size() + 1, 0);
    for (std::size_t i = 0; i <= n.size(); ++i) {
      if (!reachable[i]) continue;
      switch (t.token) {
        case PatternToken::kStar:
          std::fill(next.begin() + static_cast<std::ptrdiff_t>(i), next.end(), 1);
          break;
        case PatternToken::kDosStar:
          // Any run of characters that does not swallow the name's last dot.
          for (std::size_t j = i;; ++j) {
            next[j] = 1;
            if (j == n.size() || (n[j] == u'.' && j == lastDot)) break;
          }
          break;
        case PatternToken::kDosQm:
          if (i == n.size() || n[i] == u'.') {
            next[i] = 1;
          } else {
            next[i + 1] = 1;
          }
          break;
        case PatternToken::kDosDot:
          if (i == n.size()) {
            next[i] = 1;
          } else if (n[i] == u'.') {
            next[i + 1] = 1;
          }
          break;
        case PatternToken::kLiteral:
          if (i < n.size() && FoldUnit(n[i]) == FoldUnit(t.ch)) next[i + 1] = 1;
          break;
      }
    }
    reachable = std::move(next);
  }
  return reachable[n.size()] != 0;
}

// One resolved path: where it is on the host and whether it exists.
struct SimFileSystem::Entry {
  std::string key;        // upper-cased normalised Windows path
  std::string parentKey;  // empty for a drive root
  std::string actualPath; // Windows path, with the case on disk where the entry exists
  fs::path host;          // the entry, or where it would be created
  fs::path parentHost;
  std::string leaf;  // the last component as given
  bool isRoot = false;
  bool exists = false;
  bool isFolder = false;
};

SimFileSystem::SimFileSystem(fs::path hostRoot, std::string windowsFolder)
    : hostRoot_(std::move(hostRoot)), windowsFolder_(std::move(windowsFolder)) {
  fs::create_directories(hostRoot_);
}

SimFileSystem::~SimFileSystem() = default;

Status SimFileSystem::Resolve(std::string_view path, Entry* entry, bool leafIsFree) const {
#ifdef _WIN32
  (void)leafIsFree;  // a host that ignores case finds the name as it is stored
#endif
  ParsedPath parsed;
  if (const Status s = ParsePath(path, &parsed); s != kErrorSuccess) return s;
  Entry result;
  result.key = parsed.Key();
  std::error_code ec;
  fs::path current = hostRoot_ / std::string(1, parsed.drive);
  std::string actual{parsed.drive, ':'};
  result.isRoot = parsed.components.empty();
#ifndef _WIN32
  // On a case-sensitive host a path spelled as stored exists as it is: one look at the whole
  // path, or at its folder, instead of one per element. Copies of many files go this way.
  if (!result.isRoot) {
    fs::path exact = current;
    std::string spelled = actual;
    for (const std::string& component : parsed.components) {
      exact /= HostName(component);
      spelled += '\\';
      spelled += component;
    }
    const fs::file_status status = fs::symlink_status(exact, ec);
    const bool exists = fs::exists(status);
    if (exists || fs::is_directory(exact.parent_path(), ec)) {
      const std::string& leaf = parsed.components.back();
      result.parentHost = exact.parent_path();
      result.leaf = leaf;
      result.parentKey = result.key.substr(0, result.key.rfind('\\'));
      if (!exists) {
        // Only the last element may be spelled otherwise than stored.
        if (std::optional<fs::path> child =
                leafIsFree ? std::nullopt : FindChild(result.parentHost, leaf)) {
          exact = std::move(*child);
          spelled = spelled.substr(0, spelled.size() - leaf.size()) + NameOf(exact);
        } else {
          result.host = std::move(exact);
          result.actualPath = std::move(spelled);
          *entry = std::move(result);
          return kErrorSuccess;
        }
      }
      result.isFolder = exists && !fs::is_symlink(status) ? fs::is_directory(status)
                                                          : fs::is_directory(exact, ec);
      result.host = std::move(exact);
      result.exists = true;
      result.actualPath = std::move(spelled);
      *entry = std::move(result);
      return kErrorSuccess;
    }
  }
#endif
  if (!fs::is_directory(current, ec)) return kErrorPathNotFound;
  for (std::size_t i = 0; i < parsed.components.size(); ++i) {
    const std::string& component = parsed.components[i];
    const bool last = i + 1 == parsed.components.size();
    if (!fs::is_directory(current, ec)) return kErrorPathNotFound;
    std::optional<fs::path> child = FindChild(current, component);
    if (!child) {
      if (!last) return kErrorPathNotFound;
      result.parentHost = current;
      result.host = current / HostName(component);
      result.leaf = component;
      result.actualPath = actual + "\\" + component;
      result.parentKey = result.key.substr(0, result.key.rfind('\\'));
      *entry = std::move(result);
      return kErrorSuccess;
    }
    if (last) {
      result.parentHost = current;
      result.leaf = component;
      result.parentKey = result.key.substr(0, result.key.rfind('\\'));
    }
    actual += '\\';
    actual += NameOf(*child);
    current = std::move(*child);
  }
  result.host = current;
  result.exists = true;
  result.isFolder = fs::is_directory(current, ec);
  result.actualPath = result.isRoot ? actual + "\\" : actual;
  *entry = std::move(result);
  return kErrorSuccess;
}

std::uint32_t SimFileSystem::AttributesOf(const Entry& entry) const {
  const auto it = attributes_.find(entry.key);
  if (entry.isFolder) {
    std::error_code ec;
    if (fs::is_symlink(entry.host, ec)) {
      // A junction reached through another one (a loop) is the same reparse point.
      const fs::path place = fs::weakly_canonical(entry.host.parent_path(), ec) / entry.host.filename();
      for (const Junction& junction : junctions_) {
        Entry own;
        if (Resolve(junction.path, &own) == kErrorSuccess && own.host == place) {
          return kFileAttributeDirectory | kFileAttributeReparsePoint | junction.attributes;
        }
      }
      return kFileAttributeDirectory | kFileAttributeReparsePoint;
    }
    return kFileAttributeDirectory | (it == attributes_.end() ? 0 : it->second);
  }
  if (it == attributes_.end()) return kFileAttributeArchive;
  return it->second == 0 ? kFileAttributeNormal : it->second;
}

Status SimFileSystem::LockOf(const std::string& key) const {
  const auto it = locks_.find(key);
  return it == locks_.end() ? kErrorSuccess : it->second;
}

Status SimFileSystem::CheckWritable(const Entry& entry) const {
  if (const Status lock = LockOf(entry.key); lock != kErrorSuccess) return lock;
  if (!entry.isFolder && refusedFolders_.count(entry.parentKey) != 0) return kErrorAccessDenied;
  if (AttributesOf(entry) & kFileAttributeReadOnly) return kErrorAccessDenied;
  return kErrorSuccess;
}

Status SimFileSystem::CheckParentWritable(const Entry& entry) const {
  if (refusedFolders_.count(entry.parentKey) != 0) return kErrorAccessDenied;
  return LockOf(entry.parentKey) == kErrorAccessDenied ? kErrorAccessDenied : kErrorSuccess;
}

void SimFileSystem::ForgetTree(const std::string& key) {
  const std::string prefix = key + "\\";
  for (auto it = attributes_.begin(); it != attributes_.end();) {
    it = (it->first == key || it->first.starts_with(prefix)) ? attributes_.erase(it) : std::next(it);
  }
}

void SimFileSystem::RekeyTree(const std::string& from, const std::string& to) {
  if (from == to) return;
  const std::string prefix = from + "\\";
  std::map<std::string, std::uint32_t> moved;
  for (auto it = attributes_.begin(); it != attributes_.end();) {
    if (it->first == from || it->first.starts_with(prefix)) {
      moved[to + it->first.substr(from.size())] = it->second;
      it = attributes_.erase(it);
    } else {
      ++it;
    }
  }
  ForgetTree(to);
  attributes_.merge(moved);
}

// --- free space and junctions ---

void SimFileSystem::SetFreeBytes(char drive, std::uint64_t bytes) {
  free_[static_cast<char>(std::toupper(static_cast<unsigned char>(drive)))] = bytes;
}

std::optional<std::uint64_t> SimFileSystem::FreeBytes(char drive) const {
  const auto it = free_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(drive))));
  if (it == free_.end()) return std::nullopt;
  return it->second;
}

bool SimFileSystem::TakeSpace(const Entry& entry, std::uint64_t oldBytes, std::uint64_t newBytes) {
  const auto it = free_.find(entry.key.empty() ? '\0' : entry.key[0]);
  if (it == free_.end()) return true;
  if (newBytes > it->second + oldBytes) return false;
  it->second = it->second + oldBytes - newBytes;
  return true;
}

void SimFileSystem::GiveSpace(const Entry& entry, std::uint64_t bytes) {
  const auto it = free_.find(entry.key.empty() ? '\0' : entry.key[0]);
  if (it != free_.end()) it->second += bytes;
}

bool SimFileSystem::HostMakesJunctions() {
  static const bool makes = [] {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec) /
                          ("ombrant-link-probe-" + std::to_string(
                               std::chrono::steady_clock::now().time_since_epoch().count()));
    if (ec || !fs::create_directories(base / "to", ec)) return false;
    fs::create_directory_symlink(base / "to", base / "link", ec);
    const bool made = !ec;
    fs::remove_all(base, ec);
    return made;
  }();
  return makes;
}

void SimFileSystem::AddJunction(std::string_view path, std::string_view target,
                                std::uint32_t attributes) {
  const Entry place = ResolveForBuilder(path);
  const Entry to = ResolveForBuilder(target);
  if (place.exists) throw std::invalid_argument("a junction's place exists: " + std::string(path));
  if (!to.exists || !to.isFolder) {
    throw std::invalid_argument("a junction's target is no folder: " + std::string(target));
  }
  std::error_code ec;
  fs::create_directories(place.parentHost, ec);
  fs::create_directory_symlink(to.host, place.host, ec);
  if (ec) throw std::invalid_argument("cannot make the junction " + std::string(path));
  junctions_.push_back(
      Junction{std::string(path), std::string(target),
               attributes & (kFileAttributeHidden | kFileAttributeSystem | kFileAttributeReadOnly)});
}

std::vector<SimFileSystem::Junction> SimFileSystem::Junctions() const {
  std::vector<Junction> result;
  for (const Junction& junction : junctions_) {
    Entry entry;
    std::error_code ec;
    if (Resolve(junction.path, &entry) == kErrorSuccess && entry.exists &&
        fs::is_symlink(entry.host, ec)) {
      result.push_back(junction);
    }
  }
  return result;
}

// --- builders ---

SimFileSystem::Entry SimFileSystem::ResolveForBuilder(std::string_view path) const {
  Entry entry;
  if (Resolve(path, &entry) != kErrorSuccess) {
    throw std::invalid_argument("not a path of the simulated machine: " + std::string(path));
  }
  return entry;
}

void SimFileSystem::AddFolder(std::string_view path) {
  ParsedPath parsed;
  if (ParsePath(path, &parsed) != kErrorSuccess) {
    throw std::invalid_argument("not a path of the simulated machine: " + std::string(path));
  }
  fs::create_directories(hostRoot_ / std::string(1, parsed.drive));
  std::string prefix{parsed.drive, ':'};
  for (const std::string& component : parsed.components) {
    prefix += "\\" + component;
    const Entry entry = ResolveForBuilder(prefix);
    if (!entry.exists) {
      fs::create_directory(entry.host);
    } else if (!entry.isFolder) {
      throw std::invalid_argument("a file stands in the way: " + entry.actualPath);
    }
  }
}

void SimFileSystem::AddFile(std::string_view path, std::string_view bytes) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) {
    throw std::invalid_argument("not a path of the simulated machine: " + std::string(path));
  }
  AddFolder(path.substr(0, slash + 1));
  const Entry entry = ResolveForBuilder(path);
  if (entry.isRoot || entry.isFolder) {
    throw std::invalid_argument("a folder stands in the way: " + entry.actualPath);
  }
  if (!WriteHostFile(entry.host, bytes)) {
    throw std::runtime_error("cannot write " + HostText(entry.host));
  }
}

std::optional<std::string> SimFileSystem::ReadFile(std::string_view path) const {
  Entry entry;
  if (Resolve(path, &entry) != kErrorSuccess || !entry.exists || entry.isFolder) {
    return std::nullopt;
  }
  std::string bytes;
  if (!ReadHostFile(entry.host, &bytes)) return std::nullopt;
  return bytes;
}

bool SimFileSystem::Exists(std::string_view path) const {
  Entry entry;
  return Resolve(path, &entry) == kErrorSuccess && entry.exists;
}

bool SimFileSystem::IsFolder(std::string_view path) const {
  Entry entry;
  return Resolve(path, &entry) == kErrorSuccess && entry.exists && entry.isFolder;
}

std::optional<std::string> SimFileSystem::ActualPath(std::string_view path) const {
  Entry entry;
  if (Resolve(path, &entry) != kErrorSuccess || !entry.exists) return std::nullopt;
  return entry.actualPath;
}

std::optional<fs::path> SimFileSystem::HostPath(std::string_view path) const {
  Entry entry;
  if (Resolve(path, &entry) != kErrorSuccess || !entry.exists) return std::nullopt;
  return entry.host;
}

void SimFileSystem::LockPath(std::string_view path, Status status) {
  ParsedPath parsed;
  if (ParsePath(path, &parsed) != kErrorSuccess) {
    throw std::invalid_argument("not a path of the simulated machine: " + std::string(path));
  }
  if (status != kErrorAccessDenied && status != kErrorSharingViolation) {
    throw std::invalid_argument("a lock refuses with access denied or a sharing violation");
  }
  locks_[parsed.Key()] = status;
}

void SimFileSystem::RefuseWritesIn(std::string_view folder) {
  ParsedPath parsed;
  if (ParsePath(folder, &parsed) != kErrorSuccess) {
    throw std::invalid_argument("not a path of the simulated machine: " + std::string(folder));
  }
  refusedFolders_.insert(parsed.Key());
}

void SimFileSystem::UnlockPath(std::string_view path) {
  ParsedPath parsed;
  if (ParsePath(path, &parsed) == kErrorSuccess) locks_.erase(parsed.Key());
}

void SimFileSystem::LoadDrives(const fs::path& drivesFolder) {
  for (const fs::directory_entry& e : fs::directory_iterator(drivesFolder)) {
    const std::string name = NameOf(e.path());
    if (!e.is_directory() || name.size() != 1 || !std::isalpha(static_cast<unsigned char>(name[0]))) {
      continue;
    }
    CopyHostTree(e.path(), hostRoot_ / std::string(1, static_cast<char>(name[0] & ~0x20)));
  }
}

void SimFileSystem::SaveDrives(const fs::path& drivesFolder) const {
  fs::create_directories(drivesFolder);
  for (const fs::directory_entry& e : fs::directory_iterator(hostRoot_)) {
    const std::string name = NameOf(e.path());
    if (!e.is_directory() || name.size() != 1) continue;
    CopyHostTree(e.path(), drivesFolder / name);
  }
}

// --- port::IFileSystem ---

Status SimFileSystem::FindFirstFile(std::string_view pattern, FindData* data, HFind* find) {
  const std::size_t slash = pattern.rfind('\\');
  if (slash == std::string_view::npos || pattern.find('/') != std::string_view::npos) {
    return kErrorInvalidName;
  }
  std::string folderPath(pattern.substr(0, slash + 1));
  std::string filePattern(pattern.substr(slash + 1));
  if (filePattern.empty()) {
    // "C:\Dir\" names no entry to list.
    Entry folder;
    if (const Status s = Resolve(folderPath, &folder); s != kErrorSuccess) return s;
    return folder.exists ? kErrorFileNotFound : kErrorPathNotFound;
  }
  if (!HasWildcard(filePattern)) {
    // A plain name is a path: normalise it ("C:\A\." names C:\A) and list that one entry.
    ParsedPath parsed;
    if (const Status s = ParsePath(pattern, &parsed); s != kErrorSuccess) return s;
    if (parsed.components.empty()) {
      Entry root;
      if (const Status s = Resolve(pattern, &root); s != kErrorSuccess) return s;
      return kErrorFileNotFound;
    }
    filePattern = parsed.components.back();
    parsed.components.pop_back();
    folderPath = std::string{parsed.drive, ':', '\\'};
    for (const std::string& c : parsed.components) folderPath += c + "\\";
  } else if (!IsValidPattern(filePattern)) {
    return kErrorInvalidName;
  }
  Entry folder;
  if (const Status s = Resolve(folderPath, &folder); s != kErrorSuccess) return s;
  if (!folder.exists) return kErrorPathNotFound;
  if (!folder.isFolder) return kErrorDirectory;

  const auto matches = [&](const std::string& name) {
    return HasWildcard(filePattern) ? MatchesFindPattern(filePattern, name)
                                    : SameText(filePattern, name);
  };
  FindState state;
  if (!folder.isRoot) {
    Entry parent;
    if (Resolve(folder.actualPath + "\\..", &parent) != kErrorSuccess) parent = folder;
    for (const auto& [name, of] : {std::pair{".", &folder}, std::pair{"..", &parent}}) {
      if (!matches(name)) continue;
      FindData d;
      d.name = name;
      d.attributes = AttributesOf(*of);
      d.lastWriteTime = WriteTimeOf(of->host);
      state.entries.push_back(std::move(d));
    }
  }
  std::vector<std::string> names;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(folder.host, ec)) {
    names.push_back(NameOf(e.path()));
  }
  // NTFS lists a folder in the order of its upper-cased names.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int c = CompareText(a, b);
    return c != 0 ? c < 0 : a < b;
  });
  for (const std::string& name : names) {
    if (!matches(name)) continue;
    Entry child;
    child.key = folder.key + "\\" + UpperCase(name);
    child.host = folder.host / HostName(name);
    child.isFolder = fs::is_directory(child.host, ec);
    FindData d;
    d.name = name;
    d.attributes = AttributesOf(child);
    d.size = child.isFolder ? 0 : fs::file_size(child.host, ec);
    if (ec) d.size = 0;
    d.lastWriteTime = WriteTimeOf(child.host);
    state.entries.push_back(std::move(d));
  }
  if (state.entries.empty()) return kErrorFileNotFound;
  *data = state.entries.front();
  state.next = 1;
  const HFind handle = nextFind_++;
  finds_.emplace(handle, std::move(state));
  *find = handle;
  return kErrorSuccess;
}

Status SimFileSystem::FindNextFile(HFind find, FindData* data) {
  const auto it = finds_.find(find);
  if (it == finds_.end()) return kErrorInvalidHandle;
  FindState& state = it->second;
  if (state.next >= state.entries.size()) return kErrorNoMoreFiles;
  *data = state.entries[state.next++];
  return kErrorSuccess;
}

Status SimFileSystem::FindClose(HFind find) {
  return finds_.erase(find) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

Status SimFileSystem::GetFileAttributes(std::string_view path, std::uint32_t* attributes) {
  Entry entry;
  if (const Status s = Resolve(path, &entry); s != kErrorSuccess) return s;
  if (!entry.exists) return kErrorFileNotFound;
  *attributes = AttributesOf(entry);
  return kErrorSuccess;
}

Status SimFileSystem::SetFileAttributes(std::string_view path, std::uint32_t attributes) {
  Entry entry;
  if (const Status s = Resolve(path, &entry); s != kErrorSuccess) return s;
  if (!entry.exists) return kErrorFileNotFound;
  if (const Status lock = LockOf(entry.key); lock != kErrorSuccess) return lock;
  attributes_[entry.key] = attributes & kSettableAttributes;
  return kErrorSuccess;
}

Status SimFileSystem::CreateDirectory(std::string_view path) {
  Entry entry;
  if (const Status s = Resolve(path, &entry); s != kErrorSuccess) return s;
  if (entry.exists) return kErrorAlreadyExists;
  if (const Status s = CheckParentWritable(entry); s != kErrorSuccess) return s;
  std::error_code ec;
  if (!fs::create_directory(entry.host, ec)) return kErrorAccessDenied;
  ForgetTree(entry.key);
  return kErrorSuccess;
}

Status SimFileSystem::RemoveDirectory(std::string_view path) {
  Entry entry;
  if (const Status s = Resolve(path, &entry); s != kErrorSuccess) return s;
  if (!entry.exists) return kErrorFileNotFound;
  if (entry.isRoot) return kErrorAccessDenied;
  if (!entry.isFolder) return kErrorDirectory;
  if (const Status s = CheckWritable(entry); s != kErrorSuccess) return s;
  if (const Status s = CheckParentWritable(entry); s != kErrorSuccess) return s;
  std::error_code ec;
  // A junction goes by itself; what it points to stays.
  if (!fs::is_symlink(entry.host, ec) && !fs::is_empty(entry.host, ec)) return kErrorDirNotEmpty;
  if (!fs::remove(entry.host, ec)) return kErrorAccessDenied;
  ForgetTree(entry.key);
  return kErrorSuccess;
}

Status SimFileSystem::DeleteFile(std::string_view path) {
  Entry entry;
  if (const Status s = Resolve(path, &entry); s != kErrorSuccess) return s;
  if (!entry.exists) return kErrorFileNotFound;
  if (entry.isFolder) return kErrorAccessDenied;
  if (const Status s = CheckWritable(entry); s != kErrorSuccess) return s;
  if (const Status s = CheckParentWritable(entry); s != kErrorSuccess) return s;
  std::error_code ec;
  const std::uint64_t size = fs::file_size(entry.host, ec);
  if (ec) ec.clear();
  if (!fs::remove(entry.host, ec)) return kErrorAccessDenied;
  GiveSpace(entry, size);
  ForgetTree(entry.key);
  return kErrorSuccess;
}

Status SimFileSystem::CopySourceStatus(const Entry& source) const {
  if (!source.exists) return kErrorFileNotFound;
  if (source.isFolder) return kErrorAccessDenied;
  if (LockOf(source.key) == kErrorSharingViolation) return kErrorSharingViolation;
  return kErrorSuccess;
}

Status SimFileSystem::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  Entry source;
  if (const Status s = Resolve(from, &source); s != kErrorSuccess) return s;
  if (const Status s = CopySourceStatus(source); s != kErrorSuccess) return s;
  Entry target;
  if (const Status s = Resolve(to, &target); s != kErrorSuccess) return s;
  return CopyFileResolved(source, target, failIfExists);
}

Status SimFileSystem::CopyFileToFreeName(std::string_view from, std::string_view to) {
  Entry source;
  if (const Status s = Resolve(from, &source); s != kErrorSuccess) return s;
  if (const Status s = CopySourceStatus(source); s != kErrorSuccess) return s;
  Entry target;
  if (const Status s = Resolve(to, &target, true); s != kErrorSuccess) return s;
  return CopyFileResolved(source, target, false);
}

Status SimFileSystem::CopyFileResolved(const Entry& source, const Entry& target,
                                       bool failIfExists) {
  if (target.exists) {
    if (failIfExists) return kErrorFileExists;
    if (target.isFolder) return kErrorAccessDenied;
    // The source is open for reading while the target is opened for writing.
    if (target.key == source.key) return kErrorSharingViolation;
    if (const Status s = CheckWritable(target); s != kErrorSuccess) return s;
  } else if (const Status s = CheckParentWritable(target); s != kErrorSuccess) {
    return s;
  }
  if (!free_.empty()) {
    std::error_code ec;
    const std::uint64_t size = fs::file_size(source.host, ec);
    const std::uint64_t old = target.exists ? fs::file_size(target.host, ec) : 0;
    if (!TakeSpace(target, old, size)) return kErrorDiskFull;
  }
  // A host file copy: setting files can be large and many.
  if (!CopyHostFile(source.host, target.host, target.exists)) return kErrorAccessDenied;
  // The copy takes the source's attributes and is marked for backup.
  const std::uint32_t attributes =
      (AttributesOf(source) & kSettableAttributes) | kFileAttributeArchive;
  if (attributes == kFileAttributeArchive) {
    attributes_.erase(target.key);
  } else {
    attributes_[target.key] = attributes;
  }
  return kErrorSuccess;
}

Status SimFileSystem::MoveFile(std::string_view from, std::string_view to) {
  Entry source;
  if (const Status s = Resolve(from, &source); s != kErrorSuccess) return s;
  if (!source.exists) return kErrorFileNotFound;
  if (source.isRoot) return kErrorAccessDenied;
  if (const Status lock = LockOf(source.key); lock != kErrorSuccess) return lock;
  if (const Status s = CheckParentWritable(source); s != kErrorSuccess) return s;
  Entry target;
  if (const Status s = Resolve(to, &target); s != kErrorSuccess) return s;
  const bool sameEntry = target.exists && target.host == source.host;
  if (target.exists && !sameEntry) return kErrorAlreadyExists;
  if (target.isRoot) return kErrorAccessDenied;
  if (const Status s = CheckParentWritable(target); s != kErrorSuccess) return s;
  if (source.isFolder && target.key.starts_with(source.key + "\\")) return kErrorAccessDenied;
  if (source.isFolder && source.key[0] != target.key[0]) return kErrorNotSameDevice;
  // Renaming to the same name in another case changes only the case.
  const fs::path destination = target.parentHost / HostName(target.leaf);
  std::error_code ec;
  if (destination != source.host) {
    if (sameEntry) {
      // A case-insensitive host may keep the old case on a direct rename: go through another
      // name.
      const fs::path step = source.host.parent_path() / HostName(".ombrant-rename-" + target.leaf);
      fs::rename(source.host, step, ec);
      if (!ec) fs::rename(step, destination, ec);
    } else {
      fs::rename(source.host, destination, ec);
    }
    if (ec) return kErrorAccessDenied;
  }
  RekeyTree(source.key, target.key);
  return kErrorSuccess;
}

Status SimFileSystem::ReplaceFileWith(std::string_view from, std::string_view to) {
  Entry source;
  if (const Status s = Resolve(from, &source); s != kErrorSuccess) return s;
  if (!source.exists) return kErrorFileNotFound;
  if (source.isFolder) return kErrorAccessDenied;
  if (const Status lock = LockOf(source.key); lock != kErrorSuccess) return lock;
  if (const Status s = CheckParentWritable(source); s != kErrorSuccess) return s;
  Entry target;
  if (const Status s = Resolve(to, &target); s != kErrorSuccess) return s;
  if (target.isRoot || target.isFolder) return kErrorAccessDenied;
  if (target.exists) {
    if (const Status s = CheckWritable(target); s != kErrorSuccess) return s;
  }
  if (const Status s = CheckParentWritable(target); s != kErrorSuccess) return s;
  if (target.exists && target.key == source.key) return kErrorSuccess;
  std::error_code ec;
  const std::uint64_t old = target.exists ? fs::file_size(target.host, ec) : 0;
  if (ec) ec.clear();
  const fs::path destination = target.exists ? target.host : target.parentHost / HostName(target.leaf);
  fs::rename(source.host, destination, ec);
  if (ec) return kErrorAccessDenied;
  GiveSpace(target, old);
  RekeyTree(source.key, target.key);
  return kErrorSuccess;
}

Status SimFileSystem::ReadWholeFile(std::string_view path, std::string* bytes) {
  Entry entry;
  if (const Status s = Resolve(path, &entry); s != kErrorSuccess) return s;
  if (!entry.exists) return kErrorFileNotFound;
  if (entry.isFolder) return kErrorAccessDenied;
  if (LockOf(entry.key) == kErrorSharingViolation) return kErrorSharingViolation;
  return ReadHostFile(entry.host, bytes) ? kErrorSuccess : kErrorAccessDenied;
}

Status SimFileSystem::WriteWholeFile(std::string_view path, std::string_view bytes) {
  Entry entry;
  if (const Status s = Resolve(path, &entry); s != kErrorSuccess) return s;
  if (entry.isRoot || entry.isFolder) return kErrorAccessDenied;
  if (entry.exists) {
    if (const Status s = CheckWritable(entry); s != kErrorSuccess) return s;
    // CREATE_ALWAYS with normal attributes is refused over a hidden or system file.
    if (AttributesOf(entry) & (kFileAttributeHidden | kFileAttributeSystem)) {
      return kErrorAccessDenied;
    }
  } else if (const Status s = CheckParentWritable(entry); s != kErrorSuccess) {
    return s;
  }
  std::error_code ec;
  const std::uint64_t old = entry.exists ? fs::file_size(entry.host, ec) : 0;
  if (!TakeSpace(entry, old, bytes.size())) {
    // CREATE_ALWAYS emptied the file; what fits is written, then the disk is full.
    const std::uint64_t room = FreeBytes(entry.key[0]).value_or(0) + old;
    if (WriteHostFile(entry.host, bytes.substr(0, static_cast<std::size_t>(room)))) {
      (void)TakeSpace(entry, old, room);
      attributes_.erase(entry.key);
    }
    return kErrorDiskFull;
  }
  if (!WriteHostFile(entry.host, bytes)) return kErrorAccessDenied;
  attributes_.erase(entry.key);
  return kErrorSuccess;
}

Status SimFileSystem::GetWindowsDirectory(std::string* path) {
  *path = windowsFolder_;
  return kErrorSuccess;
}

Status SimFileSystem::GetSystemDirectory(std::string* path) {
  *path = windowsFolder_ + "\\system32";
  return kErrorSuccess;
}

}  // namespace ombrant::sim
