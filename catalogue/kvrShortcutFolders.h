// The shortcuts of the folders the applications page asks about, again and again for every
// selected application: each link is read once through the shell-link object and kept with the
// size and last-write time it had; it is read again only when those change. While a round is
// open (one selection), each folder is listed only once and every question is answered from
// that listing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/kvrPort.h"

namespace ombrant {

class TShortcutFolders {
 public:
  struct TLink {
    std::string name;                      // the file name, without its folder
    std::string target;                    // never empty
    std::optional<std::string> arguments;  // nothing when they cannot be read
  };

  explicit TShortcutFolders(port::Port& port) : port_(port) {}
  TShortcutFolders(const TShortcutFolders&) = delete;
  TShortcutFolders& operator=(const TShortcutFolders&) = delete;

  // The links `mask` (a folder, "\" and a pattern such as "*.lnk") matches, in the order the
  // folder lists them: files only, and only links whose target can be read and is not empty.
  // The folder as it is now, unless a round is open in which the same mask was listed already.
  // The reference holds until the next call.
  [[nodiscard]] const std::vector<TLink>& Links(std::string_view mask);

  // For idle time: reads up to `budget` links of `mask` that are not known as they are now, so
  // that the next Links() of that folder finds them read. False once a pass over the folder's
  // listing is complete; the next call starts a new pass. Opens no round and lists nothing for
  // Links(): what it shows is always the folder as it is when asked.
  bool ReadAhead(std::string_view mask, std::size_t budget);

  // Rounds nest; the listings of a round are forgotten when its outermost one ends.
  void BeginRound() { ++rounds_; }
  void EndRound();

  // How many times a link file was loaded so far.
  [[nodiscard]] std::size_t LinksRead() const { return linksRead_; }

 private:
  struct TKnownLink {
    std::uint64_t size = 0;
    std::uint64_t lastWriteTime = 0;
    // Written long enough before it was read that a later change must show in its write time;
    // a link written within the file system's time granularity of the read is read again.
    bool settled = false;
    bool readable = false;
    TLink link;
  };
  struct TFolder {
    std::map<std::string, TKnownLink> known;  // by upper-case file name
    std::vector<TLink> links;
    bool listedInRound = false;
    // The files a read-ahead pass has still to look at, last first.
    std::vector<port::FindData> ahead;
    bool aheadListed = false;
  };

  // Whether `known` holds the link as `data` describes the file now.
  [[nodiscard]] static bool Current(const TKnownLink& known, const port::FindData& data);
  // Reads the link file `data` names in `folderPath`.
  [[nodiscard]] TKnownLink Read(const std::string& folderPath, const port::FindData& data,
                                std::uint64_t now);

  port::Port& port_;
  std::map<std::string, TFolder> folders_;  // by upper-case mask
  int rounds_ = 0;
  std::size_t linksRead_ = 0;
};

// Opens a round of `folders` for its own lifetime; null folders make it do nothing.
class TShortcutRound {
 public:
  explicit TShortcutRound(TShortcutFolders* folders) : folders_(folders) {
    if (folders_) folders_->BeginRound();
  }
  ~TShortcutRound() {
    if (folders_) folders_->EndRound();
  }
  TShortcutRound(TShortcutRound&& other) noexcept : folders_(other.folders_) {
    other.folders_ = nullptr;
  }
  TShortcutRound(const TShortcutRound&) = delete;
  TShortcutRound& operator=(const TShortcutRound&) = delete;
  TShortcutRound& operator=(TShortcutRound&&) = delete;

 private:
  TShortcutFolders* folders_;
};

}  // namespace ombrant
