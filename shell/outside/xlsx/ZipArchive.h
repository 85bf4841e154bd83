#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

struct zip;
struct zip_file;

namespace orv {

// How much a workbook may unpack to. A zip entry that claims or yields more than this, or that
// inflates beyond `max_ratio` times its packed size once past `ratio_floor`, is treated as a zip
// bomb. The entries together may not claim more than `max_total_size`: a sheet of a hundred
// thousand rows and two hundred columns unpacks to under 1 GiB, so 2 GiB leaves room for any
// workbook this program is for and refuses the ones that would exhaust memory or disk.
struct ZipLimits {
  std::uint64_t max_entry_size = std::uint64_t{2} << 30;
  std::uint64_t ratio_floor = std::uint64_t{64} << 20;
  double max_ratio = 1000;
  std::uint64_t max_total_size = std::uint64_t{2} << 30;
};

// A zip file opened for reading. Errors are AppErrors that name the file and the problem: a folder,
// a device, an encrypted or old binary workbook, a damaged zip and one too large are each told
// apart. An entry never yields more than its header claims.
class ZipArchive {
 public:
  // A streaming read of one entry that enforces the limits on the bytes it actually inflates. A
  // large entry is inflated ahead of the reader on a thread of its own (a sheet of a hundred
  // thousand rows unpacks to half a gigabyte), so that inflating and parsing share two cores.
  class Reader {
   public:
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    ~Reader();
    // Reads up to `size` bytes; 0 at the end of the entry.
    std::size_t Read(char* buffer, std::size_t size);

   private:
    friend class ZipArchive;
    struct Ahead;
    Reader(zip_file* file, std::string label, std::uint64_t cap, std::mutex& archive_mutex,
           bool read_ahead);
    // Inflates the next bytes (under the archive's lock); 0 at the end.
    std::size_t Inflate(char* buffer, std::size_t size);
    zip_file* file_;
    std::string label_;
    std::uint64_t cap_;
    std::uint64_t total_ = 0;
    std::mutex& archive_mutex_;
    std::unique_ptr<Ahead> ahead_;
  };

  static std::unique_ptr<ZipArchive> Open(const std::filesystem::path& path,
                                          const ZipLimits& limits = {});
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;
  ~ZipArchive();

  const std::filesystem::path& Path() const { return path_; }
  bool Has(std::string_view name) const;
  // The entry's name as the zip spells it (part names compare case-insensitively).
  std::string EntryName(std::string_view name) const;
  std::vector<std::string> Names() const;
  std::unique_ptr<Reader> OpenEntry(std::string_view name) const;
  // The whole entry in memory: for the small parts only, so more than `max` bytes is an error.
  std::string ReadAll(std::string_view name, std::uint64_t max = std::uint64_t{64} << 20) const;

 private:
  ZipArchive(std::filesystem::path path, zip* archive, ZipLimits limits);
  std::int64_t Locate(std::string_view name) const;
  std::filesystem::path path_;
  zip* archive_;
  ZipLimits limits_;
  // libzip's archive is not to be used by two threads at once: every call on it holds this.
  mutable std::mutex mutex_;
};

}  // namespace orv
