#include "catalogue/kvrShortcutFolders.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "catalogue/kvrShortcutFiles.h"
#include "platform/vqFileSys.h"
#include "platform/vqStrings.h"

namespace ombrant {
namespace {

// FILETIME of 1970-01-01, and two seconds in its ticks: FAT keeps write times to two seconds,
// and other file systems stamp with a coarse clock.
constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
constexpr std::uint64_t kSettleTicks = 2 * 10000000ull;

std::uint64_t NowAsFileTime() {
  using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>;
  const auto since =
      std::chrono::duration_cast<Ticks>(std::chrono::system_clock::now().time_since_epoch());
  return since.count() < 0 ? 0 : kUnixEpochAsFileTime + static_cast<std::uint64_t>(since.count());
}


std::string FolderOf(std::string_view mask) {
  const std::size_t slash = mask.rfind('\\');
  return std::string(mask.substr(0, slash == std::string_view::npos ? 0 : slash + 1));
}

}  // namespace

bool TShortcutFolders::Current(const TKnownLink& known, const port::FindData& data) {
  return known.settled && known.size == data.size && known.lastWriteTime == data.lastWriteTime;
}

TShortcutFolders::TKnownLink TShortcutFolders::Read(const std::string& folderPath,
                                                    const port::FindData& data,
                                                    std::uint64_t now) {
  TKnownLink entry;
  entry.size = data.size;
  entry.lastWriteTime = data.lastWriteTime;
  entry.link.name = data.name;
  ++linksRead_;
  entry.readable =
      ReadShortcutLink(port_, folderPath + data.name, entry.link.target, entry.link.arguments) &&
      !entry.link.target.empty();
  // An unreadable link may be one being written: it is tried again next time.
  entry.settled =
      entry.readable && now > data.lastWriteTime && now - data.lastWriteTime > kSettleTicks;
  return entry;
}

const std::vector<TShortcutFolders::TLink>& TShortcutFolders::Links(std::string_view mask) {
  TFolder& folder = folders_[UpperCase(mask)];
  if (rounds_ > 0 && folder.listedInRound) return folder.links;
  folder.listedInRound = rounds_ > 0;
  folder.links.clear();

  const std::string folderPath = FolderOf(mask);
  std::map<std::string, TKnownLink> seen;
  port::FindData data;
  port::HFind find = port::kInvalidFind;
  if (port_.files.FindFirstFile(mask, &data, &find) == port::kErrorSuccess) {
    TFindGuard guard(port_.files, find);
    const std::uint64_t now = NowAsFileTime();
    do {
      if ((data.attributes & port::kFileAttributeDirectory) != 0) continue;
      std::string key = UpperCase(data.name);
      auto known = folder.known.find(key);
      TKnownLink entry;
      if (known != folder.known.end() && Current(known->second, data)) {
        entry = std::move(known->second);
        entry.link.name = data.name;
      } else {
        entry = Read(folderPath, data, now);
      }
      if (entry.readable) folder.links.push_back(entry.link);
      seen.insert_or_assign(std::move(key), std::move(entry));
    } while (port_.files.FindNextFile(find, &data) == port::kErrorSuccess);
  }
  // Files no longer there are forgotten.
  folder.known = std::move(seen);
  return folder.links;
}

bool TShortcutFolders::ReadAhead(std::string_view mask, std::size_t budget) {
  TFolder& folder = folders_[UpperCase(mask)];
  if (!folder.aheadListed) {
    folder.aheadListed = true;
    folder.ahead.clear();
    port::FindData data;
    port::HFind find = port::kInvalidFind;
    if (port_.files.FindFirstFile(mask, &data, &find) == port::kErrorSuccess) {
      TFindGuard guard(port_.files, find);
      do {
        if ((data.attributes & port::kFileAttributeDirectory) == 0) folder.ahead.push_back(data);
      } while (port_.files.FindNextFile(find, &data) == port::kErrorSuccess);
    }
    std::reverse(folder.ahead.begin(), folder.ahead.end());
    // Listing a large folder is a step of its own.
    return true;
  }
  const std::string folderPath = FolderOf(mask);
  const std::uint64_t now = NowAsFileTime();
  std::size_t read = 0;
  while (!folder.ahead.empty() && read < budget) {
    const port::FindData data = std::move(folder.ahead.back());
    folder.ahead.pop_back();
    std::string key = UpperCase(data.name);
    auto known = folder.known.find(key);
    if (known != folder.known.end() && Current(known->second, data)) continue;
    // A file gone since the listing reads as unreadable and is dropped by the next listing.
    folder.known.insert_or_assign(std::move(key), Read(folderPath, data, now));
    ++read;
  }
  if (!folder.ahead.empty()) return true;
  folder.aheadListed = false;
  return false;
}

void TShortcutFolders::EndRound() {
  if (rounds_ == 0 || --rounds_ > 0) return;
  for (auto& [mask, folder] : folders_) folder.listedInRound = false;
}

}  // namespace ombrant
